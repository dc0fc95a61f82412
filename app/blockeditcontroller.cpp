#include "app/blockeditcontroller.h"

#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "app/ui/messages.h"
#include "store/scripttreemodel.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

BlockEditController::BlockEditController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
    , m_c(window.controls())
{
    setObjectName(u"blockEditController"_s);
    ScriptTreeModel *model = ScriptTree::installScriptTree(*m_c.Scripts);

    // A node is opened by the user's click or keyboard; the program's own
    // selections (the tree's build, the search window's jump) do not load.
    connect(m_c.Scripts, &QTreeView::clicked, this, &BlockEditController::openBlock);
    connect(m_c.Scripts->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (m_keyDriven)
                    openBlock(current);
            });
    m_c.Scripts->installEventFilter(this);
    // A rebuilt tree has no open block: the editors were emptied by whoever rebuilt it.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &BlockEditController::forgetOpenBlock);

    connect(m_c.saveTime, &QTimer::timeout, this, &BlockEditController::automaticSaveTick);
    connect(m_c.shaDelay, &QTimer::timeout, this, [this] {
        m_c.shaSave->hide();
        m_c.shaDelay->stop();
    });

    window.setCommand(Command::Save, [this] { save(); });
    window.setCommand(Command::ToggleAutoSave, [this] { toggleAutomaticSave(); });
    window.setCommand(Command::Clean, [this] { cleanTranslation(); });
    window.setCommand(Command::Clone, [this] { cloneOriginal(); });
    window.addExitHook([this] {
        m_failing = false; // the last chance: say so even if said before
        savePendingEdits();
    });
}

BlockEditController *BlockEditController::of(MainWindow &window)
{
    return window.findChild<BlockEditController *>(u"blockEditController"_s, Qt::FindDirectChildrenOnly);
}

bool BlockEditController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_c.Scripts && event->type() == QEvent::KeyPress && !m_keyDriven) {
        m_keyDriven = true;
        QTimer::singleShot(0, this, [this] { m_keyDriven = false; });
    }
    return QObject::eventFilter(watched, event);
}

ScriptTreeModel *BlockEditController::treeModel() const
{
    return ScriptTree::model(*m_c.Scripts);
}

QModelIndex BlockEditController::selectedNode() const
{
    return m_c.Scripts->currentIndex();
}

bool BlockEditController::autoSaveOn() const
{
    return m_c.mnuAutoGuar->isChecked();
}

bool BlockEditController::selectAndLoad(const QString &key)
{
    if (!ScriptTree::selectKey(*m_c.Scripts, key))
        return false;
    const QModelIndex node = m_c.Scripts->currentIndex();
    openBlock(node);
    return m_c.Scripts->currentIndex() == node;
}

void BlockEditController::openBlock(const QModelIndex &node)
{
    if (m_busy)
        return;
    ScriptTreeModel *model = treeModel();
    const QString key = model ? model->key(node) : QString();
    if (!m_openKey.isEmpty() && !savePendingEdits()) {
        reselectOpenNode();
        return;
    }
    const BlockLoad load = loadBlock(m_window.db(), key);
    if (load.outcome == BlockLoad::Outcome::Failed) {
        // The editors keep the open block, and the tree shows it again, so
        // that a save cannot put its text into the block that failed.
        reportFailure(load.message, true);
        reselectOpenNode();
        return;
    }
    applyLoad(load, node);
}

void BlockEditController::emptyEditors()
{
    m_original.show(m_c.rtxtOriginal, QString());
    m_translation.show(m_c.rtxtTranslated, QString());
    m_comment.show(m_c.txtComentario, QString());
    m_c.lblMsg->clear();
    clearPreview();
    m_c.VScroll1->setValue(0);
    m_c.chkRevised->setChecked(false);
    m_c.rtxtTranslated->setEnabled(false);
    m_c.rtxtOriginal->setEnabled(false);
    m_c.txtComentario->setEnabled(false);
}

void BlockEditController::applyLoad(const BlockLoad &load, const QModelIndex &node)
{
    forgetOpenBlock();
    emptyEditors();
    if (load.outcome == BlockLoad::Outcome::NotABlock) {
        m_c.chkRevised->setEnabled(false);
        emit blockLoaded(QString());
        return;
    }
    m_c.chkRevised->setEnabled(true);
    m_c.lblMsg->setText(load.caption);
    if (load.outcome == BlockLoad::Outcome::Duplicate) {
        reportFailure(load.message, true);
        m_c.lblMsg->setText(load.caption);
        emit blockLoaded(QString());
        return;
    }

    ScriptTreeModel *model = treeModel();
    m_c.rtxtOriginal->setEnabled(true);
    m_c.rtxtTranslated->setEnabled(true);
    m_c.txtComentario->setEnabled(true);
    model->setSelectedImage(node, load.selectedImage);
    if (load.nodeImage)
        model->setImage(node, load.nodeImage);
    m_original.show(m_c.rtxtOriginal, load.original);
    m_c.chkRevised->setChecked(load.revised);
    m_c.chkRevised->setEnabled(load.revisedEnabled);
    if (load.hasSize) {
        m_window.state().currentWidth = load.currentWidth;
        m_window.state().currentHeight = load.currentHeight;
    }
    m_translation.show(m_c.rtxtTranslated, load.translation);
    m_comment.show(m_c.txtComentario, load.comment);

    m_openKey = model->key(node);
    m_stored = load.stored;
    emit linksHighlightRequested();
    emit blockLoaded(m_openKey);
}

void BlockEditController::forgetOpenBlock()
{
    m_openKey.clear();
    m_stored.reset();
}

void BlockEditController::reselectOpenNode()
{
    ScriptTreeModel *model = treeModel();
    const QModelIndex open = model && !m_openKey.isEmpty() ? model->indexForKey(m_openKey) : QModelIndex();
    if (open.isValid() && m_c.Scripts->currentIndex() != open) {
        const bool wasKeyDriven = m_keyDriven;
        m_keyDriven = false;
        m_c.Scripts->setCurrentIndex(open);
        m_keyDriven = wasKeyDriven;
    }
}

void BlockEditController::reportFailure(const QString &message, bool always)
{
    m_c.lblMsg->setText(message);
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
    return {m_translation.read(m_c.rtxtTranslated->document()), m_comment.read(m_c.txtComentario->document()),
            m_c.chkRevised->isChecked()};
}

void BlockEditController::showSaveMarker()
{
    m_c.shaSave->show();
    m_c.shaDelay->start();
}

void BlockEditController::save()
{
    save(SaveKind::Command, selectedNode());
}

void BlockEditController::automaticSaveTick()
{
    if (autoSaveOn())
        save(SaveKind::Automatic, selectedNode());
}

bool BlockEditController::savePendingEdits()
{
    ScriptTreeModel *model = treeModel();
    if (!autoSaveOn() || m_openKey.isEmpty() || !model)
        return true;
    // The tree may already point at the next node; the edits belong to the open one.
    return save(SaveKind::Automatic, model->indexForKey(m_openKey));
}

bool BlockEditController::save(SaveKind kind, const QModelIndex &node)
{
    showSaveMarker();
    ScriptTreeModel *model = treeModel();
    const QString key = model ? model->key(node) : QString();
    // Only the open block is written: a block that failed to load must not
    // get the empty editors' text.
    if (m_busy || !isBlockKey(key) || key != m_openKey)
        return true;

    // The automatic save leaves a row alone that already holds these values;
    // a save the translator asks for always writes.
    const BlockSnapshot *known = kind == SaveKind::Automatic && m_stored ? &*m_stored : nullptr;
    const BlockSave result = saveBlock(m_window.db(), key, model->text(node), currentEdits(), known);
    m_c.chkRevised->setEnabled(result.revisedEnabled);
    if (!result.ok) {
        reportFailure(result.message, kind == SaveKind::Command);
        return false;
    }
    m_failing = false;
    model->setImage(node, result.nodeImage);
    model->setText(node, result.nodeText);
    m_stored = result.stored;
    if (result.status)
        m_c.lblMsg->setText(*result.status);
    if (!autoSaveOn()) {
        Messages::beep();
        m_c.lblMsg->setText(u"Script saved"_s);
    }
    emit saved(result.written);
    return true;
}

void BlockEditController::toggleAutomaticSave()
{
    // The menu entry has toggled its own check mark before its command runs.
    m_c.mnuGuardar->setEnabled(!autoSaveOn());
}

void BlockEditController::cleanTranslation()
{
    m_translation.show(m_c.rtxtTranslated, QString());
    m_c.chkRevised->setEnabled(false);
    m_c.chkRevised->setChecked(false);
    resetWindowSize();
    clearPreview();
}

void BlockEditController::cloneOriginal()
{
    if (!m_c.rtxtTranslated->isEnabled())
        return;
    m_translation.show(m_c.rtxtTranslated, m_original.read(m_c.rtxtOriginal->document()));
    resetWindowSize();
    m_c.chkRevised->setEnabled(true);
    emit linksHighlightRequested();
}

void BlockEditController::resetWindowSize()
{
    ScriptTreeModel *model = treeModel();
    const WindowSizeReset reset = ::resetWindowSize(m_window.db(), model ? model->key(selectedNode()) : QString());
    if (reset.hasSize) {
        m_window.state().currentWidth = reset.currentWidth;
        m_window.state().currentHeight = reset.currentHeight;
    }
    if (reset.fieldBlock)
        redrawPreview();
}

void BlockEditController::clearPreview()
{
    if (PreviewController *preview = PreviewController::of(m_window))
        preview->clearPreview();
}

void BlockEditController::redrawPreview()
{
    if (PreviewController *preview = PreviewController::of(m_window))
        preview->redrawPreview();
}
