#include "exchange/glossary.h"
#include "exchange/po.h"
#include "exchange/tmx.h"
#include "exchange/xliff.h"
#include "links/linkstore.h"
#include "tests/exchange/corpus.h"

#include <QTest>

using Reader = std::vector<ExchangeUnit> (*)(const std::vector<ExchangeBlock> &);
Q_DECLARE_METATYPE(Reader)

namespace {

std::vector<ExchangeUnit> throughXliff(const std::vector<ExchangeBlock> &blocks)
{
    return readXliff(writeXliff(blocks)).value_or({}).units;
}

std::vector<ExchangeUnit> throughPo(const std::vector<ExchangeBlock> &blocks)
{
    std::vector<ExchangeUnit> units;
    for (const auto &[name, bytes] : writePoFiles(blocks)) {
        const PoRead read = readPo(bytes).value_or({});
        units.insert(units.end(), read.units.begin(), read.units.end());
    }
    return units;
}

} // namespace

class tst_ExchangeFormats : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void badInput_data();
    void badInput();
    void tmxCarriesTheTranslatedBlocks();
    void glossaryRoundTrip();
};

void tst_ExchangeFormats::roundTrip_data()
{
    QTest::addColumn<Reader>("through");
    QTest::addColumn<bool>("keepsRevised");
    QTest::newRow("XLIFF") << Reader(throughXliff) << true;
    // PO has no Revised mark of its own: a revised block whose line breaks
    // at either end differ from the original's must be written fuzzy.
    QTest::newRow("PO") << Reader(throughPo) << false;
}

void tst_ExchangeFormats::roundTrip()
{
    QFETCH(Reader, through);
    QFETCH(bool, keepsRevised);
    const std::vector<ExchangeUnit> units = through(exchangeCorpus());
    std::vector<ExchangeBlock> expected;
    for (const ExchangeBlock &block : exchangeCorpus()) {
        // An empty original has no place in PO (its msgid names the header).
        if (keepsRevised || !block.original.isEmpty())
            expected.push_back(block);
    }
    QCOMPARE(units.size(), expected.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const QByteArray row = QByteArray::number(expected[i].address.number);
        QVERIFY2(units[i].address == expected[i].address, row.constData());
        QCOMPARE(units[i].source, expected[i].original);
        QCOMPARE(units[i].target, expected[i].translation);
        QCOMPARE(units[i].hasTarget, !expected[i].translation.isEmpty());
        if (keepsRevised || expected[i].address.number != 5)
            QVERIFY2(units[i].revised == expected[i].revised || !expected[i].translated, row.constData());
        else
            QVERIFY2(!units[i].revised, row.constData());
    }
}

void tst_ExchangeFormats::badInput_data()
{
    QTest::addColumn<bool>("po");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("XLIFF not well-formed") << false << QByteArray("<xliff version=\"1.2\">\n<file") << u"Line 2"_s;
    QTest::newRow("XLIFF of another version") << false << QByteArray("<xliff version=\"2.0\"/>") << u"not XLIFF 1.2"_s;
    QTest::newRow("XLIFF file not a script")
        << false << QByteArray("<xliff version=\"1.2\"><file original=\"x.txt\"/></xliff>") << u"folder/file name"_s;
    QTest::newRow("XLIFF unit id not a number")
        << false
        << QByteArray("<xliff version=\"1.2\"><file original=\"field/a\"><body><trans-unit id=\"a1\"/></body></file></xliff>")
        << u"not a block number"_s;
    QTest::newRow("PO context not a block") << true << QByteArray("msgctxt \"x\"\nmsgid \"a\"\nmsgstr \"b\"\n")
                                           << u"does not name a block"_s;
    QTest::newRow("PO plural") << true << QByteArray("msgctxt \"field:a;1\"\nmsgid \"a\"\nmsgid_plural \"b\"\n")
                               << u"plural"_s;
    QTest::newRow("PO string unquoted") << true << QByteArray("msgid a\n") << u"Line 1"_s;
}

void tst_ExchangeFormats::badInput()
{
    QFETCH(bool, po);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const Result<PoRead> poRead = po ? readPo(bytes) : Result<PoRead>(PoRead());
    const Result<XliffRead> xliffRead = po ? Result<XliffRead>(XliffRead()) : readXliff(bytes);
    QVERIFY(!(po ? poRead.ok() : xliffRead.ok()));
    const QString text = po ? poRead.error().message : xliffRead.error().message;
    QVERIFY2(text.contains(message), qPrintable(text));
}

void tst_ExchangeFormats::tmxCarriesTheTranslatedBlocks()
{
    const Result<TmxRead> read = readTmx(writeTmx(exchangeCorpus()));
    QVERIFY(read);
    std::vector<std::pair<QString, QString>> expected;
    for (const ExchangeBlock &block : exchangeCorpus()) {
        if (block.translated)
            expected.emplace_back(block.original, block.translation);
    }
    QCOMPARE(read->pairs, expected);
    QVERIFY(!readTmx("<xliff/>"));
}

void tst_ExchangeFormats::glossaryRoundTrip()
{
    LinkRow quoted{u"sword"_s, {u"\"espada\", larga"_s, u"hoja"_s}, u"two\r\nlines"_s};
    LinkRow apostrophe{u"don`t"_s, {u"no"_s}, {}};
    const Result<GlossaryRead> read = readGlossary(writeGlossary({quoted, apostrophe}));
    QVERIFY2(read, qPrintable(read.error().message));
    apostrophe.word = u"don't"_s; // the glossary shows what the editors show
    QCOMPARE(read->rows, (QList<LinkRow>{quoted, apostrophe}));
    QVERIFY(readGlossary("word\n\"open").error().message.contains(u"not closed"_s));
    QVERIFY(readGlossary("a,b,c,d,e,f,g,h\n").error().message.contains(u"Row 1"_s));
}

QTEST_APPLESS_MAIN(tst_ExchangeFormats)
#include "tst_exchangeformats.moc"
