#include "memory/blockcontext.h"
#include "memory/repeats.h"
#include "memory/wordstats.h"
#include "project/sqlitestore.h"
#include "store/database.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<qint64>)

namespace {

const QString Hello = u"Hello.<End of Block>"_s;

// A small store made by hand: its figures are counted in the comments.
bool fillStore(const TestHome &home)
{
    const QList<StoredBlock> blocks = {
        // words 1, characters 6 each
        {u"battling_arena"_s, u"arena.txt"_s, 7, Hello, 24, 2, {}, 1, 1, u"Buenas."_s},
        {u"battle_script"_s, u"btl.txt"_s, 2, Hello, 24, 2, {}, 1, 0, u"Hola."_s},
        // town.txt: 7 blocks, 3 translated, 1 revised, words 11 (6 translated), characters 49 (27)
        {u"field"_s, u"town.txt"_s, 0, u"<Pellan>\r\nWelcome to the inn.<End of Block>"_s, 24, 2, {}, 1, 1,
         u"Bienvenido a la posada."_s},
        {u"field"_s, u"town.txt"_s, 1, Hello, 24, 2, {}, 1, 0, u"Hola."_s},
        {u"field"_s, u"town.txt"_s, 3, u"It`s here.<End of Block>"_s, 24, 2, {}, 0, 0, {}},
        {u"field"_s, u"town.txt"_s, 5, Hello, 24, 2, u"check"_s, 0, 0, {}},
        {u"field"_s, u"town.txt"_s, 6, u"Go.<End of Block>"_s, 24, 2, {}, 0, 1, {}},
        {u"field"_s, u"town.txt"_s, 7, u"Stop.<End of Block>"_s, 24, 2, {}, 1, 0, u"Alto."_s},
        {u"field"_s, u"town.txt"_s, 8, u"Run!<End of Block>"_s, 24, 2, {}, 0, 0, {}},
        // one blank more than Hello: no repeat of it
        {u"field"_s, u"other.txt"_s, 1, u"Hello. <End of Block>"_s, 24, 2, {}, 0, 0, {}},
    };
    for (const StoredBlock &block : blocks) {
        if (!insertBlock(home, block))
            return false;
    }
    return true;
}

QList<qint64> numbers(const ScriptFigures &f)
{
    return {f.blocks, f.translated, f.revised, f.words, f.wordsTranslated, f.characters, f.charactersTranslated};
}

} // namespace

class tst_MemoryStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void repeats_data();
    void repeats();
    void applyToRepeats();
    void context();
    void figures_data();
    void figures();

private:
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

void tst_MemoryStore::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(fillStore(*m_home));
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_MemoryStore::repeats_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QStringList>("found"); // the repeats, a "*" after each one that would change
    QTest::newRow("same original elsewhere")
        << Hello << u"Hola."_s << QStringList{u"arena.txt;7*"_s, u"btl.txt;2"_s, u"town.txt;5*"_s};
    QTest::newRow("an empty translation changes none")
        << Hello << QString() << QStringList{u"arena.txt;7"_s, u"btl.txt;2"_s, u"town.txt;5"_s};
    QTest::newRow("an apostrophe is the store's grave accent")
        << u"It's here.<End of Block>"_s << u"Aquí."_s << QStringList();
    QTest::newRow("an apostrophe cannot widen the search")
        << u"x' OR 'a'='a"_s << u"Aquí."_s << QStringList();
}

void tst_MemoryStore::repeats()
{
    QFETCH(QString, original);
    QFETCH(QString, translation);
    QFETCH(QStringList, found);
    // The open block is town.txt 1 (or 3 for the apostrophe): never a repeat of itself.
    const qint16 open = original.startsWith(u"It") ? 3 : 1;
    const Result<Repeats> repeats = exactRepeats(m_db, {u"field"_s, u"town.txt"_s, open}, original, translation);
    QVERIFY2(repeats, qPrintable(repeats.error().message));
    QStringList listed;
    for (const Repeat &r : repeats->blocks)
        listed << r.address.fileName + u';' + QString::number(r.address.number) + (r.changes ? u"*"_s : u""_s);
    QCOMPARE(listed, found);
    QCOMPARE(repeats->changing(), int(found.filter(u"*"_s).size()));
}

void tst_MemoryStore::applyToRepeats()
{
    const Result<Repeats> repeats = exactRepeats(m_db, {u"field"_s, u"town.txt"_s, 1}, Hello, u"Hola, it's me."_s);
    QVERIFY(repeats);
    QCOMPARE(repeats->changing(), 3);
    const qint64 before = m_db.changedRows();
    const Result<RepeatsApplied> applied = ::applyToRepeats(m_db, *repeats, u"Hola, it's me."_s);
    QVERIFY2(applied, qPrintable(applied.error().message));
    QCOMPARE(m_db.changedRows() - before, 3);
    QCOMPARE(applied->saved.size(), size_t(3));
    QCOMPARE(applied->saved[2].first, u"field:town.txt;5"_s);
    QCOMPARE(applied->saved[2].second.nodeText, u"5[c]"_s);
    // Translation written, comment and "Revised" as they were.
    const QVariantList arena = storedRow(m_db, u"battling_arena"_s, u"arena.txt"_s, 7);
    QCOMPARE(arena.mid(5, 4), (QVariantList{u""_s, 1, 1, u"Hola, it`s me."_s}));
    const QVariantList town = storedRow(m_db, u"field"_s, u"town.txt"_s, 5);
    QCOMPARE(town.mid(5, 4), (QVariantList{u"check"_s, 1, 0, u"Hola, it`s me."_s}));
}

void tst_MemoryStore::context()
{
    const Result<BlockContext> around = blockContext(m_db, {u"field"_s, u"town.txt"_s, 5});
    QVERIFY2(around, qPrintable(around.error().message));
    QStringList shown;
    for (const ContextBlock &b : around->blocks) {
        shown << QString::number(b.address.number) + (b.current ? u"*"_s : u""_s) + b.speaker + u'|'
                + b.original.left(4) + u'|' + b.translation;
    }
    QCOMPARE(shown, (QStringList{u"0<Pellan>|<Pel|Bienvenido a la posada."_s, u"1|Hell|Hola."_s, u"3|It's|"_s,
                                 u"5*|Hell|"_s, u"6|Go.<|"_s, u"7|Stop|Alto."_s, u"8|Run!|"_s}));
}

void tst_MemoryStore::figures_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("scripts");
    QTest::addColumn<QList<qint64>>("town");
    QTest::addColumn<QList<qint64>>("total");
    const QList<qint64> town{7, 3, 1, 11, 6, 49, 27};
    QTest::newRow("whole project") << QString() << 4 << town << QList<qint64>{10, 5, 2, 14, 8, 67, 39};
    QTest::newRow("one folder") << u"field"_s << 2 << town << QList<qint64>{8, 3, 1, 12, 6, 55, 27};
}

void tst_MemoryStore::figures()
{
    QFETCH(QString, folder);
    SqliteStore store(m_db);
    const Result<ProjectFigures> figures = projectFigures(store, folder);
    QVERIFY(figures);
    QTEST(int(figures->scripts.size()), "scripts");
    const auto town = std::find_if(figures->scripts.begin(), figures->scripts.end(),
                                   [](const ScriptFigures &s) { return s.fileName == u"town.txt"; });
    QVERIFY(town != figures->scripts.end());
    QTEST(numbers(*town), "town");
    QTEST(numbers(figures->total), "total");
}

QTEST_APPLESS_MAIN(tst_MemoryStore)
#include "tst_memorystore.moc"
