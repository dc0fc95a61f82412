#pragma once

#include "spell/speller.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class SpellingService;
class TextClipboard;

// The translated editor as the spell check sees it.
class SpellEditor
{
public:
    virtual ~SpellEditor() = default;
    virtual QString text() const = 0;
    virtual qsizetype selectionStart() const = 0;
    virtual void select(qsizetype start, qsizetype length) = 0;
    // The selection as plain text.
    virtual QString selectedText() const = 0;
    // Replaces the whole content with plain text.
    virtual void setText(const QString &text) = 0;
};

inline constexpr int SpanishLanguage = 1034;

namespace SpellMessages {
inline const QString noErrors = QStringLiteral("No possible errors were founded");
} // namespace SpellMessages

struct SpellCheckRequest
{
    SpellEditor *editor = nullptr;
    TextClipboard *clipboard = nullptr;
    // Starts the service, or says why it cannot start.
    std::function<Result<std::unique_ptr<SpellingService>>()> createService;
    // Plain message boxes (OK only): the no-error message and failures.
    std::function<void(const QString &text)> inform;
    int language = SpanishLanguage;
};

struct SpellCheckResult
{
    enum Status { EmptyEditor, NoErrors, Checked, ServiceFailed };
    Status status = EmptyEditor;
    QList<Misspelling> errors; // as counted before the interactive check
    QString error;
};

// checkSpelling: the text goes to the service through the clipboard as
// plain text, is counted, checked interactively when it has errors, and comes
// back through the clipboard to replace the editor's text. The clipboard is
// cleared and the selection start restored at the end. A service that cannot
// start leaves editor and clipboard as they were.
SpellCheckResult checkEditorSpelling(const SpellCheckRequest &request);
