#include "app/fitcontroller.h"

#include "ui/messages.h"
#include "app/windowsize.h"
#include "check/blockcheck.h"
#include "check/projectfit.h"
#include "keeping/batch.h"
#include "project/sqlitestore.h"
#include "editor/widgets/translatededit.h"
#include "store/nodekey.h"
#include "store/widgets/scripttreemodel.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QTextCursor>
#include <QTreeView>

using namespace Qt::StringLiterals;

FitController::FitController(const Controls &controls, const WindowSize &size, Database &db, QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_size(size)
    , m_db(db)
{
    // Ctrl+Shift+W ("wrap"): no shortcut of the menus uses it.
    m_fitBlock = new QAction(u"Fit to window"_s, this);
    m_fitBlock->setObjectName(u"fitAction"_s);
    m_fitBlock->setShortcut(QKeySequence(u"Ctrl+Shift+W"_s));
    connect(m_fitBlock, &QAction::triggered, this, &FitController::fitOpenBlock);

    m_overflowing = new QMenu(u"Fit Overflowing Blocks"_s, m_c.window);
    m_overflowing->setObjectName(u"fitAllMenu"_s);
    const std::pair<const char16_t *, Scope> scopes[] = {
        {u"In the Open Block's Script...", Scope::Script},
        {u"In the Open Block's Folder...", Scope::Folder},
        {u"In the Project...", Scope::Project}};
    for (const auto &[caption, scope] : scopes) {
        connect(m_overflowing->addAction(QString::fromUtf16(caption)), &QAction::triggered, this,
                [this, scope] { fitOverflowing(scope); });
    }
}

void FitController::fitOpenBlock()
{
    if (!m_c.translation->isEnabled())
        return;
    const FitResult fit = fitToWindow(m_c.translation->plainTextCrLf(), m_size.width, m_size.height);
    if (fit.changed) {
        // One edit block: a single Ctrl+Z gives the translator's own breaks back.
        QTextCursor cursor(m_c.translation->document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(QString(fit.text).replace(u"\r\n"_s, u"\n"_s));
        cursor.endEditBlock();
    }
    if (!fit.overflow.isEmpty())
        m_c.status->setText(u"Still overflowing: "_s + describeOverflow(fit.overflow) + u'.');
    else
        m_c.status->setText(fit.changed ? u"The block now fits its window."_s : u"The block already fits its window."_s);
}

void FitController::fitOverflowing(Scope scope)
{
    const ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    const QModelIndex open = m_c.tree->currentIndex();
    const auto address = model ? parseBlockKey(model->key(open)) : std::nullopt;
    if (scope != Scope::Project && !address)
        return Messages::inform(m_c.window, u"Open a block first: the fit takes its script or folder."_s);
    emit saveRequested();

    SqliteStore store(m_db);
    Result<std::vector<CheckedBlock>> read = readCheckedBlocks(store);
    if (!read)
        return Messages::inform(m_c.window, u"The blocks could not be read, nothing was fitted: "_s + read.error().message);
    std::vector<CheckedBlock> &blocks = *read;
    const auto inScope = [&](const CheckedBlock &block) {
        return scope == Scope::Project
            || (block.table == address->table && (scope == Scope::Folder || block.fileName == address->fileName));
    };
    const ProjectFit fits = fitProject(blocks, inScope);
    const QString where = scope == Scope::Script ? u"this script"_s
                          : scope == Scope::Folder ? u"this folder"_s
                                                   : u"the project"_s;
    if (fits.changed.empty()) {
        return Messages::inform(m_c.window, fits.overflowing == 0
                                                ? u"No block in %1 overflows its window."_s.arg(where)
                                                : u"%1 blocks in %2 overflow their windows, and fitting changes none "
                                                  "of them (a word wider than the window, or an unclosed tag)."_s
                                                      .arg(fits.overflowing)
                                                      .arg(where));
    }
    const QString question = u"%1 blocks in %2 overflow their windows; %3 of them will be re-wrapped and saved. "
                             "Their comments and \"Revised\" marks stay as they are. Fit them?"_s
                                 .arg(fits.overflowing)
                                 .arg(where)
                                 .arg(fits.changed.size());
    if (Messages::askYesNo(m_c.window, question) != Messages::Answer::Yes)
        return;
    Result<BatchRecord> batch = beginBatch(m_db, BatchReason::Fit);
    if (!batch)
        return Messages::inform(m_c.window, batch.error().message);

    QProgressDialog progress(u"Fitting blocks..."_s, u"Stop"_s, 0, int(fits.changed.size()), m_c.window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const FitSaving saving = saveFits(
        m_db, fits.changed,
        [&progress](int done) {
            progress.setValue(done);
            return !progress.wasCanceled();
        },
        &*batch);
    progress.setValue(progress.maximum());
    const QString kept = batch->blocks.empty() ? QString() : recordBatch(m_db.path(), *batch);

    ScriptTreeModel *nodes = ScriptTree::model(*m_c.tree);
    for (const auto &[key, save] : saving.saved) {
        const QModelIndex node = nodes ? nodes->indexForKey(key) : QModelIndex();
        if (node.isValid()) {
            nodes->setImage(node, save.nodeImage);
            nodes->setText(node, save.nodeText);
        }
    }
    if (!saving.saved.empty() && saving.saved.back().second.status)
        m_c.status->setText(*saving.saved.back().second.status);
    // Counted from what the store now holds, read and checked afresh.
    int stillOverflowing = 0;
    const Result<std::vector<CheckedBlock>> after = readCheckedBlocks(store);
    const bool counted = after.ok();
    if (counted) {
        RuleSet overflow = RuleSet::none();
        overflow.insert(Rule::Overflow);
        const CheckContext none;
        for (const CheckedBlock &block : *after) {
            if (inScope(block) && !checkBlock(block, none, overflow).isEmpty())
                ++stillOverflowing;
        }
    }
    QString summary = counted ? u"%1 blocks fitted and saved, %2 still overflowing."_s.arg(saving.saved.size())
                                    .arg(stillOverflowing)
                              : u"%1 blocks fitted and saved; what still overflows could not be counted (%2)."_s
                                    .arg(saving.saved.size())
                                    .arg(after.error().message);
    if (!kept.isEmpty())
        summary += u"\n\n"_s + kept;
    if (!saving.problems.isEmpty())
        summary += u"\n\nNot saved:\n"_s + saving.problems.join(u'\n');
    if (!saving.saved.empty())
        emit blocksSaved();
    if (open.isValid())
        emit nodeClicked(open);
    Messages::inform(m_c.window, summary);
}
