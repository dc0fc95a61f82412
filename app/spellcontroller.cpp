#include "app/spellcontroller.h"

#include "ui/messages.h"
#include "spell/spellcheck.h"
#include "spell/spellingservice.h"
#include "spell/widgets/spellingdialog.h"
#include "spell/widgets/texteditspelleditor.h"

SpellController::SpellController(QTextEdit &translation, const QString &programFolder, QWidget &window)
    : QObject(&window)
    , m_editor(translation)
    , m_window(window)
    , m_spellers(programFolder)
{
}

SpellController::~SpellController() = default;

void SpellController::checkSpelling()
{
    if (!m_dialog)
        m_dialog = new SpellingDialog(&m_window);
    TextEditSpellEditor editor(&m_editor);
    SpellCheckRequest request;
    request.editor = &editor;
    request.clipboard = &m_clipboard;
    request.createService = [this](QString *error) -> std::unique_ptr<SpellingService> {
        auto service = HunspellSpellingService::create(m_spellers, SpanishLanguage, m_clipboard, *m_dialog, error);
        if (service)
            service->setProblemHandler([this](const QString &message) { Messages::inform(m_dialog, message); });
        return service;
    };
    request.inform = [this](const QString &text) { Messages::inform(&m_window, text); };
    m_lastErrors = checkEditorSpelling(request).errors;
}
