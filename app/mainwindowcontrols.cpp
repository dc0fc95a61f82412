#include "app/mainwindow.h"

#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QComboBox>
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

    c.shaDelay = named(new QTimer(this), "shaDelay");
    c.shaDelay->setInterval(500);
    c.shaDelay->setSingleShot(false);
    c.saveTime = named(new QTimer(this), "saveTime");
    c.saveTime->setInterval(1000);

    c.txtPath = named(new QLineEdit(central), "txtPath");
    c.txtPath->hide(); // holds the picked folder; never typed into

    c.Scripts = named(new QTreeView(central), "Scripts");
    c.Scripts->setHeaderHidden(true);
    c.Scripts->setUniformRowHeights(true);
    c.Scripts->setMinimumWidth(120);

    const QFont mono = courierNew();
    c.rtxtOriginal = named(new QTextEdit(central), "rtxtOriginal");
    c.rtxtOriginal->setFont(mono);
    c.rtxtOriginal->setReadOnly(true);
    c.rtxtOriginal->setAcceptRichText(false);
    c.rtxtOldOriginal = named(new QTextEdit(central), "rtxtOldOriginal");
    c.rtxtOldOriginal->setFont(mono);
    c.rtxtOldOriginal->setAcceptRichText(false);
    c.rtxtTranslated = named(new TranslatedEdit(central), "rtxtTranslated");
    c.rtxtTranslated->setFont(mono);
    c.rtxtTranslated->setAcceptRichText(false);
    c.txtComentario = named(new QPlainTextEdit(central), "txtComentario");
    c.txtComentario->setFont(mono);
    c.txtComentario->setPlaceholderText(u"Comments here"_s);
    c.txtComentario->setMaximumHeight(80);
    c.chkRevised = named(new QCheckBox(u"Revised"_s, central), "chkRevised");
    c.shaSave = named(new QFrame(central), "shaSave");
    c.shaSave->setFixedSize(12, 12);
    c.shaSave->setStyleSheet(u"background-color: #2e8b57; border-radius: 6px;"_s);
    c.shaSave->setToolTip(u"Saved"_s);
    c.shaSave->hide();

    // The preview: a 601 x 968 surface, zoomed, scrolled inside its container;
    // the widget sizes the container for its zoom.
    c.picContenedor = named(new PreviewContainer(central), "picContenedor");
    c.picContenedor->setMinimumHeight(200);
    c.picPreview = named(new PreviewWidget(c.picContenedor), "picPreview");
    c.li28 = named(new QFrame(c.picPreview), "li28");
    c.li32 = named(new QFrame(c.picPreview), "li32");
    for (QFrame *line : {c.li28, c.li32}) {
        line->setFrameShape(QFrame::VLine);
        line->setStyleSheet(u"color: #d04040;"_s);
    }
    c.picPreview->addGuide(c.li28, 240);
    c.picPreview->addGuide(c.li32, 288);
    c.VScroll1 = named(new QScrollBar(Qt::Vertical, c.picContenedor), "VScroll1");

    c.lblMsg = named(new QLabel(central), "lblMsg");
    c.lblMsg->setFont(mono);
    c.lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    c.prgWork = named(new QProgressBar(central), "prgWork");
    c.prgWork->setMaximumWidth(220);
    c.prgWork->hide();
    c.lblChecks = named(new QLabel(central), "lblChecks");

    auto *editors = new QWidget(central);
    // However narrow the window, the editors keep a whole line of the game's
    // widest window (32 characters) in view; the window stops shrinking there.
    const int lineWidth = QFontMetrics(mono).horizontalAdvance(QString(32, u'M'));
    editors->setMinimumWidth(lineWidth + 2 * c.rtxtTranslated->frameWidth()
                             + qCeil(2 * c.rtxtTranslated->document()->documentMargin())
                             + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    auto *editorLayout = new QVBoxLayout(editors);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addWidget(c.rtxtOldOriginal, 1);
    editorLayout->addWidget(c.rtxtOriginal, 1);
    editorLayout->addWidget(c.rtxtTranslated, 1);
    auto *commentRow = new QHBoxLayout;
    commentRow->addWidget(c.txtComentario, 1);
    auto *flags = new QVBoxLayout;
    flags->addWidget(c.chkRevised);
    flags->addWidget(c.shaSave, 0, Qt::AlignHCenter);
    flags->addStretch();
    commentRow->addLayout(flags);
    editorLayout->addLayout(commentRow);

    // The editors take whatever the window gains or loses; tree and preview
    // keep their width until the user drags a handle.
    auto *splitter = named(new QSplitter(central), "splMain");
    auto *treeColumn = new QWidget(central);
    auto *treeLayout = new QVBoxLayout(treeColumn);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    c.cboFilter = named(new QComboBox(treeColumn), "cboFilter");
    treeLayout->addWidget(c.cboFilter);
    treeLayout->addWidget(c.Scripts, 1);
    splitter->addWidget(treeColumn);
    splitter->addWidget(editors);
    splitter->addWidget(c.picContenedor);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setChildrenCollapsible(false);
    m_splitter = splitter;

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(c.lblMsg, 1);
    statusRow->addWidget(c.prgWork);
    statusRow->addWidget(c.lblChecks);

    auto *layout = new QVBoxLayout(central);
    layout->addWidget(splitter, 1);
    layout->addLayout(statusRow);
    resize(DesignedSize);

    // Tab moves between the fields as in any form; the game font has no tab
    // glyph, so none is typed. The original is read-only: a click still
    // reaches it for copying.
    c.rtxtTranslated->setTabChangesFocus(true);
    c.txtComentario->setTabChangesFocus(true);
    c.rtxtOriginal->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(c.Scripts, c.rtxtTranslated);
    setTabOrder(c.rtxtTranslated, c.txtComentario);
    setTabOrder(c.txtComentario, c.chkRevised);
}

QAction *MainWindow::addCommandAction(QMenu *menu, const char *name, const QString &caption, Command command,
                                   const QKeySequence &shortcut)
{
    QAction *action = named(menu->addAction(caption), name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    return action;
}

void MainWindow::buildMenus()
{
    auto &c = m_c;
    QMenuBar *bar = menuBar();

    c.mnuTradu = named(bar->addMenu(u"Translation"_s), "mnuTradu");
    c.mnuGuardar = addCommandAction(c.mnuTradu, "mnuGuardar", u"Save"_s, Command::Save, QKeySequence(u"Ctrl+G"_s));
    c.mnuAutoGuar = addCommandAction(c.mnuTradu, "mnuAutoGuar", u"Automatic Save"_s, Command::ToggleAutoSave,
                                     QKeySequence(u"Ctrl+Shift+G"_s));
    c.mnuAutoGuar->setCheckable(true);
    c.mnuAutoGuar->setChecked(true);
    c.mnuSalir = addCommandAction(c.mnuTradu, "mnuSalir", u"Exit"_s, Command::Exit, QKeySequence(u"Ctrl+Z"_s));

    c.mnuEd = named(bar->addMenu(u"Edit"_s), "mnuEd");
    c.mnuEliminar = addCommandAction(c.mnuEd, "mnuEliminar", u"Clean"_s, Command::Clean, QKeySequence(u"Ctrl+L"_s));
    c.mnuClonar = addCommandAction(c.mnuEd, "mnuClonar", u"Clone"_s, Command::Clone, QKeySequence(u"Ctrl+D"_s));
    c.mnuRevisar = addCommandAction(c.mnuEd, "mnuRevisar", u"Check Spell"_s, Command::CheckSpell, QKeySequence(u"Ctrl+O"_s));
    c.mnuSearch = addCommandAction(c.mnuEd, "mnuSearch", u"Search"_s, Command::Search, QKeySequence(u"Ctrl+F"_s));

    c.mnuViewMain = named(bar->addMenu(u"View"_s), "mnuViewMain");
    c.mnuView = addCommandAction(c.mnuViewMain, "mnuView", u"View Translated Script"_s, Command::ViewScript, QKeySequence(Qt::Key_F11));
    c.mnuLinks = addCommandAction(c.mnuViewMain, "mnuLinks", u"View links"_s, Command::ViewLinks, QKeySequence(u"Ctrl+P"_s));
    c.mnuLines = named(c.mnuViewMain->addMenu(u"Show Control Lines"_s), "mnuLines");
    c.mnu28 = addCommandAction(c.mnuLines, "mnu28", u"28 chrs line"_s, Command::Guide28, QKeySequence(Qt::Key_F7));
    c.mnu32 = addCommandAction(c.mnuLines, "mnu32", u"32 chrs line"_s, Command::Guide32, QKeySequence(Qt::Key_F8));
    for (QAction *guide : {c.mnu28, c.mnu32}) {
        guide->setCheckable(true);
        guide->setChecked(true);
    }

    c.mnuTools = named(bar->addMenu(u"Tools"_s), "mnuTools");
    c.mnuImportar = named(c.mnuTools->addMenu(u"Import Script"_s), "mnuImportar");
    c.mnuImpOri = addCommandAction(c.mnuImportar, "mnuImpOri", u"Original"_s, Command::ImportOriginal,
                                   QKeySequence(u"Ctrl+Shift+O"_s));
    c.mnuImpTra = addCommandAction(c.mnuImportar, "mnuImpTra", u"Translated"_s, Command::ImportTranslated,
                                   QKeySequence(u"Ctrl+Shift+T"_s));
    c.mnuVinculos = addCommandAction(c.mnuTools, "mnuVinculos", u"Import Links File"_s, Command::ImportLinks,
                                     QKeySequence(u"Ctrl+Shift+K"_s));
    c.mnuExportar = named(c.mnuTools->addMenu(u"Export Scripts"_s), "mnuExportar");
    c.mnuExpTra = addCommandAction(c.mnuExportar, "mnuExpTra", u"Translated"_s, Command::ExportTranslated, QKeySequence(Qt::Key_F9));

    c.mnuInsertar = named(bar->addMenu(u"Insert"_s), "mnuInsertar");
    c.mnuNew = addCommandAction(c.mnuInsertar, "mnuNew", u"<New>"_s, Command::InsertNew, QKeySequence(Qt::Key_F1));
    c.mnuWait = addCommandAction(c.mnuInsertar, "mnuWait", u"<Wait>"_s, Command::InsertWait, QKeySequence(Qt::Key_F2));
    c.mnuDelay = addCommandAction(c.mnuInsertar, "mnuDelay", u"<Delay X>"_s, Command::InsertDelay, QKeySequence(Qt::Key_F3));
    c.mnuSpace = addCommandAction(c.mnuInsertar, "mnuSpace", u"<Space X>"_s, Command::InsertSpace, QKeySequence(Qt::Key_F4));
    c.mnuOpcode = addCommandAction(c.mnuInsertar, "mnuOpcode", u"<Opcode X X>"_s, Command::InsertOpcode, QKeySequence(Qt::Key_F5));
    c.mnuClose = addCommandAction(c.mnuInsertar, "mnuClose", u"<Close><End of Block>"_s, Command::InsertClose, QKeySequence(Qt::Key_F6));

    c.mnuAyuda = named(bar->addMenu(u"Help"_s), "mnuAyuda");
    c.mnuAcerca = addCommandAction(c.mnuAyuda, "mnuAcerca", u"About..."_s, Command::About, QKeySequence(Qt::Key_F12));

    // Pop-up menus of the translated editor; they never join the menu bar.
    c.mnuDropDown = named(new QMenu(u"DropDownMenu"_s, this), "mnuDropDown");
    c.mnuModificar = named(c.mnuDropDown->addAction(u"Modify link"_s), "mnuModificar");
    c.mnuErase = named(c.mnuDropDown->addAction(u"Erase link"_s), "mnuErase");
    c.mnuSeparator = named(c.mnuDropDown->addSeparator(), "mnuSeparator");
    for (size_t i = 0; i < c.mnuSuggest.size(); ++i) {
        QAction *suggestion = c.mnuDropDown->addAction(QString());
        suggestion->setObjectName(u"mnuSuggest_%1"_s.arg(i));
        suggestion->setVisible(false);
        c.mnuSuggest[i] = suggestion;
    }
    c.mnuMante = named(new QMenu(QString(), this), "mnuMante");
    c.mnuAgregar = named(c.mnuMante->addAction(u"Add"_s), "mnuAgregar");
}

void MainWindow::buildToolbar()
{
    auto &c = m_c;
    c.tool = named(addToolBar(u"Tools"_s), "tool");
    c.tool->setMovable(false);
    c.tool->setIconSize(QSize(24, 24));
    int position = 1;
    for (const ToolbarButton &button : ToolbarButtons) {
        const QIcon icon(u":/tallowpen/toolbar/%1.png"_s.arg(position));
        QAction *action = c.tool->addAction(icon, QString());
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setObjectName(u"tool_%1"_s.arg(position));
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
