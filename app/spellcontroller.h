#pragma once

#include "spell/clipboard.h"
#include "spell/speller.h"

#include <QObject>

#include <memory>

class MainWindow;
class SpellingDialog;

// mnuRevisar: checks the spelling of the translation in rtxtTranslated. The
// dictionaries stay loaded from the first check to the end of the run.
class SpellController : public QObject
{
    Q_OBJECT

public:
    explicit SpellController(MainWindow &window);
    ~SpellController() override;

    void checkSpelling();
    // The errors counted by the last check, kept until the next one.
    const QList<Misspelling> &lastErrors() const { return m_lastErrors; }

private:
    MainWindow &m_window;
    SystemClipboard m_clipboard;
    SpellerCache m_spellers;
    SpellingDialog *m_dialog = nullptr;
    QList<Misspelling> m_lastErrors;
};
