#include "app/ui/mnemonics.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Mnemonics : public QObject
{
    Q_OBJECT

private slots:
    void captions_data();
    void captions();
};

void tst_Mnemonics::captions_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("marked");
    QTest::newRow("first letters") << QStringList{u"Save"_s, u"Exit"_s} << QStringList{u"&Save"_s, u"&Exit"_s};
    QTest::newRow("a taken letter: the next word's start")
        << QStringList{u"Translation"_s, u"Tools"_s, u"Import Links File"_s, u"Insert"_s}
        << QStringList{u"&Translation"_s, u"T&ools"_s, u"&Import Links File"_s, u"I&nsert"_s};
    QTest::newRow("letter case does not tell letters apart")
        << QStringList{u"clean"_s, u"Clone"_s, u"Check Spell"_s}
        << QStringList{u"&clean"_s, u"C&lone"_s, u"Check &Spell"_s};
    QTest::newRow("tags: a letter inside the brackets")
        << QStringList{u"<New>"_s, u"<Wait>"_s, u"<Close><End of Block>"_s}
        << QStringList{u"<&New>"_s, u"<&Wait>"_s, u"<&Close><End of Block>"_s};
    QTest::newRow("a digit counts as a letter") << QStringList{u"ab"_s, u"ba"_s, u"28 ab"_s}
                                                   << QStringList{u"&ab"_s, u"&ba"_s, u"&28 ab"_s};
    QTest::newRow("nothing left: shown as it was") << QStringList{u"ab"_s, u"ba"_s, u"a-b"_s}
                                                   << QStringList{u"&ab"_s, u"&ba"_s, u"a-b"_s};
    QTest::newRow("an existing mnemonic is kept and its letter taken first")
        << QStringList{u"Open"_s, u"Rec&ord"_s, u"Fish && Chips"_s}
        << QStringList{u"O&pen"_s, u"Rec&ord"_s, u"&Fish && Chips"_s};
}

void tst_Mnemonics::captions()
{
    QFETCH(QStringList, captions);
    QFETCH(QStringList, marked);
    QCOMPARE(withMnemonics(captions), marked);
}

QTEST_APPLESS_MAIN(tst_Mnemonics)
#include "tst_mnemonics.moc"
