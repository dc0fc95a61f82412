#include "check/findingsmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

// The checks window's list, narrowed and sorted.
class tst_FindingsModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void filters_data();
    void filters();
    void blocksSortAsNumbers();

private:
    FindingsModel m_model;
    FindingsFilter m_filter;
};

void tst_FindingsModel::init()
{
    new QAbstractItemModelTester(&m_model, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    m_filter.setSourceModel(&m_model);
    m_filter.setRule(std::nullopt);
    m_filter.setSeverity(std::nullopt);
    m_filter.setScripts({});
    new QAbstractItemModelTester(&m_filter, QAbstractItemModelTester::FailureReportingMode::QtTest, this);
    const auto row = [](const char *file, int number, Rule rule) {
        return FindingRow{u"field"_s, QString::fromLatin1(file), qint16(number), {rule, ruleSeverity(rule), {}, 0, 0}};
    };
    m_model.setFindings({row("a.txt", 10, Rule::Overflow), row("a.txt", 9, Rule::Punctuation),
                         row("b.txt", 100, Rule::Overflow), row("b.txt", 2, Rule::Identical)});
}

void tst_FindingsModel::filters_data()
{
    QTest::addColumn<int>("rule"); // -1: any
    QTest::addColumn<int>("severity");
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("shown");
    QTest::newRow("everything") << -1 << -1 << QString() << 4;
    QTest::newRow("one rule") << int(Rule::Overflow) << -1 << QString() << 2;
    QTest::newRow("warnings") << -1 << int(Severity::Warning) << QString() << 2;
    QTest::newRow("one script") << -1 << -1 << u"field/b.txt"_s << 2;
    QTest::newRow("all three") << int(Rule::Overflow) << int(Severity::Error) << u"field/b.txt"_s << 1;
}

void tst_FindingsModel::filters()
{
    QFETCH(int, rule);
    QFETCH(int, severity);
    QFETCH(QString, script);
    QFETCH(int, shown);
    m_filter.setRule(rule < 0 ? std::nullopt : std::optional<Rule>(Rule(rule)));
    m_filter.setSeverity(severity < 0 ? std::nullopt : std::optional<Severity>(Severity(severity)));
    m_filter.setScripts(script.isEmpty() ? QSet<QString>() : QSet<QString>{script});
    QCOMPARE(m_filter.rowCount(), shown);
    QCOMPARE(m_model.countPerRule()[size_t(Rule::Overflow)], 2);
}

void tst_FindingsModel::blocksSortAsNumbers()
{
    m_filter.sort(FindingsModel::BlockColumn);
    QStringList blocks;
    for (int row = 0; row < m_filter.rowCount(); ++row)
        blocks << m_filter.index(row, FindingsModel::BlockColumn).data().toString();
    QCOMPARE(blocks, (QStringList{u"2"_s, u"9"_s, u"10"_s, u"100"_s}));
}

QTEST_APPLESS_MAIN(tst_FindingsModel)
#include "tst_findingsmodel.moc"
