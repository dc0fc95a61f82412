#include "app/checkcontroller.h"

#include "keeping/duplicates.h"
#include "keeping/projectstore.h"
#include "ui/messages.h"
#include "app/windowsize.h"
#include "check/blockcheck.h"
#include "check/widgets/checkswindow.h"
#include "check/widgets/exportchecks.h"
#include "check/widgets/overflowmarks.h"
#include "editor/widgets/translatededit.h"
#include "scripts/widgets/exportwindow.h"
#include "store/blockedit.h"
#include "store/nodekey.h"
#include "keeping/originalhistory.h"
#include "project/sqlitestore.h"
#include "store/storetext.h"
#include "store/widgets/scripttree.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QThread>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

struct CheckController::Project
{
    CheckedProject project;
    ProjectCheck check; // points into project.blocks
    QString error;
};

CheckController::CheckController(const Controls &controls, const WindowSize &size, const QString &programFolder,
                                 const QString &storePath)
    : QObject(controls.window)
    , m_c(controls)
    , m_size(size)
    , m_programFolder(programFolder)
    , m_storePath(storePath)
{
    m_fontOnly.font.setImage(programFont(programFolder));
    // Edits, Alt+arrows and the size reset are checked once per turn of the
    // event loop, however many of them came in it: before the window's paint
    // when one is due, else on the timer.
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(0);
    connect(&m_coalesce, &QTimer::timeout, this, &CheckController::recheck);
    // Underlines wait for a pause in the typing: repainting a long text's
    // underlines on every key costs more than the check itself, and those
    // already drawn move with the text they are on.
    m_underlinePause.setSingleShot(true);
    m_underlinePause.setInterval(150);
    connect(&m_underlinePause, &QTimer::timeout, this, &CheckController::underlineFindings);
    connect(m_c.editor, &TranslatedEdit::translatedTextChanged, &m_coalesce, qOverload<>(&QTimer::start));
    connect(m_c.editor, &TranslatedEdit::keyDown, &m_coalesce, qOverload<>(&QTimer::start));
    m_c.editor->viewport()->installEventFilter(this);
    m_c.window->installEventFilter(this);
    m_marks = new OverflowMarks(m_c.preview);
    m_checksAction = new QAction(u"Checks..."_s, this);
    m_checksAction->setObjectName(u"checksAction"_s);
    m_checksAction->setShortcut(QKeySequence(u"Ctrl+Shift+E"_s));
    connect(m_checksAction, &QAction::triggered, this, [this] { showChecksWindow(); });
}

void CheckController::readFromServer(ProjectStore &store, StoreOpener openReader)
{
    m_server = &store;
    m_openReader = std::move(openReader);
}

CheckController::~CheckController()
{
    if (m_thread) {
        m_thread->disconnect(this);
        m_thread->wait();
        delete m_thread;
    }
}

CheckContext &CheckController::context()
{
    return m_project ? m_project->project.context : m_fontOnly;
}

void CheckController::blockLoaded(const QString &key, const BlockLoad &load)
{
    m_open.reset();
    m_checker.reset();
    if (!key.isEmpty() && m_server) {
        // The team's links may change at any time: read with every block.
        if (m_project)
            (void)loadGlossary(*m_server, m_project->project.context.glossary);
        if (load.outcome == BlockLoad::Outcome::Loaded && load.address) {
            m_open = CheckedBlock{load.address->table, load.address->fileName, load.address->number, load.original,
                                  {}, false, load.revised, {}, {}, false};
            m_open->originalChanged = m_server->changedOriginal(*load.address, toStoreText(load.original)).has_value();
        }
        if (!m_project && !m_thread)
            refreshProject();
    } else if (!key.isEmpty() && (m_db.isOpen() || openStore(m_db, m_storePath))) {
        if (load.outcome == BlockLoad::Outcome::Loaded && load.address) {
            m_open = CheckedBlock{load.address->table, load.address->fileName, load.address->number, load.original,
                                  {}, false, load.revised, {}, {}, false};
            m_open->originalChanged =
                changedOriginal(m_storePath, *load.address, toStoreText(load.original)).has_value();
        }
        // The links may have changed in the links list since the project was read.
        const qint64 version = m_db.dataVersion();
        if (m_project && version != m_linksVersion) {
            // A failed read keeps the links read before; the next change tries again.
            SqliteStore store(m_db);
            (void)loadGlossary(store, m_project->project.context.glossary);
            m_linksVersion = version;
        }
        if (!m_project && !m_thread)
            refreshProject(); // the translations of the other blocks, for the consistency rule
    }
    recheck();
}

void CheckController::blockSaved()
{
    if (m_open && m_open->originalChanged) {
        // A save that wrote the block closed its mark; one that had nothing to write did not.
        const BlockAddress address{m_open->table, m_open->fileName, m_open->number};
        const QString original = toStoreText(m_open->original);
        m_open->originalChanged = (m_server ? m_server->changedOriginal(address, original)
                                            : changedOriginal(m_storePath, address, original))
                                      .has_value();
        recheck();
    }
    if (!m_open || !m_project)
        return;
    CheckedBlock saved = *m_open;
    saved.translation = m_c.editor->plainTextCrLf();
    saved.translated = !saved.translation.isEmpty();
    m_project->project.context.translations.update(saved);
}

void CheckController::recheck()
{
    m_coalesce.stop();
    m_findings.clear();
    const QString text = m_c.editor->plainTextCrLf();
    if (m_open) {
        CheckedBlock block = *m_open;
        block.translation = text;
        block.width = m_size.width;
        block.height = m_size.height;
        // What the next save will store: a block with a translation is translated.
        block.translated = !block.translation.isEmpty();
        if (!m_checker || m_checkerContext != &context()) {
            m_checker = std::make_unique<BlockChecker>(block.original, context());
            m_checkerContext = &context();
        }
        m_findings = m_checker->check(block);
    }
    showOpenFindings(text);
    emit openBlockChecked();
}

void CheckController::showOpenFindings(const QString &text)
{
    const int errors = int(std::count_if(m_findings.cbegin(), m_findings.cend(),
                                         [](const Finding &f) { return f.severity == Severity::Error; }));
    const bool shown = m_open && !text.isEmpty();
    m_c.count->setText(shown ? findingCount(errors, int(m_findings.size()) - errors) : QString());
    const bool overflows = std::any_of(m_findings.cbegin(), m_findings.cend(),
                                       [](const Finding &f) { return f.rule == Rule::Overflow; });
    m_marks->setMarks(overflows ? overflowMarks(m_checker->lines(), m_size.width, m_size.height) : QList<QRect>());
    if (m_findings.isEmpty())
        underlineFindings(); // nothing to wait for: old underlines go at once
    else
        m_underlinePause.start();
}

namespace {

// Tells the checks' underlines from the word links' marks: both are extra
// selections of rtxtTranslated.
constexpr int CheckUnderlineProperty = QTextFormat::UserProperty + 18;

} // namespace

void CheckController::underlineFindings()
{
    m_underlinePause.stop();
    QList<QTextEdit::ExtraSelection> underlines;
    for (const QTextEdit::ExtraSelection &other : m_c.editor->extraSelections()) {
        if (!other.format.boolProperty(CheckUnderlineProperty))
            underlines << other;
    }
    const QString text = m_c.editor->plainTextCrLf();
    for (const Finding &f : std::as_const(m_findings)) {
        const MarkedSpan mark = markedSpan(f, text);
        if (mark.length == 0)
            continue;
        QTextEdit::ExtraSelection underline;
        underline.cursor = m_c.editor->rangeCursor(int(mark.start), int(mark.length));
        underline.format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        underline.format.setProperty(CheckUnderlineProperty, true);
        underline.format.setUnderlineColor(f.severity == Severity::Error ? QColor(0xd0, 0x20, 0x20)
                                                                         : QColor(0xe0, 0x90, 0x00));
        underlines << underline;
    }
    m_c.editor->setExtraSelections(underlines);
}

bool CheckController::eventFilter(QObject *watched, QEvent *event)
{
    // The window is about to paint the edit: checked now, the count and the
    // marks join that paint instead of needing one of their own.
    if (watched == m_c.window && event->type() == QEvent::UpdateRequest) {
        if (m_coalesce.isActive())
            recheck();
        return false;
    }
    if (event->type() != QEvent::ToolTip || watched != m_c.editor->viewport())
        return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int index = m_c.editor->characterIndexAt(help->pos());
    QStringList messages;
    const QString text = m_findings.isEmpty() ? QString() : m_c.editor->plainTextCrLf();
    for (const Finding &f : std::as_const(m_findings)) {
        const MarkedSpan mark = markedSpan(f, text);
        if (index >= mark.start && index < mark.start + mark.length)
            messages << f.message;
    }
    if (messages.isEmpty())
        return false; // the word link's tooltip, if any
    const QString link = m_c.editor->toolTip();
    QToolTip::showText(help->globalPos(), (link.isEmpty() ? QString() : link + u"\n\n"_s) + messages.join(u'\n'),
                       m_c.editor->viewport());
    return true;
}

void CheckController::refreshProject()
{
    if (m_thread) {
        m_refreshAgain = true;
        return;
    }
    auto project = std::make_shared<Project>();
    m_thread = QThread::create([project, store = m_storePath, folder = m_programFolder, open = m_openReader] {
        if (open) {
            // Opened, read and closed on this thread, as a store asks.
            Result<std::unique_ptr<ProjectStore>> reader = open();
            Result<CheckedProject> loaded =
                reader ? loadProject(**reader, folder) : Result<CheckedProject>(reader.error());
            if (!loaded) {
                project->error = loaded.error().message;
            } else {
                project->project = std::move(*loaded);
                project->check = checkProject(project->project);
            }
            return;
        }
        Database db;
        const Result<Done> opened = openStore(db, store);
        SqliteStore local(db);
        Result<CheckedProject> loaded = opened ? loadProject(local, folder) : Result<CheckedProject>(opened.error());
        if (!loaded) {
            project->error = loaded.error().message;
        } else {
            project->project = std::move(*loaded);
            project->check = checkProject(project->project);
        }
    });
    connect(m_thread, &QThread::finished, this, [this, project] {
        m_thread->deleteLater();
        m_thread = nullptr;
        projectRead(project);
        if (std::exchange(m_refreshAgain, false))
            refreshProject();
    });
    if (m_checksWindow)
        m_checksWindow->setChecking(true);
    m_thread->start();
}

std::optional<CheckedKeys> CheckController::checkedKeys()
{
    if (!m_project) {
        if (!m_thread)
            refreshProject();
        return std::nullopt;
    }
    CheckedKeys keys;
    for (const BlockFindings &block : m_project->check.blocks)
        keys.withFindings.insert(block.block->key());
    for (const CheckedBlock &block : m_project->project.blocks) {
        if (block.originalChanged)
            keys.changedOriginal.insert(block.key());
    }
    return keys;
}

void CheckController::projectChanged()
{
    if (m_checksWindow && m_checksWindow->isVisible()) {
        refreshProject();
    } else {
        m_checker.reset();
        m_project.reset();
    }
}

void CheckController::projectRead(std::shared_ptr<Project> project)
{
    if (m_checksWindow)
        m_checksWindow->setChecking(false);
    if (!project->error.isEmpty()) {
        if (m_checksWindow && m_checksWindow->isVisible())
            Messages::inform(m_checksWindow, u"The project could not be checked: %1"_s.arg(project->error));
        return;
    }
    m_project = std::move(project);
    m_checker.reset();
    m_linksVersion = m_db.isOpen() ? m_db.dataVersion() : -1;
    if (m_checksWindow) {
        std::vector<FindingRow> rows;
        rows.reserve(size_t(m_project->check.errors + m_project->check.warnings));
        for (const BlockFindings &block : m_project->check.blocks) {
            for (const Finding &f : block.findings)
                rows.push_back({block.block->table, block.block->fileName, block.block->number, f});
        }
        m_checksWindow->setFindings(std::move(rows));
    }
    recheck();
    emit projectChecked();
}

void CheckController::showChecksWindow(const QSet<QString> &scripts)
{
    if (!m_checksWindow) {
        m_checksWindow = new ChecksWindow(m_c.window);
        connect(m_checksWindow, &ChecksWindow::refreshRequested, this, &CheckController::refreshProject);
        connect(m_checksWindow, &ChecksWindow::findingOpened, this, &CheckController::openFinding);
        connect(m_checksWindow, &ChecksWindow::removeDuplicatesRequested, this, &CheckController::removeDuplicates);
        m_checksWindow->setFitMenu(m_fitMenu);
    }
    m_checksWindow->showScripts(scripts);
    m_checksWindow->show();
    m_checksWindow->raise();
    m_checksWindow->activateWindow();
    refreshProject();
}

void CheckController::removeDuplicates()
{
    if (m_server)
        return Messages::inform(m_checksWindow,
                                u"The editor cannot remove duplicated blocks on a team server yet: here it would change "
                                "tallowpen.db in the program folder, not the team's store."_s);
    if (!m_db.isOpen()) {
        if (const Result<Done> opened = openStore(m_db, m_storePath); !opened)
            return Messages::inform(m_checksWindow, opened.error().message);
    }
    const auto duplicates = duplicateBlocks(m_db);
    if (!duplicates)
        return Messages::inform(m_checksWindow,
                                u"The duplicated blocks could not be read: %1"_s.arg(duplicates.error().message));
    if (duplicates->empty())
        return refreshProject();
    QStringList names;
    for (const DuplicateBlock &block : *duplicates)
        names << block.name();
    const QString question = u"Remove the older row of each of these %1 block(s), keeping the newest?\r\n%2\r\n"
                             "The store is copied into the backups folder first."_s.arg(
                                 QString::number(duplicates->size()), names.mid(0, 20).join(u"\r\n"_s));
    if (Messages::askWarning(m_checksWindow, question) != Messages::Answer::Yes)
        return;
    if (const QString why = removeOlderDuplicates(m_db, *duplicates); !why.isEmpty())
        return Messages::inform(m_checksWindow, why);
    emit duplicatesRemoved();
    projectChanged();
    refreshProject();
}

void CheckController::openFinding(const FindingRow &finding)
{
    // As the search window jumps: the node selected, then opened as a click opens it.
    const QString key = blockKey(finding.table, finding.fileName, finding.number);
    ScriptTree::collapseAll(*m_c.tree);
    if (!ScriptTree::selectKey(*m_c.tree, key))
        return;
    emit nodeClicked(m_c.tree->currentIndex());
    if (!m_open || m_open->key() != key)
        return;
    m_c.editor->setTextCursor(m_c.editor->rangeCursor(int(finding.finding.start), int(finding.finding.length)));
    m_c.window->activateWindow();
    m_c.editor->setFocus();
}

void CheckController::watchExport(ExportWindow &window)
{
    const auto before = [this, &window](Database &db, const std::vector<ExportListRow> &ticked, bool onlyRevised) {
        SqliteStore store(db);
        return askBeforeExport(&window, store, m_programFolder, ticked, onlyRevised, [this, &window](const QSet<QString> &scripts) {
            // The export window is modal: it closes, and the checks window opens in its place.
            window.reject();
            QTimer::singleShot(0, this, [this, scripts] { showChecksWindow(scripts); });
        });
    };
    const auto after = [this, &window](Database &db, const std::vector<ExportListRow> &ticked, bool onlyRevised,
                                       bool include) {
        reportReadBack(&window, db, m_programFolder, ticked, onlyRevised, include);
    };
    window.setExportChecks(before, after);
}

void CheckController::setFitMenu(QMenu *menu)
{
    m_fitMenu = menu;
    if (m_checksWindow)
        m_checksWindow->setFitMenu(menu);
}
