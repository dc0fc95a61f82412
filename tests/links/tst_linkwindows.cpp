#include "links/linksmodel.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "store/database.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

class tst_LinkWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dialogCaptions();
    void okWithoutFirstWord();
    void okWrites_data();
    void okWrites();
    void refusedStatementKeepsTheDialog();
    void cancelWritesNothing();
    void listColumns();
    void listTypeAhead();
    void listClickRewritesTheLine_data();
    void listClickRewritesTheLine();

private:
    QList<LinkRow> rows();
    std::unique_ptr<TestHome> m_home;
};

void tst_LinkWindows::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', 'weapon')"_s));
}

void tst_LinkWindows::cleanup()
{
    m_home.reset();
}

QList<LinkRow> tst_LinkWindows::rows()
{
    Database db;
    if (!openStore(db, m_home->storePath()))
        return {};
    return readAllLinks(db);
}

void tst_LinkWindows::dialogCaptions()
{
    LinkDialog dialog(m_home->storePath(), u"sword"_s, false);
    QCOMPARE(dialog.windowTitle(), u"Links to word \"sword\""_s);
    QStringList labels;
    for (const char *name : {"lblWord0", "lblWord1", "lblWord2", "lblWord3", "lblWord4", "lblComment", "lblNote"})
        labels << dialog.findChild<QLabel *>(QLatin1StringView(name))->text();
    QCOMPARE(labels, (QStringList{u"1st Word"_s, u"*2nd Word"_s, u"*3rd Word"_s, u"*4th word"_s, u"*5th word"_s,
                                  u"Comment"_s, u"* 2 to 5 words and comment optionals"_s}));
    QCOMPARE(dialog.findChild<QPushButton *>(u"cmdAceptar"_s)->text(), u"OK"_s);
    QCOMPARE(dialog.findChild<QPushButton *>(u"cmdCancelar"_s)->text(), u"Cancel"_s);
}

void tst_LinkWindows::okWithoutFirstWord()
{
    MessageRecorder messages;
    LinkDialog dialog(m_home->storePath(), u"bow"_s, false);
    dialog.show();
    dialog.txtWord(1)->setText(u"arco"_s);
    dialog.acceptLink();
    QCOMPARE(messages.texts(), QStringList{u"At least write one word please"_s});
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.linkAccepted());
    QCOMPARE(dialog.txtWord(1)->text(), u"arco"_s);
    QCOMPARE(rows().size(), 1);
}

void tst_LinkWindows::okWrites_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QList<LinkRow>>("expected");
    const LinkRow sword{u"sword"_s, {u"espada"_s}, u"weapon"_s};
    QTest::newRow("add") << u"bow"_s << false
                         << QList<LinkRow>{sword, {u"bow"_s, {u"arco`s"_s, QString(), u"x"_s}, u"it`s"_s}};
    QTest::newRow("modify") << u"sword"_s << true
                            << QList<LinkRow>{{u"sword"_s, {u"arco`s"_s, QString(), u"x"_s}, u"it`s"_s}};
    QTest::newRow("modify a word without row") << u"axe"_s << true << QList<LinkRow>{sword};
}

void tst_LinkWindows::okWrites()
{
    QFETCH(QString, word);
    QFETCH(bool, modify);
    QFETCH(QList<LinkRow>, expected);
    MessageRecorder messages;
    LinkDialog dialog(m_home->storePath(), word, modify);
    dialog.show();
    const LinkFields typed{u"arco's"_s, QString(), u"x"_s, QString(), QString(), u"it's"_s};
    dialog.setFields(typed);
    dialog.acceptLink();
    QVERIFY(messages.texts().isEmpty());
    QVERIFY(!dialog.isVisible());
    QVERIFY(dialog.linkAccepted());
    QCOMPARE(dialog.acceptedLink(), typed);
    QCOMPARE(rows(), expected);
}

void tst_LinkWindows::refusedStatementKeepsTheDialog()
{
    MessageRecorder messages;
    LinkDialog dialog(m_home->filePath(u"no-such.db"_s), u"bow"_s, false);
    dialog.show();
    dialog.txtWord(0)->setText(u"arco"_s);
    dialog.acceptLink();
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY2(messages.texts().first().startsWith(u"The link to \"bow\" could not be saved."_s),
             qPrintable(messages.texts().first()));
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.linkAccepted());
    QCOMPARE(dialog.txtWord(0)->text(), u"arco"_s);
}

void tst_LinkWindows::cancelWritesNothing()
{
    LinkDialog dialog(m_home->storePath(), u"bow"_s, false);
    dialog.show();
    dialog.txtWord(0)->setText(u"arco"_s);
    dialog.cancel();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.linkAccepted());
    QCOMPARE(rows().size(), 1);
}

void tst_LinkWindows::listColumns()
{
    LinksListWindow list(m_home->storePath(), {});
    QCOMPARE(list.windowTitle(), u"List of links to words"_s);
    QCOMPARE(list.findChild<QLabel *>(u"lblBuscar"_s)->text(), u"Search word:"_s);
    list.resize(900, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QTreeView *view = list.lstLinks();
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), u"Link  1"_s);
    QCOMPARE(view->columnWidth(LinksModel::CommentColumn), view->width() / 6);
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, 6).data().toString(), u"weapon"_s);
}

void tst_LinkWindows::listTypeAhead()
{
    for (const char *word : {"wand", "word", "axe"})
        QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('%1', '', '', '', '', '', '')"_s.arg(
            QLatin1StringView(word))));
    LinksListWindow list(m_home->storePath(), {});
    list.show();
    QLineEdit *search = list.txtBuscar();
    QTest::keyClicks(search, u"w"_s);
    QCOMPARE(list.lstLinks()->currentIndex().row(), 1);
    QTest::keyClicks(search, u"o"_s);
    QCOMPARE(list.lstLinks()->currentIndex().row(), 2);
    QTest::keyClicks(search, u"x"_s); // no word starts with "wox"
    QCOMPARE(list.lstLinks()->currentIndex().row(), 2);
}

void tst_LinkWindows::listClickRewritesTheLine_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("dialog confirmed") << true;
    QTest::newRow("dialog cancelled") << false;
}

void tst_LinkWindows::listClickRewritesTheLine()
{
    QFETCH(bool, confirm);
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('bow', 'arco', '', '', '', '', '')"_s));
    QStringList asked;
    const LinkFields typed{u"ballesta"_s, u"arco"_s, QString(), QString(), QString(), u"ranged"_s};
    LinksListWindow list(m_home->storePath(), [&](const QString &word) -> std::optional<LinkFields> {
        asked << word;
        return confirm ? std::optional(typed) : std::nullopt;
    });
    list.show();
    LinksModel *model = list.model();
    list.editClickedLink(model->index(1, 3));
    QCOMPARE(asked, QStringList{u"bow"_s});
    const LinkRow expected = confirm ? LinkRow{u"bow"_s, {u"ballesta"_s, u"arco"_s}, u"ranged"_s}
                                     : LinkRow{u"bow"_s, {u"arco"_s}, QString()};
    QCOMPARE(model->link(1), expected);
    QCOMPARE(model->link(0).word, u"sword"_s);
}

QTEST_MAIN(tst_LinkWindows)
#include "tst_linkwindows.moc"
