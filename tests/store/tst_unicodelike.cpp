#include "store/database.h"
#include "store/layout.h"
#include "store/unicodelike.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_UnicodeLike : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void escapeMakesWildcardsPlain();
    void connectionUsesTheRule_data();
    void connectionUsesTheRule();
    void keepsRowOrderAndSkipsNull();
};

void tst_UnicodeLike::matches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("ascii case") << u"%HOLA%"_s << u"dijo hola"_s << true;
    QTest::newRow("accented capital finds small") << u"%ÁRBOL%"_s << u"un árbol"_s << true;
    QTest::newRow("accented small finds capital") << u"%árbol%"_s << u"UN ÁRBOL"_s << true;
    QTest::newRow("eñe either case") << u"%niño%"_s << u"NIÑO"_s << true;
    QTest::newRow("diaeresis either case") << u"%pingüino%"_s << u"PINGÜINO"_s << true;
    QTest::newRow("accent still counts") << u"%el%"_s << u"él"_s << false;
    QTest::newRow("plain vowel is not accented") << u"%cancion%"_s << u"canción"_s << false;
    QTest::newRow("underscore is one letter") << u"%a_c%"_s << u"xabcx"_s << true;
    QTest::newRow("underscore takes an accented letter") << u"%canci_n%"_s << u"canción"_s << true;
    QTest::newRow("underscore needs a letter") << u"%a_c%"_s << u"ac"_s << false;
    QTest::newRow("percent matches nothing") << u"a%c"_s << u"ac"_s << true;
    QTest::newRow("double percent matches empty") << u"%%"_s << u""_s << true;
    QTest::newRow("anchored start") << u"b%"_s << u"abc"_s << false;
    QTest::newRow("needs back-tracking") << u"%aab%"_s << u"aaab"_s << true;
    QTest::newRow("last part at the end") << u"%a%b"_s << u"xaxbxb"_s << true;
    QTest::newRow("missing tail") << u"%a%bz"_s << u"xaxbxb"_s << false;
    QTest::newRow("grave accent is a plain character") << u"%`s%"_s << u"Kid`s"_s << true;
    QTest::newRow("sharp s folds alone") << u"%STRASSE%"_s << u"straße"_s << false;
}

void tst_UnicodeLike::matches()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(unicodeLikeMatches(pattern, text), expected);
}

void tst_UnicodeLike::escapeMakesWildcardsPlain()
{
    QVERIFY(unicodeLikeMatches(u"%100!%%", u"al 100% ya", u'!'));
    QVERIFY(!unicodeLikeMatches(u"%100!%%", u"al 1000 ya", u'!'));
    QVERIFY(unicodeLikeMatches(u"a!_c", u"a_c", u'!'));
    QVERIFY(!unicodeLikeMatches(u"a!_c", u"abc", u'!'));
}

void tst_UnicodeLike::connectionUsesTheRule_data()
{
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<int>("expected");
    // SQLite alone folds ASCII only: "ÁRBOL" misses "árbol".
    QTest::newRow("SQLite's own rule") << false << 1;
    QTest::newRow("every letter folds") << true << 2;
}

void tst_UnicodeLike::connectionUsesTheRule()
{
    QFETCH(bool, unicode);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tallowpen.db"_s);
    QVERIFY(createStore(path, nullptr));
    Database db;
    QVERIFY(openStore(db, path));
    QVERIFY(db.execute(u"INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a', 1, 'el árbol');"_s));
    QVERIFY(db.execute(u"INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a', 2, 'EL ÁRBOL');"_s));
    if (unicode)
        QVERIFY(db.useUnicodeLike());
    QVariant count;
    QVERIFY(db.execute(u"SELECT COUNT(*) FROM field WHERE text_data LIKE '%ÁRBOL%'"_s, &count));
    QCOMPARE(count.toInt(), expected);
}

void tst_UnicodeLike::keepsRowOrderAndSkipsNull()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tallowpen.db"_s);
    QVERIFY(createStore(path, nullptr));
    Database db;
    QVERIFY(openStore(db, path));
    QVERIFY(db.useUnicodeLike());
    const QStringList texts = {u"Ñu tres"_s, u"nada"_s, u"ñu uno"_s, u"NULL"_s, u"un ÑU dos"_s};
    for (int i = 0; i < texts.size(); ++i) {
        const QString value = texts[i] == u"NULL"_s ? texts[i] : u"'"_s + texts[i] + u"'"_s;
        QVERIFY(db.execute(u"INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a', %1, %2);"_s
                               .arg(i)
                               .arg(value)));
    }
    ResultSet rows = db.query(u"SELECT * FROM field WHERE text_data LIKE '%ñu%';"_s);
    QVERIFY(rows.isValid());
    QList<int> ids;
    while (!rows.step())
        ids << rows.value(ColDialogueId).toInt();
    QCOMPARE(ids, (QList<int>{0, 2, 4}));
}

QTEST_APPLESS_MAIN(tst_UnicodeLike)
#include "tst_unicodelike.moc"
