#include "app/linkscontroller.h"
#include "editor/widgets/translatededit.h"
#include "links/linksmodel.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "store/database.h"
#include "store/widgets/scripttreemodel.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QDir>
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
    void gestures_data();
    void gestures();

private:
    QAction *action(const QString &name) const { return m_app->window->findChild<QAction *>(name); }
    void hover(int crLfIndex, Qt::MouseButton button = Qt::NoButton);
    QString marks() const;
    QString rows() const;

    std::unique_ptr<AppFixture> m_app;
    TranslatedEdit *m_editor = nullptr;
    QStringList m_shown;  // pop-ups, dialogs and messages, in the order they came
    QString m_popupEntry; // the entry a pop-up's user picks, if any
};

void tst_LinksController::init()
{
    m_app = std::make_unique<AppFixture>();
    QVERIFY(m_app->start({u"INSERT INTO suggestion VALUES ('espada', 'sword', 'blade', '', '', '', ''), "
                          "('escudo', '', 'shield', '', '', '', 'defence')"_s,
                          u"INSERT INTO battling_arena VALUES ('a.txt', 1, 'x', 20, 2, '', 1, 0, "
                          "'una espada\r\ny escudo', 0, 0)"_s}));
    m_editor = m_app->window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    QVERIFY(m_editor);
    m_editor->setEnabled(true);
    m_app->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_app->window.get()));
    m_shown.clear();
    m_popupEntry.clear();
    LinksController::setPopupRunner([this](QMenu &menu, const QPoint &) {
        m_shown << menu.objectName();
        if (QAction *entry = m_popupEntry.isEmpty() ? nullptr : menu.findChild<QAction *>(m_popupEntry))
            entry->trigger();
    });
}

void tst_LinksController::cleanup()
{
    LinksController::setPopupRunner({});
    LinksController::setDialogRunner({});
    LinksController::setFileChooser({});
    m_app.reset();
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
    QList<QTextEdit::ExtraSelection> marks = m_editor->extraSelections();
    std::sort(marks.begin(), marks.end(), [](const auto &a, const auto &b) {
        return a.cursor.selectionStart() < b.cursor.selectionStart();
    });
    QStringList found;
    for (const QTextEdit::ExtraSelection &mark : marks) {
        if (mark.format.fontWeight() == QFont::Bold && mark.format.foreground().color() == QColor(0, 0, 255))
            found << mark.cursor.selectedText();
    }
    return found.join(u'|');
}

// The links as word=first suggestion.
QString tst_LinksController::rows() const
{
    Database db;
    QStringList rows;
    for (const LinkRow &link : openStore(db, m_app->home.storePath()) ? linkRowsFrom(readLinkRows(db).value_or({})) : QList<LinkRow>())
        rows << link.word + u'=' + link.suggestions[0];
    return rows.join(u' ');
}

void tst_LinksController::mouse_data()
{
    QTest::addColumn<int>("index"); // in "una espada, escudo y arco"
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("popup");
    QTest::addColumn<QString>("addCaption");
    QTest::newRow("linked word") << 7 << int(Qt::RightButton) << u"No comments"_s << u"mnuDropDown"_s << u"Add"_s;
    QTest::newRow("first suggestion empty") << 14 << int(Qt::RightButton) << u"defence"_s << u"mnuMante"_s
                                            << u"Add link to\"escudo\""_s;
    QTest::newRow("unlinked word") << 24 << int(Qt::RightButton) << QString() << u"mnuMante"_s
                                   << u"Add link to\"arco\""_s;
    QTest::newRow("left button offers nothing") << 7 << int(Qt::LeftButton) << u"No comments"_s << QString()
                                                << u"Add"_s;
}

void tst_LinksController::mouse()
{
    QFETCH(int, index);
    QFETCH(int, button);
    QFETCH(QString, tooltip);
    QFETCH(QString, popup);
    QFETCH(QString, addCaption);
    m_editor->setPlainTextCrLf(u"una espada, escudo y arco"_s);
    hover(7); // what an earlier hover showed must go
    hover(index, Qt::MouseButton(button));
    QCOMPARE(m_editor->toolTip(), tooltip);
    QCOMPARE(m_shown.join(u'|'), popup);
    QCOMPARE(action(u"mnuAgregar"_s)->text(), addCaption);
}

void tst_LinksController::gestures_data()
{
    QTest::addColumn<QString>("text");    // the editor's, its first line marked by a key press
    QTest::addColumn<int>("index");       // the character hovered first, if any
    QTest::addColumn<QString>("gesture"); // a pop-up entry after a right click, an entry, a command
    QTest::addColumn<QString>("answer");  // the first word typed in a link dialog, a question's answer, a file's text
    QTest::addColumn<QString>("after");   // the editor's text after
    QTest::addColumn<QString>("rows");    // the links after, as word=first suggestion
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QStringList>("shown");
    const QString rows = u"espada=sword escudo="_s;
    QTest::newRow("add from the pop-up") << u"un arco y otro arco"_s << 5 << u"mnuAgregar"_s << u"bow"_s
                                         << u"un arco y otro arco"_s << rows + u" arco=bow"_s << u"arco|arco"_s
                                         << QStringList{u"mnuMante"_s, u"Links to word \"arco\" ,,,,,"_s};
    QTest::newRow("a suggestion replaces the word there")
        << u"espada y espada\r\nespada"_s << 11 << u"mnuSuggest_1"_s << QString() << u"espada y blade\r\nespada"_s
        << rows << u"espada|espada"_s << QStringList();
    QTest::newRow("modify") << u"un escudo"_s << 5 << u"mnuModificar"_s << u"buckler"_s << u"un escudo"_s
                            << u"espada=sword escudo=buckler"_s << u"escudo"_s
                            << QStringList{u"Links to word \"escudo\" ,shield,,,,defence"_s};
    const QString question = u"Do you want to erase the links to the word 'espada'?"_s;
    for (const char *answer : {"Yes", "No", "Cancel"}) {
        const bool yes = qstrcmp(answer, "Yes") == 0;
        QTest::addRow("erase, %s", answer) << u"espada"_s << 3 << u"mnuErase"_s << QString::fromLatin1(answer)
                                           << u"espada"_s << (yes ? u"escudo="_s : rows)
                                           << (yes ? QString() : u"espada"_s) << QStringList{question};
    }
    QTest::newRow("the links list edits a line") << QString() << -1 << u"View links"_s << u"buckler"_s << QString()
                                                 << u"espada=sword escudo=buckler"_s << QString()
                                                 << QStringList{u"frmVinculos"_s, u"frmSuggestion"_s};
    const QString chooser = u"Import links file in ~, Links file (*.txt)"_s;
    QTest::newRow("import") << u"un arco"_s << -1 << u"Import links"_s << u"arco, bow\r\nflecha,arrow\r\n"_s
                            << u"un arco"_s << rows + u" arco=bow flecha=arrow"_s << u"arco"_s
                            << QStringList{chooser, u"Links file imported!"_s};
    QTest::newRow("import stopped by a line") << u"un arco"_s << -1 << u"Import links"_s << u"arco, bow\r\nflecha\r\n"_s
                                              << u"un arco"_s << rows + u" arco=bow"_s << u"arco"_s
                                              << QStringList{chooser, u"5Line 2 of the links file @"_s};
    QTest::newRow("import cancelled") << u"un arco"_s << -1 << u"Import links"_s << QString() << u"un arco"_s << rows
                                      << QString() << QStringList{chooser};
    // Keys look at the store's version at most once per interval: the key after it marks the new word.
    QTest::newRow("another program adds, a key later") << u"un arco "_s << -1 << u"another program"_s << QString()
                                                       << u"un arco a"_s << rows + u" arco=bow"_s << u"arco"_s
                                                       << QStringList();
    QTest::newRow("opening a block") << QString() << -1 << u"battling_arena:a.txt;1"_s << QString()
                                     << u"una espada\r\ny escudo"_s << rows << u"espada|escudo"_s << QStringList();
}

void tst_LinksController::gestures()
{
    QFETCH(QString, text);
    QFETCH(int, index);
    QFETCH(QString, gesture);
    QFETCH(QString, answer);
    QFETCH(QString, after);
    QFETCH(QString, rows);
    QFETCH(QString, marks);
    QFETCH(QStringList, shown);
    LinksController::setDialogRunner([&](QDialog &dialog) {
        if (auto *list = qobject_cast<LinksListWindow *>(&dialog)) {
            m_shown << list->objectName();
            list->searchBox()->setText(u"ESC"_s);
            list->editClickedLink(list->linksView()->currentIndex());
            return int(list->model()->link(1).suggestions[0] == answer);
        }
        auto &link = static_cast<LinkDialog &>(dialog);
        const LinkFields fields = link.fields();
        m_shown << (gesture == u"View links" ? link.objectName()
                                             : link.windowTitle() + u' ' + QStringList(fields.begin(), fields.end()).join(u','));
        link.wordBox(0)->setText(answer);
        link.acceptLink();
        return link.result();
    });
    const QString file = m_app->home.filePath(u"links.txt"_s);
    LinksController::setFileChooser([&](QWidget *, const QString &title, const QString &folder, const QString &filter) {
        m_shown << u"%1 in %2, %3"_s.arg(title, folder == m_app->home.path() ? u"~"_s : folder, filter);
        return !answer.isEmpty() && m_app->home.write(u"links.txt"_s, answer.toUtf8()) ? file : QString();
    });
    m_app->messages.answerWith({answer == u"Yes" ? Messages::Answer::Yes : answer == u"No" ? Messages::Answer::No
                                                                                    : Messages::Answer::Cancel});
    m_editor->setPlainTextCrLf(text);
    QTest::keyClick(m_editor, Qt::Key_End);
    if (index >= 0)
        hover(index);

    if (gesture == u"View links" || gesture == u"Import links") {
        m_app->window->runCommand(gesture == u"View links" ? Command::ViewLinks : Command::ImportLinks);
    } else if (gesture == u"another program") {
        Database other;
        QVERIFY(openStore(other, m_app->home.storePath())
                && other.execute(u"INSERT INTO suggestion VALUES ('arco', 'bow', '', '', '', '', '')"_s));
        QTest::qWait(LinksController::VersionLookInterval + 50);
        QTest::keyClick(m_editor, Qt::Key_A);
    } else if (gesture.contains(u':')) {
        auto *tree = m_app->window->findChild<QTreeView *>(u"Scripts"_s);
        const QModelIndex node = static_cast<ScriptTreeModel *>(tree->model())->indexForKey(gesture);
        tree->expandAll();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
    } else if (gesture == u"mnuAgregar") {
        m_popupEntry = gesture;
        hover(index, Qt::RightButton);
    } else {
        action(gesture)->trigger();
    }
    const QString path = QDir::toNativeSeparators(file); // a failure's message goes on past the file's name
    for (const QString &message : m_app->messages.texts())
        m_shown << (message.contains(path) ? message.left(message.indexOf(path)) + u'@' : message);
    QCOMPARE(m_editor->plainTextCrLf(), after);
    QCOMPARE(this->rows(), rows);
    QCOMPARE(this->marks(), marks);
    QCOMPARE(m_shown, shown);
}

QTEST_MAIN(tst_LinksController)
#include "tst_linkscontroller.moc"
