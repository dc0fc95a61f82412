#include "links/linksmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

LinkRow link(const QString &word, const QString &first = QString(), const QString &comment = QString())
{
    return LinkRow{word, {first}, comment};
}

} // namespace

class tst_LinksModel : public QObject
{
    Q_OBJECT

private slots:
    void headersAndCells();
    void typeAhead_data();
    void typeAhead();
    void lineUpdate();
};

void tst_LinksModel::headersAndCells()
{
    LinksModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setLinks({LinkRow{u"sword"_s, {u"espada"_s, u"acero"_s, u"3"_s, u"4"_s, u"5"_s}, u"weapon"_s}});
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{u"Word"_s, u"Link  1"_s, u"Link  2"_s, u"Link  3"_s, u"Link  4"_s, u"Link  5"_s,
                                   u"Comment"_s}));
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << model.index(0, c).data().toString();
    QCOMPARE(cells, (QStringList{u"sword"_s, u"espada"_s, u"acero"_s, u"3"_s, u"4"_s, u"5"_s, u"weapon"_s}));
}

void tst_LinksModel::typeAhead_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");
    QTest::newRow("first of several") << u"w"_s << 1;
    QTest::newRow("longer prefix") << u"wo"_s << 2;
    QTest::newRow("other case") << u"WOR"_s << 2;
    QTest::newRow("whole word") << u"axe"_s << 0;
    QTest::newRow("no word starts so") << u"q"_s << -1;
    QTest::newRow("longer than the word") << u"axes"_s << -1;
    QTest::newRow("empty text") << QString() << 0;
}

void tst_LinksModel::typeAhead()
{
    QFETCH(QString, typed);
    QFETCH(int, row);
    LinksModel model;
    model.setLinks({link(u"axe"_s), link(u"wand"_s), link(u"word"_s), link(u"world"_s)});
    QCOMPARE(model.findPrefix(typed), row);
}

void tst_LinksModel::lineUpdate()
{
    LinksModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setLinks({link(u"axe"_s, u"hacha"_s), link(u"bow"_s, u"arco"_s)});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setLink(1, LinkRow{u"bow"_s, {u"ballesta"_s, u"arco"_s}, u"ranged"_s});
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), model.index(1, 0));
    QCOMPARE(changed.first().at(1).toModelIndex(), model.index(1, 6));
    QCOMPARE(model.index(1, 1).data().toString(), u"ballesta"_s);
    QCOMPARE(model.index(1, 6).data().toString(), u"ranged"_s);
    QCOMPARE(model.index(0, 1).data().toString(), u"hacha"_s);
    model.setLink(5, link(u"none"_s));
    QCOMPARE(changed.size(), 1);
}

QTEST_APPLESS_MAIN(tst_LinksModel)
#include "tst_linksmodel.moc"
