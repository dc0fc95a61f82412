#include "app/blockeditcontroller.h"

#include "app/openblock.h"

#include "ui/messages.h"
#include "app/windowsize.h"
#include "keeping/projectstore.h"
#include "store/widgets/scripttreemodel.h"
#include "store/storetext.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

BlockEditController::BlockEditController(const Controls &controls, Database &db, ProjectStore &store,
                                         OpenBlock &open, QWidget &window)
    : QObject(&window)
    , m_c(controls)
    , m_db(db)
    , m_open(open)
    , m_window(window)
{
    m_open.setStore(store);
    ScriptTreeModel *model = ScriptTree::installScriptTree(*m_c.tree);

    // A node is opened by the user's click or keyboard; the program's own
    // selections (the tree's build, the search window's jump) do not load.
    connect(m_c.tree, &QTreeView::clicked, this, &BlockEditController::openBlock);
    connect(m_c.tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (m_keyDriven)
                    openBlock(current);
            });
    m_c.tree->installEventFilter(this);
    // A rebuilt tree has no open block: the editors were emptied by whoever rebuilt it.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &BlockEditController::forgetOpenBlock);

    connect(m_c.saveTimer, &QTimer::timeout, this, &BlockEditController::automaticSaveTick);
    connect(m_c.saveMarkerDelay, &QTimer::timeout, this, [this] {
        m_c.saveMarker->hide();
        m_c.saveMarkerDelay->stop();
    });
}

bool BlockEditController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_c.tree && event->type() == QEvent::KeyPress && !m_keyDriven) {
        m_keyDriven = true;
        QTimer::singleShot(0, this, [this] { m_keyDriven = false; });
    }
    return QObject::eventFilter(watched, event);
}

ScriptTreeModel *BlockEditController::treeModel() const
{
    return ScriptTree::model(*m_c.tree);
}

bool BlockEditController::autoSaveOn() const
{
    return m_c.automaticSave->isChecked();
}

void BlockEditController::openBlock(const QModelIndex &node)
{
    if (m_busy)
        return;
    ScriptTreeModel *model = treeModel();
    const QString key = model ? model->key(node) : QString();
    if (!m_open.key().isEmpty())
        emit leavingBlock(m_open.key());
    if (!m_open.key().isEmpty() && !savePendingEdits()) {
        reselectOpenNode();
        return;
    }
    Result<BlockRead> read = m_open.read(key);
    if (!read) {
        BlockRead failed;
        failed.load.outcome = BlockLoad::Outcome::Failed;
        failed.load.message = read.error().message;
        read = failed;
    }
    if (read->load.outcome == BlockLoad::Outcome::Failed) {
        // The editors keep the open block, and the tree shows it again, so
        // that a save cannot put its text into the block that failed.
        reportFailure(read->load.message, true);
        reselectOpenNode();
        return;
    }
    applyLoad(*read, node);
}

void BlockEditController::showRead(const BlockRead &read)
{
    ScriptTreeModel *model = treeModel();
    const QModelIndex node = model && !m_open.key().isEmpty() ? model->indexForKey(m_open.key()) : QModelIndex();
    if (node.isValid())
        applyLoad(read, node);
}

void BlockEditController::emptyEditors()
{
    m_original.show(m_c.original, QString());
    m_translation.show(m_c.translation, QString());
    m_comment.show(m_c.comment, QString());
    m_c.status->clear();
    emit editorsEmptied();
    m_c.revised->setChecked(false);
    m_c.translation->setEnabled(false);
    m_c.original->setEnabled(false);
    m_c.comment->setEnabled(false);
}

void BlockEditController::applyLoad(const BlockRead &read, const QModelIndex &node)
{
    const BlockLoad &load = read.load;
    forgetOpenBlock();
    emptyEditors();
    if (load.outcome == BlockLoad::Outcome::NotABlock) {
        m_c.revised->setEnabled(false);
        emit blockLoaded(QString(), BlockLoad{});
        return;
    }
    m_c.revised->setEnabled(true);
    m_c.status->setText(load.caption);
    if (load.outcome == BlockLoad::Outcome::Duplicate) {
        reportFailure(load.message, true);
        m_c.status->setText(load.caption);
        emit blockLoaded(QString(), BlockLoad{});
        return;
    }

    ScriptTreeModel *model = treeModel();
    m_c.original->setEnabled(true);
    m_c.translation->setEnabled(true);
    m_c.comment->setEnabled(true);
    model->setSelectedImage(node, load.selectedImage);
    if (load.nodeImage)
        model->setImage(node, load.nodeImage);
    m_original.show(m_c.original, load.original);
    m_c.revised->setChecked(load.revised);
    m_c.revised->setEnabled(load.revisedEnabled);
    // The preview reads the size as the translation is shown.
    if (load.hasSize)
        m_open.setWindowSize({load.currentWidth, load.currentHeight});
    m_translation.show(m_c.translation, load.translation);
    m_comment.show(m_c.comment, load.comment);

    m_open.open(model->key(node), read);
    emit blockLoaded(m_open.key(), load);
}

QString BlockEditController::openKey() const
{
    return m_open.key();
}

void BlockEditController::forgetOpenBlock()
{
    m_open.close();
}

void BlockEditController::reselectOpenNode()
{
    ScriptTreeModel *model = treeModel();
    const QModelIndex open = model && !m_open.key().isEmpty() ? model->indexForKey(m_open.key()) : QModelIndex();
    if (open.isValid() && m_c.tree->currentIndex() != open) {
        const bool wasKeyDriven = m_keyDriven;
        m_keyDriven = false;
        m_c.tree->setCurrentIndex(open);
        m_keyDriven = wasKeyDriven;
    }
}

void BlockEditController::reportFailure(const QString &message, bool always)
{
    m_c.status->setText(message);
    if (m_failing && !always)
        return;
    m_failing = true;
    // The box runs its own event loop: timer ticks and clicks meanwhile wait.
    m_busy = true;
    Messages::inform(&m_window, message);
    m_busy = false;
}

BlockEdits BlockEditController::currentEdits() const
{
    return {m_translation.read(m_c.translation->document()), m_comment.read(m_c.comment->document()),
            m_c.revised->isChecked()};
}

void BlockEditController::closeBlock()
{
    forgetOpenBlock();
    emptyEditors();
    m_c.revised->setEnabled(false);
    emit blockLoaded(QString(), BlockLoad{});
}

std::optional<BlockEdits> BlockEditController::openEdits() const
{
    if (m_open.key().isEmpty())
        return std::nullopt;
    return currentEdits();
}

bool BlockEditController::hasUnsavedEdits() const
{
    if (m_open.key().isEmpty())
        return false;
    return m_open.differs(currentEdits());
}

void BlockEditController::putEdits(const BlockEdits &edits)
{
    if (m_open.key().isEmpty())
        return;
    m_translation.edit(m_c.translation, edits.translation);
    m_comment.show(m_c.comment, edits.comment);
    m_c.revised->setEnabled(!edits.translation.isEmpty());
    m_c.revised->setChecked(edits.revised && !edits.translation.isEmpty());
}

void BlockEditController::showSaveMarker()
{
    m_c.saveMarker->show();
    m_c.saveMarkerDelay->start();
}

void BlockEditController::save()
{
    saveNode(SaveKind::Command, m_c.tree->currentIndex());
}

void BlockEditController::automaticSaveTick()
{
    if (autoSaveOn())
        saveNode(SaveKind::Automatic, m_c.tree->currentIndex());
}

void BlockEditController::saveAtExit()
{
    if (!m_open.key().isEmpty())
        emit leavingBlock(m_open.key());
    m_failing = false;
    savePendingEdits();
}

bool BlockEditController::savePendingEdits()
{
    ScriptTreeModel *model = treeModel();
    if (!autoSaveOn() || m_open.key().isEmpty() || !model)
        return true;
    // The tree may already point at the next node; the edits belong to the open one.
    return saveNode(SaveKind::Automatic, model->indexForKey(m_open.key()));
}

bool BlockEditController::saveNode(SaveKind kind, const QModelIndex &node)
{
    showSaveMarker();
    ScriptTreeModel *model = treeModel();
    const QString key = model ? model->key(node) : QString();
    // Only the open block is written: a block that failed to load must not
    // get the empty editors' text.
    if (m_busy || !isBlockKey(key) || key != m_open.key())
        return true;

    // The automatic save leaves a row alone that already holds these values;
    // a save the translator asks for always writes.
    BlockEdits edits = currentEdits();
    Result<BlockSave> outcome = m_open.save(model->text(node), edits, kind == SaveKind::Automatic);
    QString note;
    if (!outcome && m_onFailure) {
        const FailedSave handled = m_onFailure(key, model->text(node), edits, outcome.error());
        note = handled.note;
        if (handled.kind != FailedSave::Unhandled)
            m_c.status->setText(note);
        if (handled.kind == FailedSave::Kept)
            return true;
        if (handled.kind == FailedSave::Held)
            return false;
        if (handled.kind == FailedSave::Retry) {
            edits = handled.edits;
            putEdits(edits);
            outcome = m_open.save(model->text(node), edits, false);
        }
    }
    if (!outcome) {
        // As a save that writes: "Revised" can be ticked once there is a translation.
        m_c.revised->setEnabled(!edits.translation.isEmpty());
        reportFailure(outcome.error().message, kind == SaveKind::Command);
        return false;
    }
    const BlockSave &result = *outcome;
    m_c.revised->setEnabled(result.revisedEnabled);
    m_failing = false;
    model->setImage(node, result.nodeImage);
    model->setText(node, result.nodeText);
    if (result.status)
        m_c.status->setText(*result.status);
    if (!autoSaveOn()) {
        Messages::beep();
        m_c.status->setText(u"Script saved"_s);
    }
    if (!note.isEmpty())
        m_c.status->setText(note);
    // The save stands; what became of the earlier version is said once.
    if (!result.historyProblem.isEmpty()) {
        m_c.status->setText(result.historyProblem);
        if (!m_historyTold) {
            m_historyTold = true;
            m_busy = true;
            Messages::inform(&m_window, result.historyProblem);
            m_busy = false;
        }
    }
    emit saved(result.written);
    return true;
}

void BlockEditController::toggleAutomaticSave()
{
    // The menu entry has toggled its own check mark before its command runs.
    m_c.saveEntry->setEnabled(!autoSaveOn());
}

void BlockEditController::cleanTranslation()
{
    m_translation.edit(m_c.translation, QString());
    m_c.revised->setEnabled(false);
    m_c.revised->setChecked(false);
    resetWindowSize();
    emit translationCleaned();
}

void BlockEditController::cloneOriginal()
{
    if (!m_c.translation->isEnabled())
        return;
    m_translation.edit(m_c.translation, m_original.read(m_c.original->document()));
    resetWindowSize();
    m_c.revised->setEnabled(true);
    emit originalCloned();
}

void BlockEditController::resetWindowSize()
{
    ScriptTreeModel *model = treeModel();
    const WindowSizeReset reset = ::resetWindowSize(m_db, model ? model->key(m_c.tree->currentIndex()) : QString());
    if (reset.hasSize)
        m_open.setWindowSize({reset.currentWidth, reset.currentHeight});
    if (reset.fieldBlock)
        emit windowSizeReset();
}
