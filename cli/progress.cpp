#include "cli/progress.h"

using namespace Qt::StringLiterals;

namespace {

// Not asked of the terminal: 80 columns is what nearly every one has at least.
constexpr int LineWidth = 80;

// Ten updates a second read as live; hundreds would only load a slow terminal.
constexpr int RedrawIntervalMs = 100;

// Back to the line's start, then erase to its end.
const QString Rewind = u"\r\x1b[K"_s;

} // namespace

CliProgress::Mode CliProgress::modeFor(bool verbose, bool stderrIsTerminal)
{
    if (verbose)
        return Mode::Verbose;
    return stderrIsTerminal ? Mode::OneLine : Mode::Silent;
}

CliProgress::CliProgress(QTextStream &err, Mode mode)
    : m_err(err)
    , m_mode(mode)
{
}

CliProgress::~CliProgress()
{
    finish();
}

void CliProgress::showText(const QString &text)
{
    if (m_mode == Mode::Verbose) {
        m_err << text << Qt::endl;
        return;
    }
    m_text = text;
    redraw();
}

void CliProgress::showFiles(int done, int total)
{
    m_done = done;
    m_total = total;
    redraw();
}

void CliProgress::redraw()
{
    if (m_mode != Mode::OneLine || (m_lastDraw.isValid() && m_lastDraw.elapsed() < RedrawIntervalMs))
        return;
    m_lastDraw.start();
    m_err << Rewind << progressLine(m_text, m_done, m_total, LineWidth);
    m_err.flush();
    m_drawn = true;
}

void CliProgress::finish()
{
    if (!m_drawn)
        return;
    m_err << Rewind;
    m_err.flush();
    m_drawn = false;
}

QString progressLine(const QString &text, int done, int total, int width)
{
    QString line = total > 0 ? u"[%1/%2] "_s.arg(done).arg(total) + text : text;
    // The last column stays free: some terminals wrap as soon as it is written.
    if (line.size() >= width)
        line = line.left(width - 2) + u'…';
    return line;
}
