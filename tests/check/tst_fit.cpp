#include "check/fit.h"
#include "check/projectfit.h"
#include "keeping/history.h"
#include "store/blockedit.h"
#include "project/sqlitestore.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

// Texts are written with "|" for the CR LF line end.
class tst_Fit : public QObject
{
    Q_OBJECT

private slots:
    void fits_data();
    void fits();
    void invariantsOverGeneratedTexts_data();
    void invariantsOverGeneratedTexts();
    void projectFitSavesOnlyWhatChanged();
};

namespace {

QString crlf(QString text)
{
    return text.replace(u'|', u"\r\n"_s);
}

// Everything but the blanks and line ends between words, in order.
QStringList words(const QString &text)
{
    QStringList result;
    QString word;
    bool inTag = false;
    for (const QChar c : text) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        if (!inTag && (c == u' ' || c == u'\r' || c == u'\n')) {
            if (!word.isEmpty())
                result << word;
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        result << word;
    return result;
}

} // namespace

void tst_Fit::fits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("fitted");
    QTest::addColumn<QString>("overflow"); // "page:line:excess" each, lines past the height marked "+"

    const QString close = u"|<Close><End of Block>"_s;
    // Width 56: 28 glyphs a line.
    QTest::newRow("a block that fits stays byte for byte")
        << u"Hola.  Dos blancos.|<Close><End of Block>|"_s << u"56"_s << u"2"_s
        << u"Hola.  Dos blancos.|<Close><End of Block>|"_s << QString();
    QTest::newRow("exactly 28 glyphs stay")
        << u"abcdefghijklmnopqrstuvwxyz12"_s + close << u"56"_s << u"1"_s << u"abcdefghijklmnopqrstuvwxyz12"_s + close
        << QString();
    QTest::newRow("lines re-broken evenly, not a lone last word")
        << u"Uno dos tres cuatro cinco seis."_s + close << u"56"_s << u"2"_s
        << u"Uno dos tres|cuatro cinco seis."_s + close << QString();
    QTest::newRow("too many lines: a new page, with the block's own <New>")
        << u"Uno dos tres cuatro cinco seis siete ocho nueve diez once doce."_s + close << u"56"_s
        << u"2"_s << u"Uno dos tres cuatro cinco|seis siete ocho nueve diez|<New>|once doce."_s + close
        << QString();
    QTest::newRow("a block that waits gets <Wait>, after a sentence end")
        << u"Hola.|<Wait>|Uno dos tres. Cuatro cinco seis siete ocho nueve diez once doce trece."_s
               + u"|<Wait><Close><End of Block>"_s
        << u"56"_s << u"2"_s
        << u"Hola.|<Wait>|Uno dos tres.|<Wait>|Cuatro cinco seis siete ocho|nueve diez once doce trece."_s
               + u"|<Wait><Close><End of Block>"_s
        << QString();
    QTest::newRow("the speaker keeps its line, the page that fits is untouched")
        << u"<Pellan>|Uno dos tres cuatro cinco seis siete ocho nueve diez.|<New>|Once  doce."_s + close
        << u"56"_s << u"3"_s
        << u"<Pellan>|Uno dos tres cuatro cinco|seis siete ocho nueve diez.|<New>|Once  doce."_s + close
        << QString();
    QTest::newRow("tags stay whole and beside their words")
        << u"<Delay 30>Uno dos <Delay 5> tres cuatro cinco seis siete ocho nueve diez once doce"_s + close
        << u"30"_s << u"3"_s
        << u"<Delay 30>Uno dos <Delay 5> tres|cuatro cinco|seis siete ocho|<New>|nueve diez|once doce"_s + close
        << QString();
    QTest::newRow("a word wider than the window is left and reported")
        << u"Dijo Supercalifragilisticoespialidosamente."_s + close << u"40"_s << u"2"_s
        << u"Dijo|Supercalifragilisticoespialidosamente."_s + close << u"1:2:18"_s;
    QTest::newRow("an unterminated tag: nothing can be told apart")
        << u"Uno dos tres cuatro cinco seis siete ocho nueve diez <once"_s + close << u"56"_s << u"1"_s
        << u"Uno dos tres cuatro cinco seis siete ocho nueve diez <once"_s + close << u"1:1:25"_s; // the page <End of Block> drops, measured
    QTest::newRow("a height that draws no window")
        << u"Uno dos tres cuatro cinco seis siete ocho nueve diez once doce"_s + close << u"56"_s << u"0"_s
        << u"Uno dos tres cuatro cinco seis siete ocho nueve diez once doce"_s + close << QString();
}

void tst_Fit::fits()
{
    QFETCH(QString, text);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, fitted);
    QFETCH(QString, overflow);

    const FitResult result = fitToWindow(crlf(text), width, height);
    QCOMPARE(result.text, crlf(fitted));
    QCOMPARE(result.changed, text != fitted);
    QStringList shown;
    for (const FitOverflow &over : result.overflow)
        shown << u"%1:%2:%3%4"_s.arg(over.page).arg(over.line).arg(over.excess).arg(over.tooManyLines ? u"+"_s : QString());
    QCOMPARE(shown.join(u' '), overflow);
}

void tst_Fit::invariantsOverGeneratedTexts_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 8; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

// Whatever the text: the words and tags stay in order, nothing overflows
// that the generator did not make too wide, and a second fit changes nothing.
void tst_Fit::invariantsOverGeneratedTexts()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QStringList vocabulary = {u"sí"_s,     u"camino"_s, u"¿Qué?"_s,  u"espada"_s, u"<Delay 20>"_s,
                                    u"oro."_s,   u"la"_s,     u"<Tolm>"_s, u"mañana!"_s, u"posada,"_s,
                                    u"norte"_s,  u"<L>"_s,    u"el"_s,     u"café…"_s,  u"amigo"_s};
    for (int round = 0; round < 200; ++round) {
        const int height = random.bounded(1, 5);
        const int width = random.bounded(24, 64); // 12 to 31 glyphs: every word fits
        const bool waits = random.bounded(2) == 1;
        QString text = random.bounded(2) ? u"<Pellan>\r\n"_s : QString();
        const int pages = random.bounded(1, 4);
        for (int page = 0; page < pages; ++page) {
            if (page)
                text += waits ? u"\r\n<Wait>\r\n"_s : u"\r\n<New>\r\n"_s;
            const int lines = random.bounded(1, 6);
            for (int line = 0; line < lines; ++line) {
                QStringList picked;
                for (int n = random.bounded(1, 9); n > 0; --n)
                    picked << vocabulary[random.bounded(int(vocabulary.size()))];
                picked << u"fin"_s; // a line of tags alone keeps its own line, fitted or not
                text += (line ? u"\r\n"_s : QString()) + picked.join(u' ');
            }
        }
        text += waits ? u"\r\n<Wait><Close><End of Block>"_s : u"\r\n<Close><End of Block>"_s;
        const QString w = QString::number(width), h = QString::number(height);

        const FitResult fitted = fitToWindow(text, w, h);
        const QString pageTag = waits ? u"<Wait>"_s : u"<New>"_s;
        QStringList before = words(text), after = words(fitted.text);
        QVERIFY2(after.count(pageTag) >= before.count(pageTag), qPrintable(fitted.text));
        before.removeAll(pageTag);
        after.removeAll(pageTag);
        QCOMPARE(after, before);
        // A page with a speaker line and one line of words is the only overflow left at height 1.
        for (const FitOverflow &over : fitted.overflow)
            QVERIFY2(over.tooManyLines && height == 1 && text.startsWith(u"<Pellan>"_s), qPrintable(fitted.text));
        QCOMPARE(fitToWindow(fitted.text, w, h).text, fitted.text);
    }
}

// The batch fit leaves the blocks that fit alone and keeps comments and marks.
void tst_Fit::projectFitSavesOnlyWhatChanged()
{
    TestHome home;
    QVERIFY(home.isValid());
    const QString close = u"\r\n<Close><End of Block>"_s;
    StoredBlock over;
    over.id = 1;
    over.textT = u"Uno dos tres cuatro cinco seis siete ocho nueve diez once doce."_s + close;
    over.translated = 1;
    over.revised = 1;
    over.comments = u"nota"_s;
    over.width = 56;
    over.height = 2;
    StoredBlock fits = over;
    fits.id = 2;
    fits.textT = u"Hola."_s + close;
    QVERIFY(insertBlock(home, over));
    QVERIFY(insertBlock(home, fits));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    SqliteStore store(db);
    const Result<std::vector<CheckedBlock>> blocks = readCheckedBlocks(store);
    QVERIFY2(blocks, qPrintable(blocks.error().message));

    const ProjectFit fitted = fitProject(*blocks);
    QCOMPARE(fitted.overflowing, 1);
    QCOMPARE(fitted.stillOverflowing, 0);
    QCOMPARE(fitted.changed.size(), size_t(1));
    // Another window saves the block after the project was read: the history keeps what the fit replaced.
    Database other;
    QVERIFY(openStore(other, home.storePath())
            && other.execute(u"UPDATE field SET text_data_t = 'Otro texto.' WHERE dialogue_id = 1"_s));
    const FitSaving saving = saveFits(db, fitted.changed);
    QVERIFY2(saving.problems.isEmpty(), qPrintable(saving.problems.join(u'\n')));
    QCOMPARE(saving.saved.size(), size_t(1));

    const BlockLoad saved = loadBlock(db, blockKey(u"field"_s, u"0012.txt"_s, 1));
    QCOMPARE(saved.translation, fitted.changed.front().fit.text);
    QCOMPARE(saved.comment, u"nota"_s);
    QVERIFY(saved.revised);
    QCOMPARE(loadBlock(db, blockKey(u"field"_s, u"0012.txt"_s, 2)).translation, fits.textT);
    const auto kept = blockVersions(home.storePath(), *parseBlockKey(blockKey(u"field"_s, u"0012.txt"_s, 1)));
    QVERIFY(kept && !kept->empty());
    QCOMPARE(kept->front().translation, u"Otro texto."_s);
}

QTEST_GUILESS_MAIN(tst_Fit)
#include "tst_fit.moc"
