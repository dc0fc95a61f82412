#include "spell/dictionary.h"
#include "spell/personalwords.h"
#include "spell/speller.h"
#include "tests/support/appendonly.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Speller : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void missingDictionary_data();
    void missingDictionary();
    void misspellingsOfATranslation();
    void dictionaryInAnotherCharacterSet();
    void spanishDictionary_data();
    void spanishDictionary();
    void personalWordsAreKnownAndKept();

private:
    std::shared_ptr<Speller> spanish(SpellerCache &cache);
    QString tiny() const { return QFINDTESTDATA("data/tiny"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

std::shared_ptr<Speller> tst_Speller::spanish(SpellerCache &cache)
{
    const Result<std::shared_ptr<Speller>> speller = cache.speller(1034);
    if (!speller)
        qWarning("%s", qPrintable(speller.error().message));
    return speller.value_or(nullptr);
}

void tst_Speller::missingDictionary_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("Spanish: what to install") << 1034 << QStringList{u"es_ES.dic"_s, u"apt-get install hunspell-es"_s};
    QTest::newRow("a number without a dictionary") << 4242 << QStringList{u"4242"_s};
}

void tst_Speller::missingDictionary()
{
    QFETCH(int, language);
    QFETCH(QStringList, told);
    SpellerCache cache(m_dir->path(), {m_dir->path()});
    const Result<std::shared_ptr<Speller>> speller = cache.speller(language);
    QVERIFY(!speller);
    const QString &error = speller.error().message;
    for (const QString &part : told)
        QVERIFY2(error.contains(part), qPrintable(error));
}

void tst_Speller::misspellingsOfATranslation()
{
    SpellerCache cache(m_dir->path(), {tiny()});
    auto speller = spanish(cache);
    QVERIFY(speller);
    const QString text = u"<Ovessin>¡Hola, mundo!<Wait>\r\nEl niño`s hoal<Delay 3> árbol ÁRBOL hoal"_s;
    const QList<Misspelling> found = speller->misspellings(text);
    QCOMPARE(found, (QList<Misspelling>{{40, 4, u"hoal"_s}, {66, 4, u"hoal"_s}}));
    // Counted from a position, the positions are still those of the whole text.
    QCOMPARE(speller->misspellings(text, 44), found.mid(1));
    QVERIFY(speller->suggestions(u"hoal"_s).contains(u"hola"_s));
}

void tst_Speller::dictionaryInAnotherCharacterSet()
{
    const Result<std::unique_ptr<HunspellDictionary>> loaded =
        HunspellDictionary::load({1034, u"es_ES"_s, u"hunspell-es"_s, u"Spanish"_s}, {QFINDTESTDATA("data/latin1")});
    QVERIFY2(loaded, qPrintable(loaded.error().message));
    HunspellDictionary *dictionary = loaded->get();
    QVERIFY(dictionary->isCorrect(u"niño"_s) && dictionary->isCorrect(u"camión"_s));
    QVERIFY(!dictionary->isCorrect(u"nino"_s));
    QVERIFY(!dictionary->isCorrect(u"ниño"_s)); // not even representable there
    QVERIFY(dictionary->suggest(u"nino"_s).contains(u"niño"_s));
}

void tst_Speller::spanishDictionary_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("misspelt");
    QTest::newRow("accents and eñe") << u"¿Qué quieres, niño? ¡Él está aquí!"_s << QStringList{};
    QTest::newRow("capitals with accents") << u"ÁRBOL SEÑOR Ñandú"_s << QStringList{};
    QTest::newRow("typos") << u"Hoal, cancion de la espda."_s << QStringList{u"Hoal"_s, u"cancion"_s, u"espda"_s};
    QTest::newRow("tags and apostrophes never reported") << u"<Ovessin>Ven aquí.<Wait>\r\nEl Kid`s dice hola.<Close>"_s
                                                         << QStringList{u"Kid"_s};
}

// The dictionary the editor really uses, where it is installed.
void tst_Speller::spanishDictionary()
{
    QFETCH(QString, text);
    QFETCH(QStringList, misspelt);
    SpellerCache cache(m_dir->path());
    const Result<std::shared_ptr<Speller>> found = cache.speller(1034);
    if (!found)
        QSKIP(qPrintable(u"The system's Spanish dictionary is missing (install hunspell-es): "_s + found.error().message));
    const std::shared_ptr<Speller> &speller = *found;
    QStringList words;
    for (const Misspelling &m : speller->misspellings(text))
        words << m.word;
    QCOMPARE(words, misspelt);
    const QStringList all = speller->suggestions(u"casz"_s);
    QVERIFY(all.size() > 5);
    QCOMPARE(speller->suggestions(u"casz"_s, 5), all.first(5));
}

void tst_Speller::personalWordsAreKnownAndKept()
{
    QFile file(m_dir->filePath(PersonalWordList::fileName()));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(u"Ñandú\r\n\r\n  Pim \nÑandú\n"_s.toUtf8()) > 0);
    file.close();
    {
        SpellerCache cache(m_dir->path(), {tiny()});
        auto speller = spanish(cache);
        QVERIFY(speller);
        QCOMPARE(speller->misspellings(u"Ovessin Ñandú Pim Brassvale"_s).size(), 2);
        QVERIFY(speller->addToPersonal(u"Ovessin"_s));
        QVERIFY(speller->addToPersonal(u"Ovessin"_s));
        QCOMPARE(speller->misspellings(u"Ovessin Ñandú Pim Brassvale"_s).size(), 1);
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), u"Ñandú\nPim\nOvessin\n"_s);
    // A later run knows them from the file.
    SpellerCache again(m_dir->path(), {tiny()});
    QCOMPARE(spanish(again)->misspellings(u"Ovessin, Ñandú y Brassvale"_s).size(), 2);

    PersonalWordList unwritable(m_dir->filePath(u"no/such/folder/words.txt"_s));
    const Result<Done> added = unwritable.add(u"hola"_s);
    QVERIFY(!added);
    QVERIFY2(added.error().message.contains(u"words.txt"_s), qPrintable(added.error().message));
    QVERIFY(!unwritable.contains(u"hola"_s));

    // Written, but never put in place over the old list: only commit() can tell.
    const QString locked = m_dir->filePath(u"locked"_s);
    QVERIFY(QDir().mkpath(locked) && QFile::copy(file.fileName(), locked + u"/words.txt"_s));
    if (!setAppendOnly(locked, true))
        QSKIP("This file system or user cannot make a folder append-only (ext4 and root can).");
    const auto unlock = qScopeGuard([&locked] { setAppendOnly(locked, false); });
    PersonalWordList uncommitted(locked + u"/words.txt"_s);
    QVERIFY(uncommitted.load() && !uncommitted.add(u"hola"_s));
    QVERIFY(!uncommitted.contains(u"hola"_s));
}

QTEST_APPLESS_MAIN(tst_Speller)
#include "tst_speller.moc"
