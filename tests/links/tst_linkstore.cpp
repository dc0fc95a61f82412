#include "links/highlight.h"
#include "links/linkstore.h"
#include "store/database.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_LinkStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hover_data();
    void hover();
    void saveStatement_data();
    void saveStatement();
    void apostropheTypedIntoTheDialog();
    void modifyWithoutRowChangesNothing();
    void modifyFillsFromEveryRow();
    void erase();
    void refusedStatementIsReported();
    void readAllInTableOrder();
    void glossaryFollowsTheStore();

private:
    void insert(const QString &word, const QStringList &columns);
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

void tst_LinkStore::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_LinkStore::cleanup()
{
    m_db.close();
    m_home.reset();
}

void tst_LinkStore::insert(const QString &word, const QStringList &columns)
{
    QStringList values{word};
    values += columns;
    while (values.size() < 7)
        values << QString();
    QVERIFY(m_db.execute(u"INSERT INTO suggestion VALUES ('"_s + values.join(u"', '"_s) + u"')"_s));
}

void tst_LinkStore::hover_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("full link") << u"sword"_s
                               << QStringList{u"espada"_s, u"acero"_s, QString(), QString(), u"hoja"_s}
                               << u"a weapon"_s;
    QTest::newRow("empty first suggestion") << u"shield"_s
                                            << QStringList{QString(), u"escudo"_s, QString(), QString(), QString()}
                                            << u"defence"_s;
    QTest::newRow("empty comment") << u"bow"_s << QStringList{u"arco"_s, QString(), QString(), QString(), QString()}
                                   << u"No comments"_s;
    QTest::newRow("unlinked word") << u"axe"_s << QStringList(5) << QString();
    QTest::newRow("other case is another word") << u"Sword"_s << QStringList(5) << QString();
    QTest::newRow("the empty word") << QString() << QStringList{u"nada"_s, QString(), QString(), QString(), QString()}
                                    << u"blank"_s;
}

void tst_LinkStore::hover()
{
    QFETCH(QString, word);
    QFETCH(QStringList, captions);
    QFETCH(QString, tooltip);
    insert(u"sword"_s, {u"espada"_s, u"acero"_s, QString(), QString(), u"hoja"_s, u"a weapon"_s});
    insert(u"shield"_s, {QString(), u"escudo"_s, QString(), QString(), QString(), u"defence"_s});
    insert(u"bow"_s, {u"arco"_s});
    insert(QString(), {u"nada"_s, QString(), QString(), QString(), QString(), u"blank"_s});

    const HoverResult result = lookupHover(m_db, word);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(result.captions.at(size_t(i)), captions.at(i));
        QCOMPARE(result.visible(i), !captions.at(i).isEmpty());
    }
    QCOMPARE(result.tooltip, tooltip);
}

void tst_LinkStore::saveStatement_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("expected");
    QTest::newRow("add") << false
                         << u"INSERT INTO suggestion (word, suggest1, suggest2, suggest3, suggest4, suggest5, comment) "
                            "VALUES ('sword','espada', '', '', '', '', '');"_s;
    QTest::newRow("modify") << true
                            << u"UPDATE suggestion SET suggest1 = 'espada', suggest2 = '', suggest3 = '', "
                               "suggest4 = '', suggest5 = '', comment = '' WHERE word = 'sword';"_s;
}

void tst_LinkStore::saveStatement()
{
    QFETCH(bool, modify);
    QFETCH(QString, expected);
    const LinkFields fields{u"espada"_s};
    QCOMPARE(linkSaveStatement(u"sword"_s, fields, modify), expected);
    QVERIFY(saveLink(m_db, u"sword"_s, fields, modify, nullptr));
}

void tst_LinkStore::apostropheTypedIntoTheDialog()
{
    const LinkFields fields{u"l'épée"_s, QString(), QString(), QString(), u"x'); DELETE FROM suggestion; --"_s,
                            u"it's"_s};
    QString error;
    QVERIFY2(saveLink(m_db, u"sword"_s, fields, false, &error), qPrintable(error));
    const QList<LinkRow> links = readAllLinks(m_db);
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().suggestions[0], u"l`épée"_s);
    QCOMPARE(links.first().suggestions[4], u"x`); DELETE FROM suggestion; --"_s);
    QCOMPARE(links.first().comment, u"it`s"_s);
}

void tst_LinkStore::modifyWithoutRowChangesNothing()
{
    insert(u"bow"_s, {u"arco"_s});
    QVERIFY(saveLink(m_db, u"sword"_s, {u"espada"_s}, true, nullptr));
    const QList<LinkRow> links = readAllLinks(m_db);
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().word, u"bow"_s);
    QCOMPARE(readLinkFields(m_db, u"sword"_s), LinkFields());
}

void tst_LinkStore::modifyFillsFromEveryRow()
{
    // Without a key the table may hold a word twice; later non-empty values win.
    insert(u"sword"_s, {u"espada"_s, u"acero"_s, QString(), QString(), QString(), u"first"_s});
    insert(u"sword"_s, {u"hoja"_s});
    const LinkFields expected{u"hoja"_s, u"acero"_s, QString(), QString(), QString(), u"first"_s};
    QCOMPARE(readLinkFields(m_db, u"sword"_s), expected);
}

void tst_LinkStore::erase()
{
    QCOMPARE(eraseQuestion(u"sword"_s), u"Do you want to erase the links to the word 'sword'?"_s);
    QCOMPARE(linkEraseStatement(u"sword"_s), u"DELETE FROM suggestion WHERE word = 'sword';"_s);
    insert(u"sword"_s, {u"espada"_s});
    insert(u"sword"_s, {u"hoja"_s});
    insert(u"bow"_s, {u"arco"_s});
    QVERIFY(eraseLink(m_db, u"sword"_s, nullptr));
    const QList<LinkRow> links = readAllLinks(m_db);
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().word, u"bow"_s);
    QCOMPARE(addLinkCaption(u"sword"_s), u"Add link to\"sword\""_s);
    QCOMPARE(addLinkCaption(QString()), u"Add link to\"\""_s);
}

void tst_LinkStore::refusedStatementIsReported()
{
    m_db.close();
    QString error;
    QVERIFY(!saveLink(m_db, u"sword"_s, {u"espada"_s}, false, &error));
    QVERIFY2(error.startsWith(u"The link to \"sword\" could not be saved."_s), qPrintable(error));
    QVERIFY(!eraseLink(m_db, u"sword"_s, &error));
    QVERIFY2(error.contains(u"could not be erased"_s), qPrintable(error));
}

void tst_LinkStore::readAllInTableOrder()
{
    insert(u"zeta"_s, {u"z"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"c"_s});
    insert(u"alpha"_s, {u"a"_s});
    const QList<LinkRow> links = readAllLinks(m_db);
    QCOMPARE(links.size(), 2);
    QCOMPARE(links.at(0), (LinkRow{u"zeta"_s, {u"z"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}, u"c"_s}));
    QCOMPARE(links.at(1).word, u"alpha"_s);
}

void tst_LinkStore::glossaryFollowsTheStore()
{
    LinkGlossary glossary;
    QVERIFY(glossary.refresh(m_db));
    QCOMPARE(glossary.size(), 0);

    insert(u"sword"_s, {u"espada"_s});
    QVERIFY(glossary.refresh(m_db));
    QCOMPARE(highlightMarks(u"a sword"_s, glossary).size(), 1);

    // A write through another connection (another window's) is seen too.
    QVERIFY(m_home->execute(u"DELETE FROM suggestion WHERE word = 'sword'"_s));
    QVERIFY(glossary.refresh(m_db));
    QCOMPARE(highlightMarks(u"a sword"_s, glossary).size(), 0);
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('bow', 'arco', '', '', '', '', '')"_s));
    QVERIFY(glossary.refresh(m_db));
    QCOMPARE(highlightMarks(u"a bow"_s, glossary).size(), 1);
}

QTEST_APPLESS_MAIN(tst_LinkStore)
#include "tst_linkstore.moc"
