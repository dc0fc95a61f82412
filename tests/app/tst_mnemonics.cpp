#include "ui/mnemonics.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

class tst_Mnemonics : public QObject
{
    Q_OBJECT

private slots:
    void captions_data();
    void captions();
    void dialogsOfOurOwnWhenShown();
};

// A dialog of the program's own, as the subsystems' windows are.
class LinkForm : public QDialog
{
    Q_OBJECT
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

void tst_Mnemonics::dialogsOfOurOwnWhenShown()
{
    addMnemonicsToEveryDialog(*qApp);
    LinkForm form;
    auto *label = new QLabel(u"Word"_s, &form);
    auto *unlabelled = new QLabel(u"Note"_s, &form);
    label->setBuddy(new QLineEdit(&form));
    auto *button = new QPushButton(u"Accept"_s, &form);
    QMessageBox box(QMessageBox::Information, u"Tallowpen"_s, u"Done"_s, QMessageBox::Ok);
    QCOMPARE(label->text(), u"Word"_s); // not before it shows
    form.show();
    box.show();
    QCOMPARE(QStringList({label->text(), unlabelled->text(), button->text()}),
             QStringList({u"&Word"_s, u"Note"_s, u"&Accept"_s}));
    QCOMPARE(box.findChild<QPushButton *>()->text(), u"OK"_s); // Qt's own dialogs bring theirs
}

QTEST_MAIN(tst_Mnemonics)
#include "tst_mnemonics.moc"
