#pragma once

#include "spell/clipboard.h"
#include "spell/speller.h"

#include <QObject>

class QTextEdit;
class QWidget;
class SpellingDialog;

// mnuRevisar: checks the spelling of the translation in rtxtTranslated. The
// dictionaries stay loaded from the first check to the end of the run.
class SpellController : public QObject
{
    Q_OBJECT

public:
    // The dictionaries are looked for under `programFolder` first.
    SpellController(QTextEdit &translation, const QString &programFolder, QWidget &window);
    ~SpellController() override;

    void checkSpelling();

private:
    QTextEdit &m_editor;
    QWidget &m_window;
    SystemClipboard m_clipboard;
    SpellerCache m_spellers;
    SpellingDialog *m_dialog = nullptr;
    // The errors the last check counted, kept until the next one.
    QList<Misspelling> m_lastErrors;
};
