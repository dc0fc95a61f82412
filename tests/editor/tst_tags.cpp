#include "editor/tags.h"
#include "tests/support/tablefile.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Tags : public QObject
{
    Q_OBJECT

private slots:
    void meaning_data();
    void meaning();
    void insert_data();
    void insert();
};

void tst_Tags::meaning_data()
{
    TableFile::addRows(QFINDTESTDATA("data/tags.txt"), {"tag", "text", "page", "mark"});
}

void tst_Tags::meaning()
{
    QFETCH(QString, tag);
    QFETCH(QString, text);
    QFETCH(QString, page);
    QFETCH(QString, mark);
    const TagMeaning meaning = tagMeaning(tag);
    const QStringList pages{QString(), u"New"_s, u"Wait"_s, u"Close"_s, u"End of Block"_s};
    QCOMPARE(meaning.text.toString(), text);
    QCOMPARE(pages.value(int(meaning.page)), page);
    QCOMPARE(meaning.unknownMark ? u"#"_s : QString(), mark);
}

void tst_Tags::insert_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret"); // -1: refused
    QTest::newRow("delay at 5 of 10") << u"0123456789"_s << 5 << u"<Delay >"_s << u"01234<Delay >56789"_s << 12;
    QTest::newRow("space at the start") << u"abc"_s << 0 << u"<Space >"_s << u"<Space >abc"_s << 7;
    QTest::newRow("opcode after a line break") << u"ab\r\ncd"_s << 6 << u"<Opcode >"_s << u"ab\r\ncd<Opcode >"_s << 14;
    QTest::newRow("new at the end") << u"abc"_s << 3 << u"<New>\r\n"_s << u"abc<New>\r\n"_s << 10;
    QTest::newRow("wait at a line start") << u"ab\r\ncd"_s << 4 << u"<Wait>\r\n"_s << u"ab\r\n<Wait>\r\ncd"_s << 12;
    QTest::newRow("close into an empty text") << QString() << 0 << u"<Close><End of Block>"_s
                                              << u"<Close><End of Block>"_s << 21;
    QTest::newRow("past the text") << u"abc"_s << 4 << u"<New>"_s << QString() << -1;
    QTest::newRow("before the text") << u"abc"_s << -1 << u"<New>"_s << QString() << -1;
    // The caret after the tag is a 16-bit position.
    for (int end : {32766, 32767, 32768}) {
        const QString text(end - 5, u'a');
        QTest::addRow("ending at %d", end) << text << int(text.size()) << u"<New>"_s
                                           << (end <= 32767 ? text + u"<New>"_s : QString()) << (end <= 32767 ? end : -1);
    }
    QTest::newRow("parameter tag ending at 32767") << QString(32759, u'a') << 32759 << u"<Delay >"_s
                                                   << QString(32759, u'a') + u"<Delay >"_s << 32766;
}

void tst_Tags::insert()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    const auto inserted = insertTagAt(text, position, tag);
    QCOMPARE(inserted ? int(inserted->caret) : -1, caret);
    if (inserted)
        QVERIFY(inserted->text == expected); // not QCOMPARE: its message would print 32,000 characters
}

QTEST_APPLESS_MAIN(tst_Tags)
#include "tst_tags.moc"
