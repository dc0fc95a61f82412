#include "spell/dictionary.h"
#include "spell/personalwords.h"
#include "spell/speller.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Speller : public QObject
{
    Q_OBJECT

private slots:
    void languageTable_data();
    void languageTable();
    void missingDictionarySaysWhatToInstall();
    void unknownLanguageNumber();
    void misspellingsSkipTagsAndMarks();
    void dictionaryInAnotherCharacterSet();
    void spanishDictionary_data();
    void spanishDictionary();
    void personalWordsAreKnownAndKept();
    void personalListReadsUtf8Lines();
    void suggestionsAreLimited();

private:
    QString tinyFolder() const { return QFINDTESTDATA("data/tiny"); }
};

void tst_Speller::languageTable_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("dictionary");
    QTest::addColumn<QString>("package");
    QTest::newRow("Spanish, traditional sort") << 1034 << u"es_ES"_s << u"hunspell-es"_s;
    QTest::newRow("Spanish, modern sort") << 3082 << u"es_ES"_s << u"hunspell-es"_s;
    QTest::newRow("English (US)") << 1033 << u"en_US"_s << u"hunspell-en-us"_s;
}

void tst_Speller::languageTable()
{
    QFETCH(int, language);
    QFETCH(QString, dictionary);
    QFETCH(QString, package);
    const auto entry = dictionaryForLanguage(language);
    QVERIFY(entry);
    QCOMPARE(entry->dictionary, dictionary);
    QCOMPARE(entry->package, package);
}

void tst_Speller::missingDictionarySaysWhatToInstall()
{
    QTemporaryDir empty;
    SpellerCache cache(empty.path(), {empty.path()});
    QString error;
    QVERIFY(!cache.speller(1034, &error));
    QVERIFY2(error.contains(u"es_ES.dic"_s), qPrintable(error));
    QVERIFY2(error.contains(u"apt-get install hunspell-es"_s), qPrintable(error));
    QVERIFY2(error.contains(empty.path()), qPrintable(error));
}

void tst_Speller::unknownLanguageNumber()
{
    SpellerCache cache(QString(), {tinyFolder()});
    QString error;
    QVERIFY(!cache.speller(4242, &error));
    QVERIFY(error.contains(u"4242"_s));
}

void tst_Speller::misspellingsSkipTagsAndMarks()
{
    QTemporaryDir dir;
    SpellerCache cache(dir.path(), {tinyFolder()});
    QString error;
    auto speller = cache.speller(1034, &error);
    QVERIFY2(speller, qPrintable(error));
    const QString text = u"<Ovessin>¡Hola, mundo!<Wait>\r\nEl niño`s hoal<Delay 3> árbol ÁRBOL"_s;
    const QList<Misspelling> found = speller->misspellings(text);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].word, u"hoal"_s);
    QCOMPARE(text.mid(found[0].start, found[0].length), u"hoal"_s);
    // Counting from a position gives positions in the whole text.
    QCOMPARE(speller->misspellings(text, found[0].start), found);
    QVERIFY(speller->misspellings(text, found[0].start + found[0].length).isEmpty());
    QVERIFY(speller->suggestions(u"hoal"_s).contains(u"hola"_s));
}

void tst_Speller::dictionaryInAnotherCharacterSet()
{
    const LanguageDictionary latin1{1034, u"es_ES"_s, u"hunspell-es"_s, u"Spanish"_s};
    QString error;
    auto dictionary = HunspellDictionary::load(latin1, {QFINDTESTDATA("data/latin1")}, &error);
    QVERIFY2(dictionary, qPrintable(error));
    QVERIFY(dictionary->isCorrect(u"niño"_s));
    QVERIFY(dictionary->isCorrect(u"camión"_s));
    QVERIFY(!dictionary->isCorrect(u"nino"_s));
    // Not even representable there: simply unknown.
    QVERIFY(!dictionary->isCorrect(u"ниño"_s));
    QVERIFY(dictionary->suggest(u"nino"_s).contains(u"niño"_s));
}

void tst_Speller::spanishDictionary_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("misspelt");
    QTest::newRow("accents and eñe") << u"¿Qué quieres, niño? ¡Él está aquí!"_s << QStringList{};
    QTest::newRow("capitals with accents") << u"ÁRBOL SEÑOR Ñandú"_s << QStringList{};
    QTest::newRow("typos") << u"Hoal, cancion de la espda."_s
                           << QStringList{u"Hoal"_s, u"cancion"_s, u"espda"_s};
    QTest::newRow("tags and apostrophes never reported") << u"<Ovessin>Ven aquí.<Wait>\r\nEl Kid`s dice hola.<Close>"_s
                                                         << QStringList{u"Kid"_s};
}

void tst_Speller::spanishDictionary()
{
    QFETCH(QString, text);
    QFETCH(QStringList, misspelt);
    QTemporaryDir dir;
    SpellerCache cache(dir.path());
    QString error;
    auto speller = cache.speller(1034, &error);
    QVERIFY2(speller, qPrintable(error));
    QStringList words;
    for (const Misspelling &m : speller->misspellings(text))
        words << m.word;
    QCOMPARE(words, misspelt);
}

void tst_Speller::personalWordsAreKnownAndKept()
{
    QTemporaryDir dir;
    QString error;
    {
        SpellerCache cache(dir.path(), {tinyFolder()});
        auto speller = cache.speller(1034, &error);
        QVERIFY2(speller, qPrintable(error));
        QCOMPARE(speller->misspellings(u"Ovessin y Brassvale"_s).size(), 3);
        QVERIFY2(speller->addToPersonal(u"Ovessin"_s, &error), qPrintable(error));
        QVERIFY2(speller->addToPersonal(u"Ovessin"_s, &error), qPrintable(error));
        QVERIFY2(speller->addToPersonal(u"Ñoqui"_s, &error), qPrintable(error));
        QCOMPARE(speller->misspellings(u"Ovessin y Brassvale"_s).size(), 2);
    }
    QFile file(dir.filePath(PersonalWordList::fileName()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), u"Ovessin\nÑoqui\n"_s);

    // A later run knows them from the file.
    SpellerCache again(dir.path(), {tinyFolder()});
    auto speller = again.speller(1034, &error);
    QVERIFY(speller);
    QStringList words;
    for (const Misspelling &m : speller->misspellings(u"Ovessin, Ñoqui y Brassvale"_s))
        words << m.word;
    QCOMPARE(words, (QStringList{u"y"_s, u"Brassvale"_s}));
}

void tst_Speller::personalListReadsUtf8Lines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(PersonalWordList::fileName());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(u"Ñandú\r\n\r\n  Brassvale \nÑandú\n"_s.toUtf8());
    file.close();
    PersonalWordList list(path);
    QString error;
    QVERIFY(list.load(&error));
    QCOMPARE(list.words(), (QStringList{u"Ñandú"_s, u"Brassvale"_s}));

    PersonalWordList missing(dir.filePath(u"none.txt"_s));
    QVERIFY(missing.load(&error));
    QVERIFY(missing.words().isEmpty());

    PersonalWordList unwritable(dir.filePath(u"no/such/folder/words.txt"_s));
    QVERIFY(!unwritable.add(u"hola"_s, &error));
    QVERIFY(error.contains(u"words.txt"_s));
    QVERIFY(!unwritable.contains(u"hola"_s));
}

void tst_Speller::suggestionsAreLimited()
{
    QTemporaryDir dir;
    SpellerCache cache(dir.path());
    QString error;
    auto speller = cache.speller(1034, &error);
    QVERIFY2(speller, qPrintable(error));
    const QStringList all = speller->suggestions(u"casz"_s);
    QVERIFY(all.size() > 5);
    QCOMPARE(speller->suggestions(u"casz"_s, 5), all.mid(0, 5));
}

QTEST_APPLESS_MAIN(tst_Speller)
#include "tst_speller.moc"
