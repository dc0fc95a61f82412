#include "spell/wordsplitter.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WordSplitter : public QObject
{
    Q_OBJECT

private slots:
    void words_data();
    void words();
};

void tst_WordSplitter::words_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plain") << u"hola mundo"_s << QStringList{u"hola"_s, u"mundo"_s};
    QTest::newRow("accents, eñe, diaeresis") << u"Él comió pingüino y ñandú"_s
                                             << QStringList{u"Él"_s, u"comió"_s, u"pingüino"_s, u"y"_s, u"ñandú"_s};
    QTest::newRow("opening marks part words") << u"¿Qué?¡Ya!"_s << QStringList{u"Qué"_s, u"Ya"_s};
    QTest::newRow("tags skipped") << u"<Ovessin>Hola<Wait>\r\nadiós<Close><End of Block>"_s
                                  << QStringList{u"Hola"_s, u"adiós"_s};
    QTest::newRow("tag with a number") << u"Espera<Delay 3> ya"_s << QStringList{u"Espera"_s, u"ya"_s};
    QTest::newRow("tag with two numbers") << u"a<Opcode 1 2>b"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("unclosed tag is a mark") << u"menor < mayor"_s << QStringList{u"menor"_s, u"mayor"_s};
    QTest::newRow("grave accent parts words") << u"Kid`s O`Brien"_s << QStringList{u"Kid"_s, u"O"_s, u"Brien"_s};
    QTest::newRow("apostrophe alike") << u"l'eau"_s << QStringList{u"l"_s, u"eau"_s};
    QTest::newRow("lone grave accent") << u"` hola `"_s << QStringList{u"hola"_s};
    QTest::newRow("digits") << u"3er nivel, 20 monedas x2"_s << QStringList{u"nivel"_s, u"monedas"_s};
    QTest::newRow("hyphen and dots") << u"ex-jefe...fin"_s << QStringList{u"ex"_s, u"jefe"_s, u"fin"_s};
    QTest::newRow("decomposed accent stays in its word") << u"cafe\u0301 frío"_s
                                                         << QStringList{u"cafe\u0301"_s, u"frío"_s};
    QTest::newRow("empty") << u""_s << QStringList{};
}

void tst_WordSplitter::words()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QStringList words;
    for (const WordSpan &span : splitWords(text))
        words << text.mid(span.start, span.length);
    QCOMPARE(words, expected);
}

QTEST_APPLESS_MAIN(tst_WordSplitter)
#include "tst_wordsplitter.moc"
