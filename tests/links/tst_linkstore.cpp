#include "links/highlight.h"
#include "links/linkstore.h"
#include "project/sqlitestore.h"
#include "store/database.h"
#include "tests/support/tablefile.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The link statements run against a real scratch store.
class tst_LinkStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lookups_data();
    void lookups();
    void changes_data();
    void changes();
    void refusedStatementIsReported();
    void glossaryFollowsTheStore();

private:
    QString rows();
    std::unique_ptr<TestHome> m_home;
    Database m_db;
    SqliteStore m_store{m_db};
};

void tst_LinkStore::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', 'acero', '', '', '', 'a weapon'), "
                            "('sword', 'hoja', '', '', '', '', ''), ('it`s', 'es', '', '', '', '', '')"_s));
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_LinkStore::cleanup()
{
    m_db.close();
    m_home.reset();
}

QString tst_LinkStore::rows()
{
    QStringList rows;
    for (const LinkRow &link : linkRowsFrom(m_store.links().value_or({})))
        rows << link.word + u'=' + QStringList(link.suggestions.begin(), link.suggestions.end()).join(u',') + u','
                + link.comment;
    return rows.join(u" / "_s);
}

void tst_LinkStore::lookups_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("captions");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("fields");
    QTest::newRow("later rows fill in") << u"sword"_s << u"hoja/acero///"_s << u"No comments"_s
                                        << u"hoja,acero,,,,a weapon"_s;
    QTest::newRow("empty first suggestion") << u"shield"_s << u"/escudo///"_s << u"defence"_s << u",escudo,,,,defence"_s;
    QTest::newRow("unlinked word") << u"axe"_s << u"////"_s << QString() << u",,,,,"_s;
    QTest::newRow("other case is another word") << u"Sword"_s << u"////"_s << QString() << u",,,,,"_s;
}

void tst_LinkStore::lookups()
{
    QFETCH(QString, word);
    QFETCH(QString, captions);
    QFETCH(QString, tooltip);
    QFETCH(QString, fields);
    QVERIFY(m_db.execute(u"INSERT INTO suggestion VALUES ('shield', '', 'escudo', '', '', '', 'defence')"_s));
    const HoverResult hover = lookupHover(m_store, word);
    QCOMPARE(QStringList(hover.captions.begin(), hover.captions.end()).join(u'/'), captions);
    QCOMPARE(hover.visible(0), !captions.startsWith(u'/'));
    QCOMPARE(hover.tooltip, tooltip);
    const Result<LinkFields> read = readLinkFields(m_store, word);
    QVERIFY(read);
    QCOMPARE(QStringList(read->begin(), read->end()).join(u','), fields);
}

void tst_LinkStore::changes_data()
{
    TableFile::addRows(QFINDTESTDATA("data/changes.txt"), {"action", "word", "typed", "after"});
}

void tst_LinkStore::changes()
{
    QFETCH(QString, action);
    QFETCH(QString, word);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    const QString before = rows();
    const QStringList values = typed.split(u',');
    LinkFields fields;
    std::copy(values.begin(), values.end(), fields.begin());
    const Result<Done> done =
        action == u"erase" ? m_store.eraseLink(word) : m_store.saveLink(word, fields, action == u"modify");
    QVERIFY2(done, qPrintable(done.error().message));
    QCOMPARE(rows(), after == u"=" ? before : after.startsWith(u"+ ") ? before + u" / "_s + after.mid(2) : after);
}

void tst_LinkStore::refusedStatementIsReported()
{
    m_db.close();
    const Result<Done> saved = m_store.saveLink(u"sword"_s, {u"espada"_s}, false);
    QVERIFY(!saved);
    QVERIFY2(saved.error().message.startsWith(u"The link to \"sword\" could not be saved. "_s),
             qPrintable(saved.error().message));
    const Result<Done> erased = m_store.eraseLink(u"sword"_s);
    QVERIFY(!erased);
    QVERIFY2(erased.error().message.startsWith(u"The links to \"sword\" could not be erased. "_s),
             qPrintable(erased.error().message));
    // A table that cannot be read is not an empty glossary.
    QVERIFY(!readLinkRows(m_db));
}

void tst_LinkStore::glossaryFollowsTheStore()
{
    LinkGlossary glossary;
    QVERIFY(glossary.refresh(m_store));
    QCOMPARE(highlightMarks(u"a sword"_s, glossary).size(), 1);
    // A write through another connection (another window's) is seen too.
    QVERIFY(m_home->execute(u"DELETE FROM suggestion WHERE word = 'sword'"_s));
    QVERIFY(glossary.refresh(m_store));
    QCOMPARE(highlightMarks(u"a sword"_s, glossary).size(), 0);
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('bow', 'arco', '', '', '', '', '')"_s));
    QVERIFY(glossary.refresh(m_store));
    QCOMPARE(highlightMarks(u"a bow"_s, glossary).size(), 1);
}

QTEST_APPLESS_MAIN(tst_LinkStore)
#include "tst_linkstore.moc"
