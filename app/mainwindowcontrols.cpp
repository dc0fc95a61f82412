#include "app/mainwindow.h"

#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"
#include "memory/widgets/memorypanel.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QtMath>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The named controls of the main window, its menus and its toolbar: what the
// window shows, before the features give the controls their meaning.

namespace {

struct ToolbarButton
{
    Command command;
    const char *key; // the button's key where it has one
    const char *tooltip;
};

// By position 1 to 13; the toolbar starts the command itself, so a button
// works even while its menu entry is greyed out.
constexpr ToolbarButton ToolbarButtons[] = {
    {Command::Save, "", "Save"},
    {Command::Search, "Search", "Seach for text"},
    {Command::CheckSpell, "", "Spell Check"},
    {Command::Clone, "", "Clone"},
    {Command::InsertNew, "", "Insert<New>"},
    {Command::InsertWait, "wait", "Insert <Wait>"},
    {Command::InsertDelay, "delay", "Insert <Delay X>"},
    {Command::InsertOpcode, "opcode", "Insert <Opcode X X>"},
    {Command::InsertClose, "close", "Insert <Close>"},
    {Command::InsertSpace, "space", "Insert <Space X>"},
    {Command::ViewScript, "View", "View Translated Script File"},
    {Command::Clean, "", "Clean"},
    {Command::Exit, "Salir", "Exit"},
};

constexpr int MemoryPanelWidth = 380;
constexpr int MemoryPanelMinimumWidth = 200;

QFont courierNew()
{
    QFont font(u"Courier New"_s);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

template<typename T>
T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1StringView(name));
    return object;
}

} // namespace

void MainWindow::buildControls()
{
    auto &c = m_c;
    auto *central = new QWidget(this);
    setCentralWidget(central);

    c.saveMarkerDelay = named(new QTimer(this), "shaDelay");
    c.saveMarkerDelay->setInterval(500);
    c.saveMarkerDelay->setSingleShot(false);
    c.saveTimer = named(new QTimer(this), "saveTime");
    c.saveTimer->setInterval(1000);

    c.folderPath = named(new QLineEdit(central), "txtPath");
    c.folderPath->hide(); // holds the picked folder; never typed into

    c.tree = named(new QTreeView(central), "Scripts");
    c.tree->setHeaderHidden(true);
    c.tree->setUniformRowHeights(true);
    c.tree->setMinimumWidth(120);
    // A block sits four levels deep: at the default indentation a narrow tree
    // left no room for its number, and "10" drew as nothing.
    c.tree->setIndentation(12);

    const QFont mono = courierNew();
    c.original = named(new QTextEdit(central), "rtxtOriginal");
    c.original->setFont(mono);
    c.original->setReadOnly(true);
    c.original->setAcceptRichText(false);
    c.oldOriginal = named(new QTextEdit(central), "oldOriginalEdit");
    c.oldOriginal->setFont(mono);
    c.oldOriginal->setAcceptRichText(false);
    c.translation = named(new TranslatedEdit(central), "rtxtTranslated");
    c.translation->setFont(mono);
    c.comment = named(new QPlainTextEdit(central), "txtComentario");
    c.comment->setFont(mono);
    c.comment->setPlaceholderText(u"Comments here"_s);
    c.comment->setMaximumHeight(80);
    // The box sits on a holder of its own: a role that may not revise greys
    // the holder, and the box stays grey whatever a load makes of it.
    c.revisedHolder = named(new QWidget(central), "revisedHolder");
    c.revised = named(new QCheckBox(u"Revised"_s, c.revisedHolder), "chkRevised");
    auto *holderLayout = new QVBoxLayout(c.revisedHolder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    holderLayout->addWidget(c.revised);
    c.saveMarker = named(new QFrame(central), "shaSave");
    c.saveMarker->setFixedSize(12, 12);
    c.saveMarker->setStyleSheet(u"background-color: #2e8b57; border-radius: 6px;"_s);
    c.saveMarker->setToolTip(u"Saved"_s);
    c.saveMarker->hide();

    // The preview: a 601 x 968 surface, zoomed, scrolled inside its container;
    // the widget sizes the container for its zoom.
    c.previewContainer = named(new PreviewContainer(central), "picContenedor");
    c.previewContainer->setMinimumHeight(200);
    c.preview = named(new PreviewWidget(c.previewContainer), "picPreview");
    c.guide28 = named(new QFrame(c.preview), "li28");
    c.guide32 = named(new QFrame(c.preview), "li32");
    for (QFrame *line : {c.guide28, c.guide32}) {
        line->setFrameShape(QFrame::VLine);
        line->setStyleSheet(u"color: #d04040;"_s);
    }
    c.preview->addGuide(c.guide28, 240);
    c.preview->addGuide(c.guide32, 288);
    c.previewScroll = named(new QScrollBar(Qt::Vertical, c.previewContainer), "VScroll1");

    c.status = named(new QLabel(central), "lblMsg");
    c.status->setFont(mono);
    c.status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    c.progress = named(new QProgressBar(central), "progressBar");
    c.progress->setMaximumWidth(220);
    c.progress->hide();
    c.checksSummary = named(new QLabel(central), "checksLabel");

    auto *editors = new QWidget(central);
    // However narrow the window, the editors keep a whole line of the game's
    // widest window (32 characters) in view; the window stops shrinking there.
    const int lineWidth = QFontMetrics(mono).horizontalAdvance(QString(32, u'M'));
    editors->setMinimumWidth(lineWidth + 2 * c.translation->frameWidth()
                             + qCeil(2 * c.translation->document()->documentMargin())
                             + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    auto *editorLayout = new QVBoxLayout(editors);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addWidget(c.oldOriginal, 1);
    editorLayout->addWidget(c.original, 1);
    editorLayout->addWidget(c.translation, 1);
    auto *commentRow = new QHBoxLayout;
    commentRow->addWidget(c.comment, 1);
    auto *flags = new QVBoxLayout;
    flags->addWidget(c.revisedHolder);
    flags->addWidget(c.saveMarker, 0, Qt::AlignHCenter);
    flags->addStretch();
    commentRow->addLayout(flags);
    editorLayout->addLayout(commentRow);

    // The editors take whatever the window gains or loses; tree and preview
    // keep their width until the user drags a handle.
    auto *splitter = named(new QSplitter(central), "mainSplitter");
    auto *treeColumn = new QWidget(central);
    auto *treeLayout = new QVBoxLayout(treeColumn);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    c.treeFilter = named(new QComboBox(treeColumn), "treeFilter");
    treeLayout->addWidget(c.treeFilter);
    treeLayout->addWidget(c.tree, 1);
    splitter->addWidget(treeColumn);
    splitter->addWidget(editors);
    splitter->addWidget(c.previewContainer);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setChildrenCollapsible(false);
    m_splitter = splitter;

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(c.status, 1);
    statusRow->addWidget(c.progress);
    statusRow->addWidget(c.checksSummary);

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(splitter, 1);
    layout->addLayout(statusRow);

    c.memoryPanel = new MemoryPanel;
    c.memoryPanel->setMinimumWidth(MemoryPanelMinimumWidth);
    c.memoryDock = named(new QDockWidget(u"Memory and Context"_s, this), "memoryDock");
    c.memoryDock->setWidget(c.memoryPanel);
    c.memoryDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                              | QDockWidget::DockWidgetFloatable);
    c.memoryDock->toggleViewAction()->setObjectName(u"memoryPanelAction"_s);
    addDockWidget(Qt::RightDockWidgetArea, c.memoryDock);
    // The window grows by the panel, so the editors, the tree and the
    // preview keep the size and place they were designed with; on a small
    // screen the start places it inside the screen and the panel gives way
    // down to its minimum.
    const int dockSeparator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    resize(DesignedSize.width() + MemoryPanelWidth + dockSeparator, DesignedSize.height());
    resizeDocks({c.memoryDock}, {MemoryPanelWidth}, Qt::Horizontal);

    // Tab moves between the fields as in any form; the game font has no tab
    // glyph, so none is typed. The original is read-only: a click still
    // reaches it for copying.
    c.translation->setTabChangesFocus(true);
    c.comment->setTabChangesFocus(true);
    c.original->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(c.tree, c.translation);
    setTabOrder(c.translation, c.comment);
    setTabOrder(c.comment, c.revised);
}

void MainWindow::buildToolbar()
{
    auto &c = m_c;
    c.toolbar = named(addToolBar(u"Tools"_s), "tool");
    c.toolbar->setMovable(false);
    c.toolbar->setIconSize(QSize(24, 24));
    int position = 1;
    for (const ToolbarButton &button : ToolbarButtons) {
        const QIcon icon(u":/tallowpen/toolbar/%1.png"_s.arg(position));
        QAction *action = c.toolbar->addAction(icon, QString());
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setObjectName(u"toolButton%1"_s.arg(position));
        action->setData(QString::fromLatin1(button.key));
        if (icon.isNull())
            action->setText(QString::fromLatin1(button.tooltip));
        connect(action, &QAction::triggered, this, [this, position] { runToolButton(position); });
        ++position;
    }
}

std::optional<Command> MainWindow::toolbarCommand(int position)
{
    if (position < 1 || position > int(std::size(ToolbarButtons)))
        return std::nullopt;
    return ToolbarButtons[position - 1].command;
}
