#include "app/memorycontroller.h"

#include "app/openblock.h"

#include "keeping/batch.h"
#include "keeping/projectstore.h"

#include "ui/messages.h"
#include "editor/widgets/translatededit.h"
#include "exchange/machinedraft.h"
#include "memory/blockcontext.h"
#include "memory/repeats.h"
#include "memory/widgets/memorypanel.h"
#include "memory/widgets/repeatsdialog.h"
#include "memory/widgets/statisticswindow.h"
#include "memory/wordstats.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

MemoryController::MemoryController(const Controls &controls, ProjectStore &store, Database &db, const OpenBlock &open,
                                   const QString &programFolder)
    : QObject(controls.window)
    , m_c(controls)
    , m_store(store)
    , m_db(db)
    , m_openBlock(open)
    , m_sidecar(TranslationMemory::sidecarPath(programFolder))
    , m_panel(controls.panel)
    , m_outsidePath(OutsideMemory::filePath(programFolder))
    , m_drafts(new MachineDrafts(this))
    , m_draftsMissing(machineDraftsMissing())
{
    connect(m_drafts, &MachineDrafts::drafted, this, &MemoryController::showDraft);
    connect(m_drafts, &MachineDrafts::failed, this, &MemoryController::showDraftFailure);
    for (int i = 0; i < int(m_insert.size()); ++i) {
        QAction *insert = new QAction(u"Insert Match %1"_s.arg(i + 1), m_c.window);
        insert->setObjectName(u"matchAction%1"_s.arg(i + 1));
        insert->setShortcut(QKeySequence(u"Ctrl+%1"_s.arg(i + 1)));
        connect(insert, &QAction::triggered, this, [this, i] { insertMatch(i); });
        m_c.window->addAction(insert);
        m_insert[size_t(i)] = insert;
    }
    m_statistics = new QAction(u"Statistics..."_s, this);
    m_statistics->setObjectName(u"statisticsAction"_s);
    connect(m_statistics, &QAction::triggered, this, &MemoryController::openStatistics);

    connect(m_panel, &MemoryPanel::insertRequested, this, &MemoryController::insertMatch);
    connect(m_panel, &MemoryPanel::repeatsRequested, this, &MemoryController::openRepeats);
    connect(m_panel, &MemoryPanel::blockRequested, this, &MemoryController::openContextBlock);
    m_c.tree->viewport()->installEventFilter(this);
    // An import rebuilds the tree after changing the store wholesale; no block is open then.
    if (const ScriptTreeModel *model = ScriptTree::model(*m_c.tree)) {
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            m_synced = false;
            blockLoaded();
        });
    }
}

bool MemoryController::memoryReady()
{
    if (m_synced)
        return true;
    // A first reading of a large store takes a moment: say so while it runs.
    m_panel->showNote(u"Reading the translation memory..."_s);
    m_panel->repaint();
    m_synced = (m_memory.isOpen() || m_memory.open(m_sidecar)) && m_memory.sync(m_store);
    // Read again with the store, so that an import made meanwhile shows;
    // without it the store's own matches still serve.
    m_outside.open(m_outsidePath);
    return m_synced;
}

void MemoryController::blockLoaded()
{
    m_matches.clear();
    m_draft.clear();
    m_drafts->cancel();
    if (!openAddress()) {
        m_openOriginal.clear();
        m_panel->showNote(u"Open a block to see earlier translations of originals like it."_s);
        return;
    }
    const Result<BlockContext> context = blockContext(m_store, *openAddress());
    const std::vector<ContextBlock> around = context ? context->blocks : std::vector<ContextBlock>();
    m_openOriginal.clear();
    for (const ContextBlock &block : around) {
        if (block.current)
            m_openOriginal = block.original;
    }
    showMatches();
    m_panel->showContext(context);
    askForDraft(speakerNames(around));
}

void MemoryController::askForDraft(const QStringList &names)
{
    if (m_draftsMissing)
        return m_panel->showDraftNote(*m_draftsMissing);
    if (m_openOriginal.isEmpty())
        return;
    m_panel->showDraftNote(u"Machine draft: drafting..."_s);
    m_drafts->request(m_openOriginal, names);
}

void MemoryController::showDraft(const QString &original, const MachineDraft &draft)
{
    if (!openAddress() || original != m_openOriginal)
        return;
    m_draft = draft.text;
    m_draftUnknown.clear();
    for (const MachineDraft::Span &span : draft.unknown)
        m_draftUnknown.emplace_back(span.start, span.length);
    m_panel->showDraft(int(m_matches.size()) + 1, m_draft, m_draftUnknown);
}

void MemoryController::showDraftFailure(const QString &original, const QString &why)
{
    if (openAddress() && original == m_openOriginal)
        m_panel->showDraftNote(u"Machine draft: "_s + why);
}

void MemoryController::showMatches()
{
    if (!memoryReady()) {
        m_panel->showNote(m_memory.errorMessage());
        return;
    }
    const int limit = int(m_insert.size()) - (m_draftsMissing ? 0 : 1);
    const QString stored = toStoreText(m_openOriginal);
    m_matches = mergedMatches(m_memory.matches(stored, openAddress(), limit),
                              m_outside.isOpen() ? m_outside.matches(stored, limit) : std::vector<MemoryMatch>(),
                              limit);
    m_panel->showMatches(m_openOriginal, m_matches);
}

void MemoryController::blockSaved(bool written)
{
    if (!written || !openAddress() || !m_synced)
        return;
    // The store now holds what the save wrote; the memory takes it from there.
    const Result<BlockRead> read = m_store.loadBlock(m_openBlock.key());
    if (!read) {
        m_synced = false;
        return;
    }
    const BlockLoad &stored = read->load;
    if (stored.stored && !m_memory.update(*openAddress(), toStoreText(stored.original), stored.stored->textDataT))
        m_synced = false; // read afresh at the next block
}

void MemoryController::insertMatch(int index)
{
    const bool draft = size_t(index) == m_matches.size() && !m_draft.isEmpty();
    if (index < 0 || (size_t(index) >= m_matches.size() && !draft) || !m_c.translation->isEnabled())
        return;
    // The draft goes in as any match does: one edit, never saved on its own.
    if (!m_c.translation->insertTag(draft ? m_draft : m_matches[size_t(index)].translation))
        m_c.status->setText(u"The match was not inserted: the translation would pass 32,767 characters."_s);
    m_c.translation->setFocus();
}

void MemoryController::openRepeats()
{
    if (!openAddress())
        return;
    const QString translation = m_c.translation->plainTextCrLf();
    const Result<Repeats> repeats = exactRepeats(m_db, *openAddress(), toStoreText(m_openOriginal), translation);
    if (!repeats)
        return Messages::inform(m_c.window, repeats.error().message);
    RepeatsDialog dialog(*repeats, m_c.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int changing = repeats->changing();
    const QString question = u"The current translation will replace the translation of %1 other blocks with the "
                             "same original. Their comments and \"Revised\" marks stay as they are. Apply it?"_s
                                 .arg(changing);
    if (Messages::askWarning(m_c.window, question) != Messages::Answer::Yes)
        return;
    Result<BatchRecord> batch = beginBatch(m_db, BatchReason::Repeats);
    if (!batch)
        return Messages::inform(m_c.window, batch.error().message);
    const Result<RepeatsApplied> applied = applyToRepeats(m_db, *repeats, translation);
    if (!applied)
        return Messages::inform(m_c.window, applied.error().message);
    for (const auto &[key, save] : applied->saved) {
        if (save.written)
            batch->changed(*parseBlockKey(key));
    }
    if (const QString kept = recordBatch(m_db.path(), *batch); !kept.isEmpty())
        m_c.status->setText(kept);
    ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    for (const auto &[key, save] : applied->saved) {
        const QModelIndex node = model ? model->indexForKey(key) : QModelIndex();
        if (node.isValid()) {
            model->setImage(node, save.nodeImage);
            model->setText(node, save.nodeText);
        }
        if (const auto block = parseBlockKey(key); block && m_synced)
            m_memory.update(*block, toStoreText(m_openOriginal), toStoreText(translation));
    }
    if (!applied->saved.empty() && applied->saved.back().second.status)
        m_c.status->setText(*applied->saved.back().second.status);
    showMatches();
    if (!m_draft.isEmpty())
        m_panel->showDraft(int(m_matches.size()) + 1, m_draft, m_draftUnknown);
}

void MemoryController::openStatistics()
{
    const Result<ProjectFigures> figures = projectFigures(m_store);
    if (!figures)
        return Messages::inform(m_c.window, u"The statistics could not be counted: "_s + figures.error().message);
    StatisticsWindow window(*figures, m_c.window);
    window.exec();
}

void MemoryController::openContextBlock(const QString &key)
{
    if (ScriptTree::selectKey(*m_c.tree, key))
        emit nodeClicked(m_c.tree->currentIndex());
}

QString MemoryController::scriptTooltip(const QModelIndex &node)
{
    const ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    const QString folder = model ? model->key(node.parent()) : QString();
    if (!ScriptTables::contains(folder))
        return {};
    const QString script = model->key(node);
    const Result<ProjectFigures> figures = projectFigures(m_store, folder, script);
    if (!figures || figures->scripts.empty())
        return {};
    const QString own = node.data(Qt::ToolTipRole).toString();
    return (own.isEmpty() ? QString() : own + u'\n') + script + u": "_s + figuresSummary(figures->scripts.front());
}

bool MemoryController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_c.tree->viewport() && event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = scriptTooltip(m_c.tree->indexAt(help->pos()));
        if (!text.isEmpty()) {
            QToolTip::showText(help->globalPos(), text, m_c.tree->viewport());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

std::optional<BlockAddress> MemoryController::openAddress() const
{
    return parseBlockKey(m_openBlock.key());
}
