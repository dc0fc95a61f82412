#include "app/linkscontroller.h"
#include "app/mainwindow.h"
#include "editor/widgets/translatededit.h"
#include "links/linksmodel.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "store/database.h"
#include "store/scripttreemodel.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>

using namespace Qt::StringLiterals;

// Wiring only: the main window's editor, menus and commands reach the link
// rules (pinned in tst_linkstore, tst_wordfinder and tst_highlight), and the
// results come back to the editor, its menus and its marks. Controls are
// found by their object names; people are answered through the seams.
class tst_LinksController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void mouse_data();
    void mouse();
    void addLinkFromThePopup();
    void suggestionReplacesTheWord();
    void modifyLink();
    void eraseLink_data();
    void eraseLink();
    void loadingABlockMarks();
    void keyDownMarksTheCaretLine();
    void linksListEditsALine();
    void importLinksFile_data();
    void importLinksFile();

private:
    QAction *action(const char *name) const { return m_window->findChild<QAction *>(QLatin1StringView(name)); }
    void hover(int crLfIndex, Qt::MouseButton button = Qt::NoButton);
    QString marks() const;
    QStringList rows() const;
    static int answerDialog(QDialog &dialog, const QString &first);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    TranslatedEdit *m_editor = nullptr;
    QStringList m_popups;
    QStringList m_dialogs;
};

void tst_LinksController::init()
{
    m_home = std::make_unique<TestHome>();
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('espada', 'sword', 'blade', '', '', '', ''), "
                            "('escudo', '', 'shield', '', '', '', 'defence')"_s));
    QVERIFY(m_home->execute(u"INSERT INTO battling_arena VALUES ('a.txt', 1, 'x', 20, 2, '', 1, 0, "
                            "'una espada\r\ny escudo', 0, 0)"_s));
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_editor = m_window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    QVERIFY(m_editor);
    m_editor->setEnabled(true);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_popups.clear();
    m_dialogs.clear();
    LinksController::setPopupRunner([this](QMenu &menu, const QPoint &) { m_popups << menu.objectName(); });
}

void tst_LinksController::cleanup()
{
    LinksController::setPopupRunner({});
    LinksController::setDialogRunner({});
    LinksController::setFileChooser({});
    m_window.reset();
    m_messages.reset();
    m_home.reset();
}

// The editor's mouse over the character at a CR LF index, and released
// there when a button is given.
void tst_LinksController::hover(int crLfIndex, Qt::MouseButton button)
{
    m_editor->setCaretPosition(crLfIndex);
    const QPoint point = m_editor->cursorRect().center();
    emit m_editor->mouseMoved(point, Qt::NoButton, Qt::NoModifier);
    if (button != Qt::NoButton)
        emit m_editor->mouseReleased(point, button, Qt::NoModifier);
}

// The bold blue words in text order.
QString tst_LinksController::marks() const
{
    QStringList found;
    for (QTextBlock block = m_editor->document()->firstBlock(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.fontWeight() == QFont::Bold && format.foreground().color() == QColor(0, 0, 255))
                found << it.fragment().text();
        }
    }
    return found.join(u'|');
}

QStringList tst_LinksController::rows() const
{
    Database db;
    QStringList rows;
    for (const LinkRow &link : openStore(db, m_home->storePath()) ? readAllLinks(db) : QList<LinkRow>())
        rows << link.word + u'=' + link.suggestions[0] + u',' + link.suggestions[1] + u',' + link.comment;
    return rows;
}

// A link dialog's answer: `first` as the first word and OK.
int tst_LinksController::answerDialog(QDialog &dialog, const QString &first)
{
    auto &link = static_cast<LinkDialog &>(dialog);
    link.txtWord(0)->setText(first);
    link.acceptLink();
    return link.result();
}

void tst_LinksController::mouse_data()
{
    QTest::addColumn<int>("index"); // in "una espada, escudo y arco"
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("popup");
    QTest::addColumn<QString>("addCaption");
    QTest::newRow("linked word") << 7 << int(Qt::RightButton) << u"sword|blade"_s << u"No comments"_s
                                 << u"mnuDropDown"_s << u"Add"_s;
    QTest::newRow("first suggestion empty") << 14 << int(Qt::RightButton) << u"shield"_s << u"defence"_s
                                            << u"mnuMante"_s << u"Add link to\"escudo\""_s;
    QTest::newRow("unlinked word") << 24 << int(Qt::RightButton) << QString() << QString() << u"mnuMante"_s
                                   << u"Add link to\"arco\""_s;
    QTest::newRow("left button offers nothing") << 7 << int(Qt::LeftButton) << u"sword|blade"_s << u"No comments"_s
                                                << QString() << u"Add"_s;
}

void tst_LinksController::mouse()
{
    QFETCH(int, index);
    QFETCH(int, button);
    QFETCH(QString, shown);
    QFETCH(QString, tooltip);
    QFETCH(QString, popup);
    QFETCH(QString, addCaption);
    m_editor->setPlainTextCrLf(u"una espada, escudo y arco"_s);
    hover(7); // an earlier hover's suggestions must go
    hover(index, Qt::MouseButton(button));
    QStringList visible;
    for (int i = 0; i < 5; ++i) {
        const QAction *suggestion = m_window->findChild<QAction *>(u"mnuSuggest_%1"_s.arg(i));
        if (suggestion->isVisible())
            visible << suggestion->text();
    }
    QCOMPARE(visible.join(u'|'), shown);
    QCOMPARE(m_editor->toolTip(), tooltip);
    QCOMPARE(m_popups.join(u'|'), popup);
    QCOMPARE(action("mnuAgregar")->text(), addCaption);
}

void tst_LinksController::addLinkFromThePopup()
{
    m_editor->setPlainTextCrLf(u"un arco y otro arco"_s);
    LinksController::setPopupRunner([](QMenu &menu, const QPoint &) { menu.actions().first()->trigger(); });
    LinksController::setDialogRunner([this](QDialog &dialog) {
        m_dialogs << dialog.windowTitle();
        return answerDialog(dialog, u"bow"_s);
    });
    hover(5, Qt::RightButton);
    QCOMPARE(m_dialogs, QStringList{u"Links to word \"arco\""_s});
    QCOMPARE(rows().last(), u"arco=bow,,"_s);
    QCOMPARE(marks(), u"arco|arco"_s); // marked once the pop-up has closed
}

void tst_LinksController::suggestionReplacesTheWord()
{
    m_editor->setPlainTextCrLf(u"espada y espada\r\nespada"_s);
    hover(11);
    action("mnuSuggest_1")->trigger();
    QCOMPARE(m_editor->plainTextCrLf(), u"espada y blade\r\nespada"_s);
    QCOMPARE(marks(), u"espada|espada"_s);
}

void tst_LinksController::modifyLink()
{
    m_editor->setPlainTextCrLf(u"un escudo"_s);
    hover(5);
    LinkFields shown;
    LinksController::setDialogRunner([&shown](QDialog &dialog) {
        shown = static_cast<LinkDialog &>(dialog).fields();
        return answerDialog(dialog, u"buckler"_s);
    });
    action("mnuModificar")->trigger();
    QCOMPARE(shown, (LinkFields{QString(), u"shield"_s, QString(), QString(), QString(), u"defence"_s}));
    QCOMPARE(rows(), (QStringList{u"espada=sword,blade,"_s, u"escudo=buckler,shield,defence"_s}));
}

void tst_LinksController::eraseLink_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("erased");
    QTest::newRow("yes") << int(Messages::Answer::Yes) << true;
    QTest::newRow("no") << int(Messages::Answer::No) << false;
    QTest::newRow("cancel") << int(Messages::Answer::Cancel) << false;
}

void tst_LinksController::eraseLink()
{
    QFETCH(int, answer);
    QFETCH(bool, erased);
    m_editor->setPlainTextCrLf(u"espada"_s);
    QTest::keyClick(m_editor, Qt::Key_End); // marks the line
    hover(3);
    m_messages->answerWith({Messages::Answer(answer)});
    action("mnuErase")->trigger();
    QCOMPARE(m_messages->messages.size(), 1);
    const Messages::Message &question = m_messages->messages.first();
    QCOMPARE(question.text, u"Do you want to erase the links to the word 'espada'?"_s);
    QCOMPARE(std::tuple(question.title, question.buttons, question.icon),
             std::tuple(u"Warning"_s, Messages::Buttons::YesNoCancel, Messages::Icon::Warning));
    QCOMPARE(rows().size(), erased ? 1 : 2);
    QCOMPARE(marks(), erased ? QString() : u"espada"_s);
}

void tst_LinksController::loadingABlockMarks()
{
    auto *tree = m_window->findChild<QTreeView *>(u"Scripts"_s);
    const QModelIndex node = static_cast<ScriptTreeModel *>(tree->model())->indexForKey(u"battling_arena:a.txt;1"_s);
    tree->expandAll();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
    QCOMPARE(m_editor->plainTextCrLf(), u"una espada\r\ny escudo"_s);
    QCOMPARE(marks(), u"espada|escudo"_s);
}

void tst_LinksController::keyDownMarksTheCaretLine()
{
    m_editor->setPlainTextCrLf(u"espada\r\nescudo espada x"_s);
    m_editor->setFocus();
    m_editor->setCaretPosition(10);
    QTest::keyClick(m_editor, Qt::Key_End);
    QCOMPARE(marks(), u"escudo|espada"_s);
}

void tst_LinksController::linksListEditsALine()
{
    LinksController::setDialogRunner([this](QDialog &dialog) {
        m_dialogs << dialog.objectName();
        auto *list = qobject_cast<LinksListWindow *>(&dialog);
        if (!list)
            return answerDialog(dialog, u"buckler"_s);
        list->txtBuscar()->setText(u"esc"_s);
        list->editClickedLink(list->lstLinks()->currentIndex());
        m_dialogs << list->model()->link(1).suggestions[0];
        return 0;
    });
    m_window->runCommand(Command::ViewLinks);
    QCOMPARE(m_dialogs, (QStringList{u"frmVinculos"_s, u"frmSuggestion"_s, u"buckler"_s}));
    QCOMPARE(rows().last(), u"escudo=buckler,shield,defence"_s);
}

void tst_LinksController::importLinksFile_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the choice is cancelled
    QTest::addColumn<QString>("message");    // the start of the one message shown, if any
    QTest::addColumn<int>("rowCount");
    QTest::newRow("imported") << QByteArray("arco, bow\r\nflecha,arrow\r\n") << u"Links file imported!"_s << 4;
    QTest::newRow("line without comma") << QByteArray("arco, bow\r\nflecha\r\n") << u"5Line 2 of the links file "_s
                                        << 3;
    QTest::newRow("cancelled") << QByteArray() << QString() << 2;
}

void tst_LinksController::importLinksFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(int, rowCount);
    QFile file(m_home->filePath(u"links.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    QStringList asked;
    LinksController::setFileChooser([&](QWidget *, const QString &title, const QString &folder, const QString &filter) {
        asked << title << folder << filter;
        return content.isEmpty() ? QString() : file.fileName();
    });
    m_editor->setPlainTextCrLf(u"un arco"_s);
    m_window->runCommand(Command::ImportLinks);
    QCOMPARE(asked, (QStringList{u"Import links file"_s, m_home->path(), u"Links file (*.txt)"_s}));
    const QStringList shown = m_messages->texts();
    QCOMPARE(shown.size(), message.isEmpty() ? 0 : 1);
    QVERIFY2(message.isEmpty() || shown.first().startsWith(message), qPrintable(shown.join(u'\n')));
    QCOMPARE(rows().size(), rowCount);
    QCOMPARE(marks(), content.isEmpty() ? QString() : u"arco"_s);
}

QTEST_MAIN(tst_LinksController)
#include "tst_linkscontroller.moc"
