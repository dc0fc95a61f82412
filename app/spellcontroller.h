#pragma once

#include "spell/clipboard.h"
#include "spell/speller.h"

#include <QObject>
#include <QPoint>

class LinkGlossary;
class QAction;
class QMenu;
class QPlainTextEdit;
class SpellUnderline;
class QWidget;
class SpellingDialog;

// mnuRevisar: checks the spelling of the translation in rtxtTranslated. The
// dictionaries stay loaded from the first check to the end of the run.
// Misspelt words are also underlined as they are typed (not the word links),
// with their suggestions and Add to Dictionary on top of the right-click menus.
class SpellController : public QObject
{
    Q_OBJECT

public:
    // The dictionaries are looked for under `programFolder` first.
    SpellController(QPlainTextEdit &translation, const QString &programFolder, QWidget &window);
    ~SpellController() override;

    void checkSpelling();
    // The word links, left unmarked; the right-click menus the entries join.
    void setLinks(const LinkGlossary &glossary, QMenu &linkMenu, QMenu &addMenu);
    // A block was loaded: the dictionary is loaded for the underline the first time.
    void blockLoaded(const QString &key);
    SpellUnderline *underline() const { return m_underline; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void offerSpelling(QMenu &menu);

    QPlainTextEdit &m_editor;
    QWidget &m_window;
    SystemClipboard m_clipboard;
    SpellerCache m_spellers;
    SpellingDialog *m_dialog = nullptr;
    // The errors the last check counted, kept until the next one.
    QList<Misspelling> m_lastErrors;
    SpellUnderline *m_underline = nullptr;
    const LinkGlossary *m_glossary = nullptr;
    bool m_dictionaryTried = false;
    QPoint m_rightClick;        // viewport position of the last right button release
    QList<QAction *> m_offered; // entries added to a menu for the last click
};
