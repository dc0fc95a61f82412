#include "app/keepcontroller.h"

#include "app/blockeditcontroller.h"
#include "app/openblock.h"
#include "ui/messages.h"
#include "keeping/backup.h"
#include "keeping/history.h"
#include "store/widgets/scripttreemodel.h"
#include "keeping/storecheck.h"
#include "keeping/widgets/historywindow.h"
#include "keeping/widgets/restorewindow.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QThread>
#include <QTreeView>

using namespace Qt::StringLiterals;

KeepController::KeepController(const Controls &controls, BlockEditController &blocks, const QString &programFolder,
                               const QString &storePath)
    : QObject(controls.window)
    , m_c(controls)
    , m_blocks(blocks)
    , m_programFolder(programFolder)
    , m_storePath(storePath)
{
    const auto entry = [this](const QString &caption, const char *name, const char *key, auto slot) {
        auto *action = new QAction(caption, this);
        connect(action, &QAction::triggered, this, slot);
        m_entries << action;
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(QString::fromLatin1(key)));
        return action;
    };
    entry(u"History…"_s, "historyAction", "Ctrl+Shift+H", [this] { openHistory(); });
    entry(u"Restore from Backup…"_s, "restoreAction", "Ctrl+Shift+B", [this] { openRestore(); });
    entry(u"Reopen Last Block"_s, "reopenLastAction", "Ctrl+Shift+L", [this] { reopenLastBlock(); });
    m_takeDraft = entry(u"Use Unsaved Draft"_s, "takeDraftAction", "Ctrl+Shift+D", [this] { takeDraft(); });
    m_takeDraft->setEnabled(false);

    m_c.tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_c.tree, &QWidget::customContextMenuRequested, this, &KeepController::showTreeMenu);

    m_draftPause.setSingleShot(true);
    m_draftPause.setInterval(DraftPauseMs);
    connect(&m_draftPause, &QTimer::timeout, this, &KeepController::writeDraft);
    // Only what the translator does starts the pause: a load fills the
    // editors with the block disabled-then-enabled and no open key yet.
    const auto typed = [this] {
        if (!m_blocks.openKey().isEmpty())
            m_draftPause.start();
    };
    connect(m_c.translation, &QPlainTextEdit::textChanged, this, typed);
    connect(m_c.comment, &QPlainTextEdit::textChanged, this, typed);
    connect(m_c.revised, &QCheckBox::clicked, this, typed);
    connect(&m_blocks, &BlockEditController::leavingBlock, this, [this] {
        // Automatic save off: the store keeps its text, the typing is kept apart and said so.
        const bool kept = m_blocks.hasUnsavedEdits() && writeDraft();
        m_blocks.openedBlock().leaving(kept);
    });
    connect(&m_blocks.openedBlock(), &OpenBlock::loaded, this,
            [this](const QString &key, const BlockLoad &, const QString &left) { tellDraftLeft(key, left); });
    connect(&m_blocks, &BlockEditController::blockLoaded, this, &KeepController::blockLoaded);
}

KeepController::~KeepController()
{
    if (m_backup)
        m_backup->wait();
}

// The check reads every page and the copy writes them all: both run on a
// thread of their own so that the window is idle at once; what they find
// comes back through report().
void KeepController::startUp()
{
    if (const Result<QString> restore = Backups::finishInterruptedRestore(m_programFolder); !restore)
        Messages::inform(m_c.window, restore.error().message);
    else if (!restore->isEmpty())
        Messages::inform(m_c.window, *restore);
    m_startUp = std::make_shared<StartUpWork>();
    m_backup = QThread::create([work = m_startUp, folder = m_programFolder, store = m_storePath] {
        const Result<Done> check = checkStoreFile(store);
        work->problem = check ? QString() : check.error().message;
        // A damaged store is not copied: its copy would push a good one out.
        // A folder that cannot be written gets no copy; the store is only read there.
        if (check && QFileInfo(folder).isWritable() && Backups::dailyBackupDue(folder)) {
            const Backups::Outcome outcome = Backups::makeBackup(folder, Backups::Reason::Daily);
            work->backupFailure = outcome ? QString() : outcome.error().message;
        }
    });
    connect(m_backup, &QThread::finished, this, &KeepController::report);
    m_backup->start(QThread::LowPriority);
}

void KeepController::waitForBackup()
{
    if (!m_backup)
        return;
    m_backup->wait();
    report();
}

void KeepController::report()
{
    if (!m_backup || !m_backup->isFinished())
        return;
    m_backup->deleteLater();
    m_backup = nullptr;
    const std::shared_ptr<StartUpWork> work = std::move(m_startUp);
    if (!work->problem.isEmpty())
        Messages::inform(m_c.window, damagedStoreMessage(m_programFolder, work->problem));
    if (!work->backupFailure.isEmpty())
        m_c.status->setText(u"The daily backup was not made: "_s + work->backupFailure);
    emit backupDone(work->backupFailure);
}

bool KeepController::writeDraft()
{
    m_draftPause.stop();
    const std::optional<BlockEdits> edits = m_blocks.openEdits();
    if (!isBlockKey(m_blocks.openKey()) || !edits || !m_blocks.hasUnsavedEdits())
        return false;
    const QString why = m_blocks.openedBlock().keepDraft(*edits);
    if (why.isEmpty())
        return true;
    m_c.status->setText(why);
    if (!m_draftProblemTold) {
        m_draftProblemTold = true;
        Messages::inform(m_c.window, why);
    }
    return false;
}

void KeepController::tellDraftLeft(const QString &key, const QString &leftWithDraft)
{
    // A draft the automatic save made needless is gone already.
    if (const auto left = parseBlockKey(leftWithDraft); left && leftWithDraft != key && !m_c.status->text().isEmpty()
        && blockDraft(m_storePath, *left).value_or(std::nullopt))
        m_c.status->setText(m_c.status->text() + u"\nThe unsaved text of block %1 of %2 was kept as a draft."_s.arg(
                                                     QString::number(left->number), left->fileName));
}

void KeepController::blockLoaded(const QString &key)
{
    m_takeDraft->setEnabled(false);
    const auto address = parseBlockKey(key);
    if (!address)
        return;
    (void)rememberOpenBlock(m_storePath, key); // Reopen Last Block is a convenience; the block opens anyway
    const std::optional<BlockVersion> draft = m_blocks.openedBlock().draft();
    const std::optional<BlockEdits> shown = m_blocks.openEdits();
    if (!draft || !shown)
        return;
    if (draft->translation == shown->translation && draft->comment == shown->comment
        && draft->revised == shown->revised) {
        m_blocks.openedBlock().dropDraft();
        return;
    }
    m_takeDraft->setEnabled(true);
    m_c.status->setText(u"This block has an unsaved draft from %1; press Ctrl+Shift+D to put it in the editor."_s.arg(
        QLocale::system().toString(draft->time, QLocale::ShortFormat)));
}

void KeepController::takeDraft()
{
    const std::optional<BlockVersion> draft = m_blocks.openedBlock().draft();
    m_takeDraft->setEnabled(false);
    if (!draft)
        return;
    m_blocks.putEdits({draft->translation, draft->comment, draft->revised});
    m_c.status->setText(u"The draft is in the editor; it is stored when you save."_s);
}

void KeepController::openHistory()
{
    const auto address = parseBlockKey(m_blocks.openKey());
    const std::optional<BlockEdits> edits = m_blocks.openEdits();
    if (!address || !edits) {
        Messages::inform(m_c.window, u"Open a block first: History shows the saved versions and the draft of the "
                                     "block in the editor."_s);
        return;
    }
    auto *window = new HistoryWindow(m_storePath, *address,
                                     {QDateTime::currentDateTime(), edits->translation, edits->comment, edits->revised},
                                     m_c.window,
                                     m_readVersions ? std::optional(m_readVersions(*address)) : std::nullopt);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QString key = m_blocks.openKey();
    connect(window, &QDialog::accepted, this, [this, window, key] {
        if (window->chosenVersion() && m_blocks.openKey() == key) {
            const BlockVersion &chosen = *window->chosenVersion();
            m_blocks.putEdits({chosen.translation, chosen.comment, chosen.revised});
        }
    });
    window->open();
}

void KeepController::openRestore()
{
    // The open block's text would go into the restored store at the next
    // save: it is kept as a draft and the editors are emptied by the rebuild.
    writeDraft();
    auto *window = new RestoreWindow(m_programFolder, m_c.window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (m_restore)
        window->setRestorer(m_restore);
    connect(window, &RestoreWindow::restored, this, &KeepController::storeRestored);
    window->open();
}

void KeepController::reopenLastBlock()
{
    const Result<QString> key = lastOpenBlock(m_storePath);
    if (!key) {
        m_c.status->setText(key.error().message);
        return;
    }
    if (key->isEmpty() || !ScriptTree::selectKey(*m_c.tree, *key)) {
        m_c.status->setText(u"There is no last block to reopen."_s);
        return;
    }
    m_blocks.openBlock(m_c.tree->currentIndex());
}

void KeepController::showTreeMenu(const QPoint &position)
{
    const QModelIndex node = m_c.tree->indexAt(position);
    const ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    if (!model || !isBlockKey(model->key(node)))
        return;
    QMenu menu(m_c.tree);
    QAction *history = menu.addAction(u"&History…"_s);
    history->setObjectName(u"nodeHistoryAction"_s);
    if (menu.exec(m_c.tree->viewport()->mapToGlobal(position)) != history)
        return;
    if (m_blocks.openKey() != model->key(node)) {
        m_c.tree->setCurrentIndex(node);
        m_blocks.openBlock(node);
    }
    if (m_blocks.openKey() == model->key(node))
        openHistory();
}
