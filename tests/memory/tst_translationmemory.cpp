#include "memory/translationmemory.h"
#include "project/sqlitestore.h"
#include "store/database.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Query = u"<Tolm>\r\nTake the north road to the tower,\r\nand wait for me at the inn.<End of Block>"_s;
const QString NearCopy = u"<Dace>\r\nTake the south road to the tower,\r\nand wait for me at the inn.<End of Block>"_s;

} // namespace

// The memory over a real store and its sidecar file.
class tst_TranslationMemory : public QObject
{
    Q_OBJECT

private slots:
    void nearCopyAmongThousands();
    void followsTheStore_data();
    void followsTheStore();
    void damagedSidecarIsMadeAnew();
};

void tst_TranslationMemory::nearCopyAmongThousands()
{
    TestHome home(TestHome::StoreOnly);
    Database db;
    SqliteStore store(db);
    QVERIFY(openStore(db, home.storePath()));
    // Lines made of the same words as the query, so every trigram is common.
    const QStringList words = u"take the north road to tower and wait for me at inn gate key sword"_s.split(u' ');
    QRandomGenerator random(7);
    QVERIFY(db.begin());
    for (int i = 0; i < 3000; ++i) {
        QString line;
        for (int w = 0; w < 12; ++w)
            line += words[random.bounded(int(words.size()))] + u' ';
        QVERIFY(db.execute(u"INSERT INTO field (file_name, dialogue_id, text_data, text_data_t, translated) "
                           "VALUES ('%1.txt', %2, '%3', 'x', 1);"_s.arg(i / 100).arg(i % 100).arg(line)));
    }
    QVERIFY(db.execute(u"INSERT INTO battle_script (file_name, dialogue_id, text_data, text_data_t, translated) "
                       "VALUES ('near.txt', 4, '%1', 'Toma el camino del sur.', 1);"_s.arg(NearCopy)));
    QVERIFY(db.execute(u"INSERT INTO battle_script (file_name, dialogue_id, text_data, text_data_t, translated) "
                       "VALUES ('near.txt', 5, '%1', 'Toma el camino del norte.', 1);"_s.arg(Query)));
    QVERIFY(db.commit());

    TranslationMemory memory;
    QVERIFY(memory.open(TranslationMemory::sidecarPath(home.path())));
    QVERIFY(memory.sync(store));
    QCOMPARE(memory.entryCount(), 3002);
    const auto found = memory.matches(Query, BlockAddress{u"battle_script"_s, u"near.txt"_s, 5});
    QVERIFY(!found.empty());
    QCOMPARE(found.front().address, (BlockAddress{u"battle_script"_s, u"near.txt"_s, 4}));
    QCOMPARE(found.front().similarity, 96);
    QCOMPARE(found.front().translation, u"Toma el camino del sur."_s);
    QVERIFY(found.size() <= 5);
}

enum class Change { SaveNew, SaveEmptied, EmptiedBehind, OriginalChangedBehind, RowDeletedBehind };

void tst_TranslationMemory::followsTheStore_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("translation");
    QTest::newRow("a save adds a translation") << Change::SaveNew << true << u"Nuevo"_s;
    QTest::newRow("a save empties it") << Change::SaveEmptied << false << QString();
    QTest::newRow("emptied by another program") << Change::EmptiedBehind << false << QString();
    QTest::newRow("original changed by another program") << Change::OriginalChangedBehind << false << QString();
    QTest::newRow("row deleted by another program") << Change::RowDeletedBehind << false << QString();
}

void tst_TranslationMemory::followsTheStore()
{
    QFETCH(Change, change);
    QFETCH(bool, found);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, {u"field"_s, u"a.txt"_s, 1, NearCopy, 24, 2, {}, 1, 0, u"Viejo"_s}));
    QVERIFY(insertBlock(home, {u"field"_s, u"b.txt"_s, 1, NearCopy, 24, 2, {}, 0, 0, {}}));
    Database db;
    SqliteStore store(db);
    QVERIFY(openStore(db, home.storePath()));
    const QString sidecar = TranslationMemory::sidecarPath(home.path());
    {
        TranslationMemory earlier;
        QVERIFY(earlier.open(sidecar));
        QVERIFY(earlier.sync(store));
        // A save writes the store, then tells the memory; the others change only the store.
        const auto saved = [&](const QString &translation) {
            return db.execute(u"UPDATE field SET text_data_t = '%1', translated = %2 WHERE file_name = 'a.txt';"_s.arg(
                       translation, translation.isEmpty() ? u"0"_s : u"1"_s))
                && earlier.update({u"field"_s, u"a.txt"_s, 1}, NearCopy, translation);
        };
        switch (change) {
        case Change::SaveNew:
            QVERIFY(saved(u"Nuevo"_s));
            break;
        case Change::SaveEmptied:
            QVERIFY(saved(QString()));
            break;
        case Change::EmptiedBehind:
            QVERIFY(db.execute(u"UPDATE field SET text_data_t = '', translated = 0 WHERE file_name = 'a.txt';"_s));
            break;
        case Change::OriginalChangedBehind:
            QVERIFY(db.execute(u"UPDATE field SET text_data = 'Something else.' WHERE file_name = 'a.txt';"_s));
            break;
        case Change::RowDeletedBehind:
            QVERIFY(db.execute(u"DELETE FROM field WHERE file_name = 'a.txt';"_s));
            break;
        }
        if (change == Change::SaveNew || change == Change::SaveEmptied) {
            const auto now = earlier.matches(Query, std::nullopt);
            QCOMPARE(!now.empty(), found);
            if (found)
                QTEST(now.front().translation, "translation");
        }
    }
    // A later run finds the file as the last one left it and the store as it is now.
    TranslationMemory later;
    QVERIFY(later.open(sidecar));
    QVERIFY(later.sync(store));
    const auto matches = later.matches(Query, BlockAddress{u"field"_s, u"b.txt"_s, 1});
    QCOMPARE(!matches.empty(), found);
    if (found)
        QTEST(matches.front().translation, "translation");
}

void tst_TranslationMemory::damagedSidecarIsMadeAnew()
{
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, {u"field"_s, u"a.txt"_s, 1, NearCopy, 24, 2, {}, 1, 0, u"Viejo"_s}));
    const QString sidecar = TranslationMemory::sidecarPath(home.path());
    QVERIFY(home.write(QFileInfo(sidecar).fileName(), QByteArray(8192, 'x')));
    Database db;
    SqliteStore store(db);
    QVERIFY(openStore(db, home.storePath()));
    TranslationMemory memory;
    QVERIFY(memory.open(sidecar));
    QVERIFY(memory.sync(store));
    QCOMPARE(memory.matches(Query, std::nullopt).size(), size_t(1));
}

QTEST_APPLESS_MAIN(tst_TranslationMemory)
#include "tst_translationmemory.moc"
