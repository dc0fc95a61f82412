#include "spell/spellcheck.h"

#include "spell/clipboard.h"
#include "spell/logging.h"
#include "spell/spellingservice.h"

SpellCheckResult checkEditorSpelling(const SpellCheckRequest &request)
{
    SpellCheckResult result;
    SpellEditor &editor = *request.editor;
    TextClipboard &clipboard = *request.clipboard;
    const auto inform = [&request](const QString &text) {
        if (request.inform)
            request.inform(text);
    };

    if (editor.text().isEmpty())
        return result;

    Result<std::unique_ptr<SpellingService>> started = request.createService();
    if (!started) {
        result.error = started.error().message;
        qCWarning(lcSpell) << "spelling service did not start:" << result.error;
        result.status = SpellCheckResult::ServiceFailed;
        inform(result.error);
        return result;
    }
    std::unique_ptr<SpellingService> service = std::move(*started);
    service->setVisible(false);
    service->setWindowState(2);
    service->addDocument();

    const qsizetype remembered = editor.selectionStart();
    editor.select(0, editor.text().size());

    clipboard.clear();
    clipboard.setText(editor.selectedText());

    TextRange range = service->range();
    range = service->insertAfter(range, editor.text());
    result.errors = service->spellingErrors(range);

    if (!result.errors.isEmpty()) {
        service->paste();
        service->activate();
        if (service->checkSpelling(request.language)) {
            result.status = SpellCheckResult::Checked;
            service->copy();
            editor.setText(clipboard.text());
        } else {
            // The check never ran: the editor keeps its text.
            result.status = SpellCheckResult::ServiceFailed;
            result.error = service->lastError();
            inform(result.error);
        }
        service->close(0);
        service->quit(0);
        service.reset();
        clipboard.clear();
    } else {
        result.status = SpellCheckResult::NoErrors;
        inform(SpellMessages::noErrors);
        service->quit(0);
        service.reset();
        clipboard.clear();
    }

    const qsizetype length = editor.text().size();
    editor.select(qMin(remembered, length), 0);
    return result;
}
