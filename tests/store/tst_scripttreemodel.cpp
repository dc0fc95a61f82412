#include "store/database.h"
#include "store/layout.h"
#include "store/scripttreemodel.h"
#include "tests/support/testhome.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// One row as the tests write it: "table|file|id|comment|translated|revised".
void insertRow(Database &db, const QString &row)
{
    const QStringList f = row.split(u'|');
    QVERIFY2(f.size() == 6, qPrintable(row));
    const QString statement = u"INSERT INTO %1 (file_name,dialogue_id,text_data,width,height,comments,translated,"
                              "revised,text_data_t,new_width,new_height) VALUES ('%2', %3, 'x', 24, 2, '%4', %5, %6, "
                              "'', 0, 0);"_s.arg(f[0], f[1], f[2], f[3], f[4], f[5]);
    QVERIFY2(db.execute(statement), qPrintable(db.lastError().message));
}

// Depth-first "key < parent key : text #image/selected image" lines.
void dumpNodes(const ScriptTreeModel &model, const QModelIndex &parent, QStringList &out)
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        out << u"%1 < %2 : %3 #%4/%5"_s.arg(model.key(index), parent.isValid() ? model.key(parent) : u"-"_s,
                                          model.text(index))
                   .arg(model.image(index))
                   .arg(model.selectedImage(index));
        dumpNodes(model, index, out);
    }
}

QStringList dump(const ScriptTreeModel &model)
{
    QStringList out;
    dumpNodes(model, {}, out);
    return out;
}

const QStringList EmptyTree = {
    u"Root < - : Scripts #1/1"_s,
    u"battling_arena < Root : battling_arena #2/2"_s,
    u"battle_script < Root : battle_script #2/2"_s,
    u"field < Root : field #2/2"_s,
};

} // namespace

class tst_ScriptTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void build_data();
    void build();
    void modelStaysConsistent();
    void findsEveryNodeByKey();
    void clearEmptiesTheTree();
    void editsAnnounceThemselves();
    void failedQueryIsReported();

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
};

void tst_ScriptTreeModel::init()
{
    m_db.reset();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    m_db = std::make_unique<Database>();
    QVERIFY(openStore(*m_db, m_home->storePath()));
}

void tst_ScriptTreeModel::build_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("expected"); // nodes after the four top ones
    QTest::addColumn<QStringList>("refused");

    QTest::newRow("empty store") << QStringList() << QStringList() << QStringList();
    QTest::newRow("images and comment marker")
        << QStringList{u"battling_arena|a.txt|1||0|0"_s, u"battling_arena|a.txt|2||1|0"_s,
                       u"battling_arena|a.txt|3|note|1|1"_s, u"battling_arena|a.txt|4||0|1"_s}
        << QStringList{u"a.txt < battling_arena : a.txt #3/3"_s, u"battling_arena:a.txt;1 < a.txt : 1 #4/4"_s,
                       u"battling_arena:a.txt;2 < a.txt : 2 #5/5"_s, u"battling_arena:a.txt;3 < a.txt : 3[c] #7/7"_s,
                       u"battling_arena:a.txt;4 < a.txt : 4 #4/4"_s}
        << QStringList();
    QTest::newRow("rows kept in query order")
        << QStringList{u"field|c.txt|2||0|0"_s, u"field|c.txt|1||0|0"_s, u"field|a.txt|1||0|0"_s}
        << QStringList{u"c.txt < field : c.txt #3/3"_s, u"field:c.txt;2 < c.txt : 2 #4/4"_s,
                       u"field:c.txt;1 < c.txt : 1 #4/4"_s, u"a.txt < field : a.txt #3/3"_s,
                       u"field:a.txt;1 < a.txt : 1 #4/4"_s}
        << QStringList();
    QTest::newRow("number trimmed of blanks")
        << QStringList{u"field|a.txt|' 7 '||0|0"_s}
        << QStringList{u"a.txt < field : a.txt #3/3"_s, u"field:a.txt;7 < a.txt : 7 #4/4"_s} << QStringList();
    QTest::newRow("script name in two tables")
        << QStringList{u"battle_script|x.txt|1||0|0"_s, u"field|y.txt|1||0|0"_s, u"field|x.txt|1|c|1|0"_s}
        << QStringList{u"x.txt < battle_script : x.txt #3/3"_s, u"battle_script:x.txt;1 < x.txt : 1 #4/4"_s,
                       u"y.txt < field : y.txt #3/3"_s, u"field:y.txt;1 < y.txt : 1 #4/4"_s,
                       u"field/x.txt < field : x.txt [duplicate] #3/3"_s, u"field:x.txt;1 < field/x.txt : 1[c] #5/5"_s}
        << QStringList{u"x.txt"_s};
    QTest::newRow("remembered name carried into the next table")
        << QStringList{u"battling_arena|y.txt|1||0|0"_s, u"battle_script|y.txt|1||0|0"_s,
                       u"battle_script|y.txt|2||0|0"_s}
        << QStringList{u"y.txt < battling_arena : y.txt #3/3"_s, u"battling_arena:y.txt;1 < y.txt : 1 #4/4"_s,
                       u"battle_script/y.txt < battle_script : y.txt [duplicate] #3/3"_s,
                       u"battle_script:y.txt;1 < battle_script/y.txt : 1 #4/4"_s,
                       u"battle_script:y.txt;2 < battle_script/y.txt : 2 #4/4"_s}
        << QStringList{u"y.txt"_s};
    QTest::newRow("rows of a script not together")
        << QStringList{u"field|a.txt|1||0|0"_s, u"field|b.txt|1||0|0"_s, u"field|a.txt|2||0|0"_s}
        << QStringList{u"a.txt < field : a.txt #3/3"_s, u"field:a.txt;1 < a.txt : 1 #4/4"_s,
                       u"field:a.txt;2 < a.txt : 2 #4/4"_s, u"b.txt < field : b.txt #3/3"_s,
                       u"field:b.txt;1 < b.txt : 1 #4/4"_s}
        << QStringList{u"a.txt"_s};
    QTest::newRow("same block twice")
        << QStringList{u"field|a.txt|1||0|0"_s, u"field|a.txt|1|dup|1|1"_s, u"field|a.txt|2||0|0"_s}
        << QStringList{u"a.txt < field : a.txt #3/3"_s, u"field:a.txt;1 < a.txt : 1 #4/4"_s,
                       u"field:a.txt;2 < a.txt : 2 #4/4"_s}
        << QStringList{u"field:a.txt;1"_s};
    QTest::newRow("script named like a folder")
        << QStringList{u"battle_script|field|1||0|0"_s}
        << QStringList{u"battle_script/field < battle_script : field [duplicate] #3/3"_s,
                       u"battle_script:field;1 < battle_script/field : 1 #4/4"_s}
        << QStringList{u"field"_s};
    QTest::newRow("duplicate met again later in its table")
        << QStringList{u"battle_script|x.txt|1||0|0"_s, u"field|x.txt|1||0|0"_s, u"field|z.txt|1||0|0"_s,
                       u"field|x.txt|2||0|0"_s}
        << QStringList{u"x.txt < battle_script : x.txt #3/3"_s, u"battle_script:x.txt;1 < x.txt : 1 #4/4"_s,
                       u"field/x.txt < field : x.txt [duplicate] #3/3"_s, u"field:x.txt;1 < field/x.txt : 1 #4/4"_s,
                       u"field:x.txt;2 < field/x.txt : 2 #4/4"_s, u"z.txt < field : z.txt #3/3"_s,
                       u"field:z.txt;1 < z.txt : 1 #4/4"_s}
        << QStringList{u"x.txt"_s, u"x.txt"_s};
}

void tst_ScriptTreeModel::build()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, refused);
    for (const QString &row : rows)
        insertRow(*m_db, row);

    ScriptTreeModel model;
    const ScriptTreeModel::BuildReport report = model.build(*m_db);
    QVERIFY(report.ok);
    QVERIFY(model.isBuilt());

    // Nodes print depth-first, so the blocks of a folder's scripts follow it;
    // compare per folder to keep the expectations readable.
    QStringList nodes = dump(model);
    QCOMPARE(nodes.mid(0, 1), EmptyTree.mid(0, 1));
    QStringList below;
    for (const QString &line : std::as_const(nodes)) {
        if (!EmptyTree.contains(line))
            below << line;
    }
    QCOMPARE(below, expected);
    QCOMPARE(nodes.size(), expected.size() + EmptyTree.size());
    QCOMPARE(report.refusedKeys, refused);
    QCOMPARE(report.messages.size(), refused.size());
}

void tst_ScriptTreeModel::modelStaysConsistent()
{
    for (const QString &row : {u"battling_arena|a.txt|1||0|0"_s, u"field|b.txt|1|x|1|1"_s, u"field|a.txt|1||0|0"_s})
        insertRow(*m_db, row);
    ScriptTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.build(*m_db);
    model.setText(model.indexForKey(u"field:b.txt;1"_s), u"1"_s);
    model.setImage(model.indexForKey(u"field:b.txt;1"_s), ScriptTreeModel::Translated);
    model.build(*m_db);
    model.clear();
    model.clear();
    model.build(*m_db);
}

void tst_ScriptTreeModel::findsEveryNodeByKey()
{
    for (int id = 1; id <= 5; ++id)
        insertRow(*m_db, u"battle_script|s%1.txt|%1||0|0"_s.arg(id));
    insertRow(*m_db, u"field|s1.txt|1||0|0"_s);
    ScriptTreeModel model;
    model.build(*m_db);

    int seen = 0;
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            ++seen;
            if (model.indexForKey(model.key(index)) != index)
                return;
            walk(index);
        }
    };
    walk({});
    QCOMPARE(seen, 4 + 5 * 2 + 2);
    QVERIFY(!model.indexForKey(u"field:s9.txt;1"_s).isValid());
    const QModelIndex block = model.indexForKey(u"battle_script:s3.txt;3"_s);
    QCOMPARE(model.key(model.parent(block)), u"s3.txt"_s);
    QCOMPARE(model.data(block, ScriptTreeModel::KeyRole).toString(), u"battle_script:s3.txt;3"_s);
    QVERIFY(model.isMarked(model.indexForKey(u"field/s1.txt"_s)));
    QVERIFY(!model.isMarked(model.indexForKey(u"s1.txt"_s)));
}

void tst_ScriptTreeModel::clearEmptiesTheTree()
{
    insertRow(*m_db, u"field|a.txt|1||0|0"_s);
    ScriptTreeModel model;
    model.build(*m_db);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.clear();
    QCOMPARE(reset.size(), 1);
    QVERIFY(!model.isBuilt());
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.indexForKey(u"Root"_s).isValid());
    QVERIFY(!model.indexForKey(u"field:a.txt;1"_s).isValid());

    model.build(*m_db);
    QCOMPARE(dump(model).size(), EmptyTree.size() + 2);
}

void tst_ScriptTreeModel::editsAnnounceThemselves()
{
    insertRow(*m_db, u"field|a.txt|12||0|0"_s);
    ScriptTreeModel model;
    model.build(*m_db);
    const QModelIndex block = model.indexForKey(u"field:a.txt;12"_s);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.setText(block, u"12[c]"_s);
    model.setImage(block, ScriptTreeModel::Revised);
    model.setSelectedImage(block, ScriptTreeModel::Opened);
    QCOMPARE(changed.size(), 3);
    for (const QList<QVariant> &args : std::as_const(changed))
        QCOMPARE(args.at(0).toModelIndex(), block);
    QCOMPARE(model.data(block).toString(), u"12[c]"_s);
    QCOMPARE(model.data(block, ScriptTreeModel::ImageRole).toInt(), 7);
    QCOMPARE(model.data(block, ScriptTreeModel::SelectedImageRole).toInt(), 6);

    // Unchanged values and images outside 1..7 change nothing.
    model.setText(block, u"12[c]"_s);
    model.setImage(block, 0);
    model.setImage(block, 8);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(model.image(block), 7);
}

void tst_ScriptTreeModel::failedQueryIsReported()
{
    // A file holding only the first table: the build stops at the second.
    const QString path = m_home->filePath(u"partial.db"_s);
    QFile::remove(path);
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    QCOMPARE(sqlite3_exec(raw,
                          "CREATE TABLE battling_arena (file_name, dialogue_id, text_data, width, height, comments,"
                          " translated, revised, text_data_t, new_width, new_height);"
                          "INSERT INTO battling_arena VALUES ('a.txt', 1, 'x', 1, 1, '', 0, 0, '', 0, 0);",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(raw);
    Database db;
    QVERIFY(openStore(db, path));

    ScriptTreeModel model;
    const ScriptTreeModel::BuildReport report = model.build(db);
    QVERIFY(!report.ok);
    QVERIFY(report.error.message.contains(u"battle_script"_s));
    QVERIFY(model.indexForKey(u"battling_arena:a.txt;1"_s).isValid());
}

QTEST_APPLESS_MAIN(tst_ScriptTreeModel)
#include "tst_scripttreemodel.moc"
