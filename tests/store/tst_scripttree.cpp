#include "store/layout.h"
#include "store/storetext.h"
#include "store/widgets/scripttree.h"
#include "tests/support/testhome.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

// The script tree: the model built from the three tables (cases under
// data/tree: the rows stored, "--", the nodes below the four top ones
// depth-first, "--", the keys the build refused), and the view's helpers.
class tst_ScriptTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void build_data();
    void build();
    void editsAndClearsAnnounceThemselves();
    void aFailedQueryIsReported();
    void viewSelectsAndCollapses();
    void selectedImageShowsWhenSelected();

private:
    void insert(const QString &row); // "table|file|id|comment|translated|revised", id as SQL
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

namespace {

// "key < parent key : text #image/selected image", depth-first.
void dump(const ScriptTreeModel &model, const QModelIndex &parent, QStringList &out)
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        out << u"%1 < %2 : %3 #%4/%5"_s.arg(model.key(index), parent.isValid() ? model.key(parent) : u"-"_s,
                                          model.text(index), QString::number(model.image(index)),
                                          QString::number(model.selectedImage(index)));
        dump(model, index, out);
    }
}

} // namespace

void tst_ScriptTree::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_ScriptTree::insert(const QString &row)
{
    const QStringList f = row.split(u'|');
    QVERIFY2(m_db.execute(u"INSERT INTO %1 (file_name,dialogue_id,comments,translated,revised) VALUES "
                          "(%2, %3, %4, %5, %6);"_s.arg(f[0], storeLiteral(f[1]), f[2], storeLiteral(f[3]), f[4], f[5])),
             qPrintable(row));
}

void tst_ScriptTree::build_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<QStringList>("refused");
    const QDir cases(QFINDTESTDATA("data/tree"));
    for (const QString &name : cases.entryList({u"*.txt"_s}, QDir::Files)) {
        QFile file(cases.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList parts = QString::fromUtf8(file.readAll()).split(u"--\n"_s);
        QCOMPARE(parts.size(), 3);
        auto lines = [&parts](int i) { return parts[i].split(u'\n', Qt::SkipEmptyParts); };
        QTest::newRow(qPrintable(name)) << lines(0) << lines(1) << lines(2);
    }
}

void tst_ScriptTree::build()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, nodes);
    QFETCH(QStringList, refused);
    for (const QString &row : rows)
        insert(row);
    QTreeView view;
    const ScriptTreeModel::BuildReport report = ScriptTree::buildTree(view, m_db);
    QVERIFY(!report.failure);
    QStringList all;
    const ScriptTreeModel *model = ScriptTree::model(view);
    dump(*model, {}, all);
    const QStringList top = {u"Root < - : Scripts #1/1"_s, u"battling_arena < Root : battling_arena #2/2"_s,
                             u"battle_script < Root : battle_script #2/2"_s, u"field < Root : field #2/2"_s};
    QCOMPARE(all.first(), top.first());
    QStringList below;
    for (const QString &line : std::as_const(all)) {
        if (!top.contains(line))
            below << line;
    }
    QCOMPARE(below, nodes);
    QCOMPARE(all.size(), nodes.size() + top.size());
    for (const QString &line : std::as_const(all)) {
        const QString key = line.section(u" < "_s, 0, 0);
        QCOMPARE(model->key(model->indexForKey(key)), key);
    }
    QCOMPARE(report.refusedKeys, refused);
    QCOMPARE(report.messages.size(), refused.size());
    QCOMPARE(ScriptTree::clashLine(report).isEmpty(), refused.isEmpty());
}

void tst_ScriptTree::editsAndClearsAnnounceThemselves()
{
    insert(u"field|a.txt|12||0|0"_s);
    ScriptTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(!model.build(m_db).failure);
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

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.clear();
    QCOMPARE(reset.size(), 1);
    QVERIFY(!model.isBuilt());
    QVERIFY(!model.indexForKey(u"Root"_s).isValid());
    QVERIFY(!model.indexForKey(u"field:a.txt;12"_s).isValid());
    QVERIFY(!model.build(m_db).failure);
    QVERIFY(model.indexForKey(u"field:a.txt;12"_s).isValid());
}

void tst_ScriptTree::aFailedQueryIsReported()
{
    m_db.close();
    ScriptTreeModel model;
    const ScriptTreeModel::BuildReport report = model.build(m_db);
    QVERIFY(report.failure && !report.failure->message.isEmpty());
}

void tst_ScriptTree::viewSelectsAndCollapses()
{
    for (int id = 1; id <= 3; ++id)
        insert(u"field|a.txt|%1||0|0"_s.arg(id));
    insert(u"battle_script|b.txt|1||1|0"_s);
    QTreeView view;
    QVERIFY(!ScriptTree::buildTree(view, m_db).failure);
    const ScriptTreeModel *model = ScriptTree::model(view);
    QCOMPARE(ScriptTree::selectedKey(view), u"Root"_s);
    QVERIFY(ScriptTree::selectKey(view, u"field:a.txt;3"_s));
    QCOMPARE(ScriptTree::selectedKey(view), u"field:a.txt;3"_s);
    for (const QString &key : {u"Root"_s, u"field"_s, u"a.txt"_s})
        QVERIFY2(view.isExpanded(model->indexForKey(key)), qPrintable(key));
    QVERIFY(!view.isExpanded(model->indexForKey(u"battle_script"_s)));
    QVERIFY(!ScriptTree::selectKey(view, u"field:a.txt;9"_s));
    QCOMPARE(ScriptTree::selectedKey(view), u"field:a.txt;3"_s);

    ScriptTree::collapseAll(view);
    for (const QString &key : {u"Root"_s, u"field"_s, u"a.txt"_s})
        QVERIFY2(!view.isExpanded(model->indexForKey(key)), qPrintable(key));
    ScriptTree::clearTree(view);
    QVERIFY(ScriptTree::selectedKey(view).isEmpty());
}

// The view draws a selected node's icon in Selected mode: that is where a
// block's selected image must show. A missing image shows no picture.
void tst_ScriptTree::selectedImageShowsWhenSelected()
{
    insert(u"field|a.txt|1||0|0"_s);
    const QColor colours[7] = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta, Qt::yellow, Qt::gray};
    std::array<QIcon, 7> icons;
    for (int i = 0; i < 6; ++i) { // the seventh stays missing
        QPixmap pixmap(16, 16);
        pixmap.fill(colours[i]);
        icons[size_t(i)] = QIcon(pixmap);
    }
    ScriptTreeModel model;
    model.setImages(icons);
    QVERIFY(!model.build(m_db).failure);
    const QModelIndex block = model.indexForKey(u"field:a.txt;1"_s);
    auto colour = [&](const QModelIndex &index, QIcon::Mode mode) {
        const QIcon icon = model.data(index, Qt::DecorationRole).value<QIcon>();
        return icon.isNull() ? QColor() : icon.pixmap(16, mode).toImage().pixelColor(8, 8);
    };
    QCOMPARE(colour(model.indexForKey(u"Root"_s), QIcon::Normal), colours[0]);
    model.setSelectedImage(block, ScriptTreeModel::Opened);
    QCOMPARE(colour(block, QIcon::Normal), colours[3]);
    QCOMPARE(colour(block, QIcon::Selected), colours[5]);
    model.setImage(block, ScriptTreeModel::Revised);
    QCOMPARE(colour(block, QIcon::Normal), QColor());
}

QTEST_MAIN(tst_ScriptTree)
#include "tst_scripttree.moc"
