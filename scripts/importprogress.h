#pragma once

#include <QElapsedTimer>
#include <QString>

// Where a long import reports how far it got: lblMsg, the progress bar and
// the event loop in the window, stderr on the command line, nothing in tests.
class ImportProgress
{
public:
    virtual ~ImportProgress() = default;
    // A progress text, word for word as the status label shows it.
    virtual void showText(const QString &text) { Q_UNUSED(text); }
    // Files done out of files in all.
    virtual void showFiles(int done, int total) { Q_UNUSED(done); Q_UNUSED(total); }
    // A chance to repaint and take input; see ProgressPacer for how often.
    virtual void breathe() {}
};

// Hands progress on and lets the receiver breathe at most once per interval:
// the window stays alive while repainting costs only a sliver of the import
// (a repaint after every line read would cost more than the reading itself).
// Any number of imports can share the idea; the translated import too.
class ProgressPacer
{
public:
    explicit ProgressPacer(ImportProgress *progress, int intervalMs = 30)
        : m_progress(progress)
        , m_intervalMs(intervalMs)
        , m_gapMs(intervalMs)
    {
    }

    void text(const QString &text)
    {
        if (m_progress)
            m_progress->showText(text);
        tick();
    }
    void files(int done, int total)
    {
        if (m_progress)
            m_progress->showFiles(done, total);
        tick();
    }
    // Call as often as convenient (after every line read): it breathes only
    // when the gap since the last breath has passed. The gap is the interval,
    // or nine times what the last breath cost when that is longer, so that a
    // slow repaint never takes more than a tenth of the import's time.
    void tick()
    {
        if (!m_progress)
            return;
        // The clock is read on every eighth call only: a line is read in a
        // few microseconds, and a clock read for each cost 1 to 2 % of an import.
        if (m_last.isValid() && (++m_calls % 8 != 0 || m_last.elapsed() < m_gapMs))
            return;
        QElapsedTimer cost;
        cost.start();
        m_progress->breathe();
        const qint64 spent = cost.nsecsElapsed();
        m_breathingNs += spent;
        m_gapMs = qMax<qint64>(m_intervalMs, spent * 9 / 1000000);
        m_last.start();
        ++m_breaths;
    }
    int breaths() const { return m_breaths; }
    double breathingMs() const { return double(m_breathingNs) / 1e6; }

private:
    ImportProgress *m_progress;
    int m_intervalMs;
    qint64 m_gapMs;
    QElapsedTimer m_last;
    qint64 m_breathingNs = 0;
    unsigned m_calls = 0;
    int m_breaths = 0;
};
