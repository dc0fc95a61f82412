#include "spell/speller.h"
#include "spell/widgets/spellunderline.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

QStringList underlinedWords(const QTextDocument &document)
{
    QStringList got;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (const QTextLayout::FormatRange &range : block.layout()->formats())
            got << block.text().mid(range.start, range.length);
    }
    return got;
}

} // namespace

// The words underlined while typing, with the Spanish dictionary.
class tst_SpellUnderline : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void underlined_data();
    void underlined();
    void addedWord_data();
    void addedWord();

private:
    QTemporaryDir m_home;
    std::shared_ptr<Speller> m_speller;
};

void tst_SpellUnderline::initTestCase()
{
    SpellerCache cache(m_home.path());
    const Result<std::shared_ptr<Speller>> found = cache.speller(1034);
    if (!found)
        QSKIP(qPrintable(found.error().message));
    m_speller = *found;
}

void tst_SpellUnderline::underlined_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("a misspelt word") << u"La casa blanqa."_s << QStringList{u"blanqa"_s};
    QTest::newRow("tags are not words") << u"<Wait>Hola<Delay 3>"_s << QStringList();
    QTest::newRow("a speaker's name") << u"Tolm y Pellan llegan."_s << QStringList();
    QTest::newRow("a linked word") << u"La Brumavela y la blanqa."_s << QStringList{u"blanqa"_s};
    QTest::newRow("every line") << u"Hola\nmundoo"_s << QStringList{u"mundoo"_s};
    QTest::newRow("a line's own links") << u"Brumavela\nblanqa"_s << QStringList{u"blanqa"_s};
}

void tst_SpellUnderline::underlined()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QTextDocument document;
    SpellUnderline underline(&document, [](QStringView line) {
        QList<SpellUnderline::Span> links;
        for (qsizetype at = line.indexOf(u"Brumavela"); at >= 0; at = line.indexOf(u"Brumavela", at + 1))
            links.append({at, 9});
        return links;
    });
    underline.setSpeller(m_speller);
    QCoreApplication::processEvents(); // Qt's first full pass, due once the loop turns
    document.setPlainText(text);
    underline.rehighlight();
    QCOMPARE(underlinedWords(document), expected);
}

void tst_SpellUnderline::addedWord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the word added") << u"La blanqa y la casa."_s << QStringList();
    QTest::newRow("only the word added") << u"La blanqa y la mundoo."_s << QStringList{u"mundoo"_s};
}

// Answers are kept per word: the translator's added word must leave them.
void tst_SpellUnderline::addedWord()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QTextDocument document;
    SpellUnderline underline(&document);
    underline.setSpeller(m_speller);
    document.setPlainText(text);
    underline.rehighlight();
    underline.wordAdded(u"blanqa"_s);
    QCOMPARE(underlinedWords(document), expected);
}

QTEST_MAIN(tst_SpellUnderline)
#include "tst_spellunderline.moc"
