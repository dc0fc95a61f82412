#include "spell/wordsplitter.h"
#include "tests/support/tablefile.h"

#include <QTest>

class tst_WordSplitter : public QObject
{
    Q_OBJECT

private slots:
    void words_data() { TableFile::addRows(QFINDTESTDATA("data/words.txt"), {"text", "words"}); }
    void words();
};

void tst_WordSplitter::words()
{
    QFETCH(QString, text);
    QFETCH(QString, words);
    QStringList found;
    for (const WordSpan &span : splitWords(text))
        found << text.mid(span.start, span.length);
    QCOMPARE(found.join(u'/'), words);
}

QTEST_APPLESS_MAIN(tst_WordSplitter)
#include "tst_wordsplitter.moc"
