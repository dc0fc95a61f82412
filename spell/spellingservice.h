#pragma once

#include "spell/speller.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TextClipboard;

// A stretch of the service's document, by character positions.
struct TextRange
{
    qsizetype start = 0;
    qsizetype end = 0;
};

// The spelling service as the check drives it: one member per step, in the
// order the check takes them. One service lives for one check.
class SpellingService
{
public:
    virtual ~SpellingService() = default;

    virtual void setVisible(bool visible) = 0;
    virtual void setWindowState(int state) = 0;
    // Documents.Add: a new, empty document that becomes the active one.
    virtual void addDocument() = 0;
    // ActiveDocument.Range: the active document's whole range.
    virtual TextRange range() = 0;
    // Appends the text to the range's end; the range grows to hold it.
    virtual TextRange insertAfter(const TextRange &range, const QString &text) = 0;
    // The range's spelling errors; their count is what the check tests.
    virtual QList<Misspelling> spellingErrors(const TextRange &range) = 0;
    // Content.Paste: the document's content becomes the clipboard's text.
    virtual void paste() = 0;
    virtual void activate() = 0;
    // The interactive check of the active document; returns when the user is
    // done. False when it could not run (the language's dictionary missing).
    virtual bool checkSpelling(int language) = 0;
    // Content.Copy: the document's content onto the clipboard as plain text.
    virtual void copy() = 0;
    virtual void close(int saveChanges) = 0;
    virtual void quit(int saveChanges) = 0;

    virtual QString lastError() const = 0;
};

// What the interactive check shows for one unknown word.
struct SpellQuestion
{
    QString sentence;          // the sentence that holds the word
    qsizetype wordStart = 0;   // in `sentence`
    QString word;
    QStringList suggestions;
};

struct SpellAnswer
{
    enum Action { IgnoreOnce, IgnoreAll, AddToDictionary, Change, ChangeAll, Cancel };
    Action action = Cancel;
    QString replacement; // for Change and Change all
};

// The interactive spelling dialog; the check asks it once per unknown word.
class SpellCheckDialog
{
public:
    virtual ~SpellCheckDialog() = default;
    virtual SpellAnswer ask(const SpellQuestion &question) = 0;
};

// The service over Hunspell dictionaries. Its document is plain text; its
// window is the dialog.
class HunspellSpellingService : public SpellingService
{
public:
    // `create`: the message saying what is missing when the language's
    // dictionary is not installed.
    static Result<std::unique_ptr<HunspellSpellingService>> create(SpellerCache &spellers, int language,
                                                                   TextClipboard &clipboard,
                                                                   SpellCheckDialog &dialog);

    // The service's only window is the dialog, shown by the check itself,
    // and its one document is always the active one.
    void setVisible(bool) override {}
    void setWindowState(int) override {}
    void addDocument() override;
    TextRange range() override;
    TextRange insertAfter(const TextRange &range, const QString &text) override;
    QList<Misspelling> spellingErrors(const TextRange &range) override;
    void paste() override;
    void activate() override {}
    bool checkSpelling(int language) override;
    void copy() override;
    void close(int saveChanges) override;
    void quit(int saveChanges) override;
    QString lastError() const override { return m_lastError; }

    // Told when an "Add to dictionary" could not be written to the personal
    // list; the word is still known until the program ends.
    void setProblemHandler(std::function<void(const QString &message)> handler) { m_onProblem = std::move(handler); }

private:
    HunspellSpellingService(SpellerCache &spellers, std::shared_ptr<Speller> speller, TextClipboard &clipboard,
                            SpellCheckDialog &dialog);

    SpellerCache &m_spellers;
    std::shared_ptr<Speller> m_speller;
    TextClipboard &m_clipboard;
    SpellCheckDialog &m_dialog;
    QString m_content;
    QString m_lastError;
    std::function<void(const QString &)> m_onProblem;
};

// The sentence around a character range: from just after the previous
// sentence end (. ! ? or a line break) to the next one, marks included,
// without the blanks around it. `offset` receives where it starts in `text`.
QString sentenceAround(QStringView text, qsizetype start, qsizetype length, qsizetype *offset);
