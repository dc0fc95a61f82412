#include "app/blockeditcontroller.h"
#include "app/linkscontroller.h"
#include "app/mainwindow.h"
#include "editor/widgets/translatededit.h"
#include "links/linksmodel.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "store/database.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>

using namespace Qt::StringLiterals;

// The word links wired into a real main window, driven through its editor,
// menus and commands as a translator would; dialogs and pop-ups are answered
// through the controller's seams.
class tst_LinksController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hover_data();
    void hover();
    void rightClick_data();
    void rightClick();
    void addLinkFromThePopup();
    void applySuggestion();
    void modifyLink();
    void eraseLink_data();
    void eraseLink();
    void loadingABlockMarks();
    void keyDownMarksTheCaretLine();
    void highlightKeepsTheSelection();
    void linksListEditsALine();
    void importLinksFile_data();
    void importLinksFile();

private:
    QPoint pointAt(int crLfIndex) const;
    QString marks() const;
    QList<LinkRow> rows() const;
    void setText(const QString &text);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    TranslatedEdit *m_editor = nullptr;
    LinksController *m_links = nullptr;
    QList<QMenu *> m_popups;
};

void tst_LinksController::init()
{
    m_home = std::make_unique<TestHome>();
    QVERIFY(m_home->isValid());
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('espada', 'sword', 'blade', '', '', '', '')"_s));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('escudo', '', 'shield', '', '', '', 'defence')"_s));
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_editor = m_window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    QVERIFY(m_editor);
    m_links = m_window->findChild<LinksController *>();
    QVERIFY(m_links);
    m_editor->setEnabled(true);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_popups.clear();
    LinksController::setPopupRunner([this](QMenu &menu, const QPoint &) { m_popups << &menu; });
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

void tst_LinksController::setText(const QString &text)
{
    m_editor->setPlainTextCrLf(text);
}

// A viewport point whose nearest character index is `crLfIndex` (the texts
// used here are one line, so the index is also the document position).
QPoint tst_LinksController::pointAt(int crLfIndex) const
{
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(crLfIndex);
    return m_editor->cursorRect(cursor).center();
}

// The marked words in text order, lines joined by '|'.
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

QList<LinkRow> tst_LinksController::rows() const
{
    Database db;
    if (!openStore(db, m_home->storePath()))
        return {};
    return readAllLinks(db);
}

void tst_LinksController::hover_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("tooltip");
    // "una espada, escudo y arco"
    QTest::newRow("linked word, no comment") << 7 << u"espada"_s << QStringList{u"sword"_s, u"blade"_s}
                                             << u"No comments"_s;
    QTest::newRow("empty first suggestion") << 14 << u"escudo"_s << QStringList{u"shield"_s} << u"defence"_s;
    QTest::newRow("unlinked word") << 24 << u"arco"_s << QStringList() << QString();
    QTest::newRow("first letter of a word") << 4 << QString() << QStringList() << QString();
}

void tst_LinksController::hover()
{
    QFETCH(int, index);
    QFETCH(QString, word);
    QFETCH(QStringList, shown);
    QFETCH(QString, tooltip);
    setText(u"una espada, escudo y arco"_s);
    // Left over from an earlier hover: must go.
    m_window->findChild<QAction *>(u"mnuSuggest_3"_s)->setText(u"old"_s);
    m_window->findChild<QAction *>(u"mnuSuggest_3"_s)->setVisible(true);

    m_links->showLinkUnderMouse(pointAt(index));
    QStringList visible;
    for (int i = 0; i < 10; ++i) {
        if (auto *action = m_window->findChild<QAction *>(u"mnuSuggest_%1"_s.arg(i)); action->isVisible())
            visible << action->text();
    }
    QCOMPARE(visible, shown);
    QCOMPARE(m_editor->toolTip(), tooltip);
}

void tst_LinksController::rightClick_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("popup");
    QTest::addColumn<QString>("addCaption");
    QTest::newRow("linked word") << 7 << int(Qt::RightButton) << u"mnuDropDown"_s << u"Add"_s;
    QTest::newRow("first suggestion empty") << 14 << int(Qt::RightButton) << u"mnuMante"_s
                                            << u"Add link to\"escudo\""_s;
    QTest::newRow("unlinked word") << 24 << int(Qt::RightButton) << u"mnuMante"_s << u"Add link to\"arco\""_s;
    QTest::newRow("blank") << 11 << int(Qt::RightButton) << u"mnuMante"_s << u"Add link to\"\""_s;
    QTest::newRow("left button") << 7 << int(Qt::LeftButton) << QString() << u"Add"_s;
}

void tst_LinksController::rightClick()
{
    QFETCH(int, index);
    QFETCH(int, button);
    QFETCH(QString, popup);
    QFETCH(QString, addCaption);
    setText(u"una espada, escudo y arco"_s);
    m_links->showLinkUnderMouse(pointAt(index));
    m_links->offerLinkMenu(pointAt(index), Qt::MouseButton(button));
    QCOMPARE(m_popups.size(), popup.isEmpty() ? 0 : 1);
    if (!popup.isEmpty())
        QCOMPARE(m_popups.first()->objectName(), popup);
    QCOMPARE(m_window->findChild<QAction *>(u"mnuAgregar"_s)->text(), addCaption);
}

void tst_LinksController::addLinkFromThePopup()
{
    setText(u"un arco y otro arco"_s);
    LinksController::setPopupRunner([](QMenu &menu, const QPoint &) { menu.actions().first()->trigger(); });
    QStringList titles;
    LinksController::setDialogRunner([&titles](QDialog &dialog) {
        auto &link = static_cast<LinkDialog &>(dialog);
        titles << link.windowTitle();
        link.txtWord(0)->setText(u"bow"_s);
        link.txtComment()->setText(u"it's ranged"_s);
        link.acceptLink();
        return link.result();
    });
    m_links->showLinkUnderMouse(pointAt(5));
    m_links->offerLinkMenu(pointAt(5), Qt::RightButton);
    QCOMPARE(titles, QStringList{u"Links to word \"arco\""_s});
    QCOMPARE(rows().last(), (LinkRow{u"arco"_s, {u"bow"_s}, u"it`s ranged"_s}));
    // Marked once the pop-up has closed.
    QCOMPARE(marks(), u"arco|arco"_s);
}

void tst_LinksController::applySuggestion()
{
    setText(u"espada y espada\r\nespada"_s);
    m_links->showLinkUnderMouse(pointAt(11));
    m_window->findChild<QAction *>(u"mnuSuggest_1"_s)->trigger();
    QCOMPARE(m_editor->plainTextCrLf(), u"espada y blade\r\nespada"_s);
    QCOMPARE(marks(), u"espada|espada"_s);
}

void tst_LinksController::modifyLink()
{
    setText(u"escudo"_s);
    m_links->showLinkUnderMouse(pointAt(2));
    LinkFields shown;
    LinksController::setDialogRunner([&shown](QDialog &dialog) {
        auto &link = static_cast<LinkDialog &>(dialog);
        shown = link.fields();
        link.txtWord(0)->setText(u"buckler"_s);
        link.acceptLink();
        return link.result();
    });
    m_window->findChild<QAction *>(u"mnuModificar"_s)->trigger();
    QCOMPARE(shown, (LinkFields{QString(), u"shield"_s, QString(), QString(), QString(), u"defence"_s}));
    QCOMPARE(rows().last(), (LinkRow{u"escudo"_s, {u"buckler"_s, u"shield"_s}, u"defence"_s}));
}

void tst_LinksController::eraseLink_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("yes") << int(Messages::Answer::Yes) << 1;
    QTest::newRow("no") << int(Messages::Answer::No) << 2;
    QTest::newRow("cancel") << int(Messages::Answer::Cancel) << 2;
}

void tst_LinksController::eraseLink()
{
    QFETCH(int, answer);
    QFETCH(int, left);
    setText(u"espada"_s);
    m_links->highlightLinks();
    m_links->showLinkUnderMouse(pointAt(2));
    m_messages->answerWith({Messages::Answer(answer)});
    m_window->findChild<QAction *>(u"mnuErase"_s)->trigger();
    QCOMPARE(m_messages->messages.size(), 1);
    const Messages::Message &question = m_messages->messages.first();
    QCOMPARE(question.text, u"Do you want to erase the links to the word 'espada'?"_s);
    QCOMPARE(question.title, u"Warning"_s);
    QCOMPARE(question.buttons, Messages::Buttons::YesNoCancel);
    QCOMPARE(question.icon, Messages::Icon::Warning);
    QCOMPARE(rows().size(), left);
    QCOMPARE(marks(), left == 1 ? QString() : u"espada"_s);
}

void tst_LinksController::loadingABlockMarks()
{
    QVERIFY(m_home->execute(
        u"INSERT INTO battling_arena (file_name, dialogue_id, text_data, width, height, comments, translated, "
        "revised, text_data_t, new_width, new_height) VALUES ('a.txt', 1, 'x', 20, 2, '', 1, 0, "
        "'una espada\r\ny escudo', 0, 0);"_s));
    // A fresh window, so that start-up builds the tree of the new block.
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_editor = m_window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s);
    auto *tree = m_window->findChild<QTreeView *>(u"Scripts"_s);
    QVERIFY(ScriptTree::selectKey(*tree, u"battling_arena:a.txt;1"_s));
    m_window->findChild<BlockEditController *>()->openBlock(tree->currentIndex());
    QCOMPARE(m_editor->plainTextCrLf(), u"una espada\r\ny escudo"_s);
    QCOMPARE(marks(), u"espada|escudo"_s);
}

void tst_LinksController::keyDownMarksTheCaretLine()
{
    setText(u"espada\r\nescudo espada x"_s);
    m_editor->setFocus();
    m_editor->setCaretPosition(m_editor->plainTextCrLf().size());
    QTest::keyClick(m_editor, Qt::Key_End);
    QCOMPARE(marks(), u"escudo|espada"_s);
}

void tst_LinksController::highlightKeepsTheSelection()
{
    setText(u"una espada\r\nespada"_s);
    QTextCursor selection(m_editor->document());
    selection.setPosition(9);
    selection.setPosition(2, QTextCursor::KeepAnchor);
    m_editor->setTextCursor(selection);
    m_links->highlightLinks();
    QCOMPARE(marks(), u"espada|espada"_s);
    QCOMPARE(m_editor->textCursor().anchor(), 9);
    QCOMPARE(m_editor->textCursor().position(), 2);
}

void tst_LinksController::linksListEditsALine()
{
    QStringList opened;
    LinksController::setDialogRunner([&opened](QDialog &dialog) {
        opened << dialog.objectName();
        if (auto *list = qobject_cast<LinksListWindow *>(&dialog)) {
            list->txtBuscar()->setText(u"esc"_s);
            list->editClickedLink(list->lstLinks()->currentIndex());
            const LinkRow line = list->model()->link(1);
            return line.suggestions[0] == u"buckler"_s ? 1 : 0;
        }
        auto &link = static_cast<LinkDialog &>(dialog);
        link.txtWord(0)->setText(u"buckler"_s);
        link.acceptLink();
        return link.result();
    });
    m_window->runCommand(Command::ViewLinks);
    QCOMPARE(opened, (QStringList{u"frmVinculos"_s, u"frmSuggestion"_s}));
    QCOMPARE(rows().last().suggestions[0], u"buckler"_s);
}

void tst_LinksController::importLinksFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("rowCount");
    QTest::newRow("imported") << QByteArray("arco, bow\r\n") << false << QStringList{u"Links file imported!"_s} << 3;
    QTest::newRow("cancelled") << QByteArray("arco, bow\r\n") << true << QStringList() << 2;
    QTest::newRow("line without comma") << QByteArray("arco, bow\r\nflecha\r\n") << false
                                        << QStringList{u"5Line 2 of the links file @"_s} << 3;
}

void tst_LinksController::importLinksFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, cancel);
    QFETCH(QStringList, shown);
    QFETCH(int, rowCount);
    QFile file(m_home->filePath(u"links.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QStringList asked;
    LinksController::setFileChooser([&](QWidget *, const QString &title, const QString &folder, const QString &filter) {
        asked << title << folder << filter;
        return cancel ? QString() : file.fileName();
    });
    setText(u"un arco"_s);
    m_window->runCommand(Command::ImportLinks);
    QCOMPARE(asked, (QStringList{u"Import links file"_s, m_home->path(), u"Links file (*.txt)"_s}));
    QStringList texts = m_messages->texts();
    for (QString &text : texts)
        text.replace(QDir::toNativeSeparators(file.fileName()), u"@"_s);
    if (!shown.isEmpty() && shown.first().endsWith(u'@'))
        QVERIFY2(texts.size() == 1 && texts.first().startsWith(shown.first()), qPrintable(texts.join(u'\n')));
    else
        QCOMPARE(texts, shown);
    QCOMPARE(rows().size(), rowCount);
    QCOMPARE(marks(), rowCount == 3 ? u"arco"_s : QString());
}

QTEST_MAIN(tst_LinksController)
#include "tst_linkscontroller.moc"
