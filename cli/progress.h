#pragma once

#include "scripts/importprogress.h"

#include <QElapsedTimer>
#include <QTextStream>

// How a long command tells on stderr how far it got. With --verbose every
// progress text is a line of its own, as the window's status line shows them
// one after another; otherwise a terminal gets one line rewritten in place,
// and a pipe or file nothing at all. The command prints its final messages
// itself, the same in every mode.
class CliProgress : public ImportProgress
{
public:
    enum class Mode { Silent, OneLine, Verbose };
    static Mode modeFor(bool verbose, bool stderrIsTerminal);

    CliProgress(QTextStream &err, Mode mode);
    ~CliProgress() override;

    void showText(const QString &text) override;
    void showFiles(int done, int total) override;
    // Takes the rewritten line away, so what follows starts on a clean line.
    void finish();

    bool printsEveryText() const { return m_mode == Mode::Verbose; }

private:
    void redraw();

    QTextStream &m_err;
    Mode m_mode;
    QString m_text;
    int m_done = 0;
    int m_total = 0;
    bool m_drawn = false;
    QElapsedTimer m_lastDraw;
};

// The one line as a terminal of `width` columns shows it: the files counted
// when known, then the text, cut short so that it never wraps (a wrapped
// line could not be rewritten in place).
QString progressLine(const QString &text, int done, int total, int width);
