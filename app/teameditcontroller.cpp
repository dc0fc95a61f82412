#include "app/teameditcontroller.h"

#include "app/conflictpanel.h"
#include "app/openblock.h"
#include "app/treecontroller.h"
#include "files/programfolder.h"
#include "keeping/history.h"
#include "server/livechanges.h"
#include "server/serverstore.h"
#include "store/nodekey.h"

#include <QDateTime>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace {

constexpr int RetryMilliseconds = 5000;

BlockEdits editsOf(const BlockLoad &load)
{
    return {load.translation, load.comment, load.revised};
}

} // namespace

TeamEditController::TeamEditController(const Controls &controls, BlockEditController &blocks, OpenBlock &open,
                                       TreeController &tree, ServerStore &store, const QString &programFolder,
                                       const QString &storePath)
    : QObject(controls.window)
    , m_c(controls)
    , m_blocks(blocks)
    , m_open(open)
    , m_tree(tree)
    , m_store(store)
    , m_storePath(storePath)
    , m_outbox(programPath(programFolder, OutboxFileName))
    , m_connection(new QLabel(controls.window))
    , m_dock(new QDockWidget(u"Conflict"_s, controls.window))
    , m_panel(new ConflictPanel(m_dock))
{
    m_connection->setObjectName(u"lblConnection"_s);
    controls.window->statusBar()->addPermanentWidget(m_connection);
    m_dock->setObjectName(u"conflictDock"_s);
    // No close button: only a choice in the panel settles the conflict.
    m_dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_dock->setWidget(m_panel);
    controls.window->addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    // The window's remembered arrangement may show the dock; without a conflict it has nothing to offer.
    connect(m_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && !m_conflict)
            QMetaObject::invokeMethod(m_dock, &QWidget::hide, Qt::QueuedConnection);
    });
    connect(m_panel, &ConflictPanel::keepMine, this, &TeamEditController::keepMine);
    connect(m_panel, &ConflictPanel::takeTheirs, this, &TeamEditController::takeTheirs);
    connect(m_panel, &ConflictPanel::saveEdited, this, &TeamEditController::saveEdited);
    m_blocks.setFailureHandler([this](const QString &key, const QString &nodeText, const BlockEdits &mine,
                                      const Failure &failure) { return saveFailed(key, nodeText, mine, failure); });
    // The open block's conflict goes with it: a block left unsaved keeps its draft.
    connect(&m_open, &OpenBlock::loaded, this, [this](const QString &key) {
        if (m_conflict && !m_conflict->outboxId && m_conflict->key != key)
            settled({});
    });
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (!m_live)
            openFeed();
        replayOutbox();
    });
    openFeed();
}

void TeamEditController::openFeed()
{
    Result<ChangeFeed> feed = ChangeFeed::open(m_store.connection().address());
    if (!feed) {
        setOffline(true, feed.error().message);
        return;
    }
    m_live = new LiveChanges(std::move(*feed), this);
    connect(m_live, &LiveChanges::changed, this, &TeamEditController::changed);
    connect(m_live, &LiveChanges::offline, this, [this](const QString &why) { setOffline(true, why); });
    connect(m_live, &LiveChanges::online, this, &TeamEditController::replayOutbox);
}

void TeamEditController::setOffline(bool offline, const QString &why)
{
    const bool was = !m_connection->text().isEmpty();
    m_connection->setText(offline ? u"Offline"_s : QString());
    if (offline && !was) {
        m_c.status->setText(u"Offline: %1 Saves wait in the outbox until the server is back."_s.arg(why));
        m_retry.start();
    }
}

BlockEditController::FailedSave TeamEditController::saveFailed(const QString &key, const QString &nodeText,
                                                               const BlockEdits &mine, const Failure &failure)
{
    using Failed = BlockEditController::FailedSave;
    if (ServerConnection::isLost(failure)) {
        if (!m_outbox.add({0, key, nodeText, mine.translation, mine.comment, mine.revised, m_open.version(), {}}))
            return {};
        m_open.markKept(mine);
        setOffline(true, failure.message);
        return {Failed::Kept, {}, u"Offline: the edit is kept in the outbox and saved when the server is back."_s};
    }
    if (!VersionCheck::isConflict(failure))
        return {};
    const QString held = u"Conflict: this block was saved by someone else while you edited it; nothing was saved. "
                         "Choose in the conflict panel beside the editors: Keep Mine, Take Theirs or Save Edited."_s;
    if (m_conflict && m_conflict->key == key)
        return {Failed::Held, {}, held};
    Result<BlockRead> theirs = m_open.read(key);
    if (!theirs)
        return {};
    if (const auto merged = VersionCheck::merge(editsOf(m_open.block().load), mine, editsOf(theirs->load))) {
        m_open.rebase(*theirs);
        return {Failed::Retry, *merged,
                u"Merged with the change %1 made at %2: each of you changed other fields; both are saved."_s.arg(
                    theirs->updatedBy, theirs->updatedAt)};
    }
    showConflict({key, nodeText, mine, *theirs, {}});
    return {Failed::Held, {}, held};
}

void TeamEditController::changed(const BlockChange &change)
{
    const QString key = blockKey(change.table, change.fileName, QString::number(change.dialogueId));
    if (m_conflict && m_conflict->key == key) {
        // The panel shows the newest of theirs, so that Keep Mine replaces that one.
        if (Result<BlockRead> theirs = m_store.loadBlock(key); theirs && theirs->version != m_conflict->theirs.version) {
            m_conflict->theirs = *theirs;
            showConflict(*m_conflict);
        }
        m_tree.updateNode(key);
        return;
    }
    // Our own save comes back too; so does a change already caught up.
    if (key == m_open.key() && change.version > m_open.version().value_or(change.version)) {
        Result<BlockRead> theirs = m_open.read(key);
        if (theirs && !m_blocks.hasUnsavedEdits()) {
            m_blocks.showRead(*theirs);
        } else if (theirs) {
            const BlockEdits mine = *m_blocks.openEdits();
            if (const auto merged = VersionCheck::merge(editsOf(m_open.block().load), mine, editsOf(theirs->load))) {
                m_open.rebase(*theirs);
                m_blocks.putEdits(*merged);
                m_c.status->setText(u"Merged with the change %1 made at %2: each of you changed other fields; "
                                    "yours is not saved yet."_s.arg(theirs->updatedBy, theirs->updatedAt));
                m_tree.updateNode(key);
                return;
            }
            showConflict({key, QString(), mine, *theirs, {}});
        }
    }
    m_tree.updateNode(key);
}

void TeamEditController::replayOutbox()
{
    Outbox::Replay replay = m_outbox.replay(m_store);
    for (const OutboxEdit &saved : replay.saved) {
        if (saved.key == m_open.key() && saved.baseVersion)
            m_open.markSaved({saved.translation, saved.comment, saved.revised}, *saved.baseVersion);
        m_tree.updateNode(saved.key);
    }
    if (replay.stopped && ServerConnection::isLost(*replay.stopped))
        return;
    if (replay.stopped)
        m_c.status->setText(replay.stopped->message);
    const bool wasOffline = !m_connection->text().isEmpty();
    setOffline(false);
    if (wasOffline && !replay.saved.empty())
        m_c.status->setText(u"Back online: %1 kept edit(s) saved."_s.arg(replay.saved.size()));
    // What is left needs a person, not another try.
    if (!replay.stopped)
        m_retry.stop();
    if (!replay.conflicts.empty() && !m_conflict) {
        const OutboxEdit &edit = replay.conflicts.front();
        Result<BlockRead> theirs = m_store.loadBlock(edit.key);
        if (theirs)
            showConflict({edit.key, edit.nodeText, {edit.translation, edit.comment, edit.revised}, *theirs, edit.id});
    }
}

void TeamEditController::showConflict(const Conflict &conflict)
{
    m_conflict = conflict;
    m_panel->showConflict(conflict.key, conflict.theirs.updatedBy, conflict.theirs.updatedAt,
                          editsOf(conflict.theirs.load), conflict.mine);
    m_dock->show();
    m_dock->raise();
}

void TeamEditController::settled(const QString &note)
{
    const bool kept = m_conflict && m_conflict->outboxId;
    if (kept)
        (void)m_outbox.remove(*m_conflict->outboxId);
    m_conflict.reset();
    m_dock->hide();
    if (!note.isEmpty())
        m_c.status->setText(note);
    // The next kept edit that met a newer version, if any, is shown next.
    if (kept)
        replayOutbox();
}

// Mine saved as a new version over theirs, which the server keeps in the block's history.
void TeamEditController::saveOver(const BlockEdits &mine)
{
    const Conflict conflict = *m_conflict;
    if (conflict.key == m_open.key()) {
        m_open.rebase(conflict.theirs);
        m_blocks.putEdits(mine);
        m_blocks.save();
        if (!m_blocks.hasUnsavedEdits())
            settled(u"Yours is saved over the version %1 saved; theirs is kept in the history."_s.arg(
                conflict.theirs.updatedBy));
        return;
    }
    VersionGuard guard{conflict.theirs.version, {}};
    Result<BlockSave> saved = m_store.saveBlock(conflict.key, conflict.nodeText, mine, nullptr, &guard);
    if (!saved) {
        m_c.status->setText(saved.error().message);
        return;
    }
    m_tree.updateNode(conflict.key);
    settled(u"Yours is saved over the version %1 saved; theirs is kept in the history."_s.arg(conflict.theirs.updatedBy));
}

// What the editors hold when they hold more than the conflict knows of
// (typed since), else the edit the conflict was met with.
BlockEdits TeamEditController::mineNow() const
{
    const bool typedSince = m_conflict->key == m_open.key() && (!m_conflict->outboxId || m_blocks.hasUnsavedEdits());
    return typedSince ? *m_blocks.openEdits() : m_conflict->mine;
}

void TeamEditController::keepMine()
{
    if (!m_conflict)
        return;
    saveOver(mineNow());
}

void TeamEditController::saveEdited()
{
    if (m_conflict)
        saveOver(m_panel->mine());
}

void TeamEditController::takeTheirs()
{
    if (!m_conflict)
        return;
    const Conflict conflict = *m_conflict;
    const BlockEdits mine = mineNow();
    const auto address = parseBlockKey(conflict.key);
    // Mine is kept before theirs replaces it in the editors.
    QString why;
    if (conflict.key == m_open.key()) {
        why = m_open.keepDraft(mine);
    } else if (address) {
        const Result<HistoryWrite> kept =
            writeDraft(m_storePath, *address, {QDateTime::currentDateTime(), mine.translation, mine.comment, mine.revised});
        why = kept ? kept->notice : kept.error().message;
    }
    if (!why.isEmpty()) {
        m_c.status->setText(why);
        return;
    }
    if (conflict.key == m_open.key()) {
        if (Result<BlockRead> theirs = m_open.read(conflict.key))
            m_blocks.showRead(*theirs);
    }
    settled(u"Theirs is taken; yours is kept as the block's draft (Ctrl+Shift+D puts it back)."_s);
}
