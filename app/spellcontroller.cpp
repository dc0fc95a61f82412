#include "app/spellcontroller.h"

#include "ui/messages.h"
#include "spell/spellcheck.h"
#include "spell/spellingservice.h"
#include "spell/widgets/spellingdialog.h"
#include "spell/widgets/spellunderline.h"
#include "spell/widgets/texteditspelleditor.h"
#include "spell/wordsplitter.h"
#include "links/highlight.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBlock>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

SpellController::SpellController(QPlainTextEdit &translation, const QString &programFolder, QWidget &window)
    : QObject(&window)
    , m_editor(translation)
    , m_window(window)
    , m_spellers(programFolder)
{
    m_underline = new SpellUnderline(m_editor.document(), [this](QStringView line) {
        QList<SpellUnderline::Span> links;
        if (!m_glossary)
            return links;
        for (const LinkMark &mark : m_glossary->marksInLine(line))
            links.append({mark.start, mark.length});
        return links;
    });
    m_editor.viewport()->installEventFilter(this);
}

void SpellController::setLinks(const LinkGlossary &glossary, QMenu &linkMenu, QMenu &addMenu)
{
    m_glossary = &glossary;
    for (QMenu *menu : {&linkMenu, &addMenu})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { offerSpelling(*menu); });
}

void SpellController::blockLoaded(const QString &key)
{
    if (key.isEmpty())
        return;
    if (!std::exchange(m_dictionaryTried, true)) {
        // Without a dictionary nothing is underlined; Check Spell says what is missing.
        m_underline->setSpeller(m_spellers.speller(SpanishLanguage).value_or(nullptr));
    }
    // A whole new text is marked at once rather than when Qt's loop comes round to it.
    m_underline->rehighlight();
}

bool SpellController::eventFilter(QObject *watched, QEvent *event)
{
    // Seen before the editor hands the click to the word-link menus.
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton)
            m_rightClick = mouse->position().toPoint();
    }
    return QObject::eventFilter(watched, event);
}

void SpellController::offerSpelling(QMenu &menu)
{
    qDeleteAll(std::exchange(m_offered, {}));
    Speller *speller = m_underline->speller();
    if (!speller)
        return;
    const QTextCursor at = m_editor.cursorForPosition(m_rightClick);
    const QTextBlock block = at.block();
    const QString line = block.text();
    const qsizetype inBlock = at.position() - block.position();
    for (const WordSpan &span : splitWords(line)) {
        if (inBlock < span.start || inBlock > span.start + span.length)
            continue;
        const QString word = line.mid(span.start, span.length);
        if (!m_underline->isMisspelt(word) || m_underline->isIgnored(line, span.start, span.length))
            return;
        QAction *first = menu.actions().value(0);
        const int start = block.position() + int(span.start);
        for (const QString &suggestion : speller->suggestions(word, 5)) {
            auto *action = new QAction(suggestion, &menu);
            connect(action, &QAction::triggered, this, [this, start, word, suggestion] {
                QTextCursor replace(m_editor.document());
                replace.setPosition(start);
                replace.setPosition(start + int(word.size()), QTextCursor::KeepAnchor);
                if (replace.selectedText() == word)
                    replace.insertText(suggestion);
            });
            m_offered << action;
        }
        auto *add = new QAction(u"Add to Dictionary"_s, &menu);
        add->setObjectName(u"addToDictionaryAction"_s);
        connect(add, &QAction::triggered, this, [this, word] {
            if (m_underline->speller()) {
                if (const Result<Done> added = m_underline->speller()->addToPersonal(word); !added)
                    Messages::inform(&m_window, added.error().message);
            }
            m_underline->wordAdded(word);
        });
        m_offered << add;
        auto *separator = new QAction(&menu);
        separator->setSeparator(true);
        m_offered << separator;
        menu.insertActions(first, m_offered);
        return;
    }
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
    request.createService = [this]() -> Result<std::unique_ptr<SpellingService>> {
        auto service = HunspellSpellingService::create(m_spellers, SpanishLanguage, m_clipboard, *m_dialog);
        if (!service)
            return service.error();
        (*service)->setProblemHandler([this](const QString &message) { Messages::inform(m_dialog, message); });
        return std::unique_ptr<SpellingService>(std::move(*service));
    };
    request.inform = [this](const QString &text) { Messages::inform(&m_window, text); };
    m_lastErrors = checkEditorSpelling(request).errors;
}
