#include "spell/spellingservice.h"
#include "spell/widgets/spellingdialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

class tst_SpellingDialog : public QObject
{
    Q_OBJECT

private slots:
    void buttonsAnswer_data();
    void buttonsAnswer();
    void sentenceMarksTheWord();
    void noSuggestionOffersTheWord();

private:
    SpellQuestion question() const
    {
        return {u"¿El espda de la niña?"_s, 3, u"espda"_s, {u"espada"_s, u"espía"_s}};
    }
};

void tst_SpellingDialog::buttonsAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("action");
    QTest::newRow("Ignore once") << u"cmdIgnoreOnce"_s << int(SpellAnswer::IgnoreOnce);
    QTest::newRow("Ignore all") << u"cmdIgnoreAll"_s << int(SpellAnswer::IgnoreAll);
    QTest::newRow("Add to dictionary") << u"cmdAdd"_s << int(SpellAnswer::AddToDictionary);
    QTest::newRow("Change") << u"cmdChange"_s << int(SpellAnswer::Change);
    QTest::newRow("Change all") << u"cmdChangeAll"_s << int(SpellAnswer::ChangeAll);
    QTest::newRow("Cancel") << u"cmdCancel"_s << int(SpellAnswer::Cancel);
}

void tst_SpellingDialog::buttonsAnswer()
{
    QFETCH(QString, button);
    QFETCH(int, action);
    SpellingDialog dialog;
    dialog.prepare(question());
    dialog.findChild<QListWidget *>(u"lstSuggestions"_s)->setCurrentRow(1);
    QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(int(dialog.answer().action), action);
    QCOMPARE(dialog.answer().replacement, u"espía"_s);
    QCOMPARE(dialog.result(), action == int(SpellAnswer::Cancel) ? int(QDialog::Rejected) : int(QDialog::Accepted));
}

void tst_SpellingDialog::sentenceMarksTheWord()
{
    SpellingDialog dialog;
    dialog.prepare(question());
    auto *sentence = dialog.findChild<QTextEdit *>(u"txtSentence"_s);
    QCOMPARE(sentence->toPlainText(), u"¿El espda de la niña?"_s);
    QTextCursor cursor(sentence->document());
    cursor.setPosition(5); // inside "espda"
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    cursor.setPosition(2); // inside "El"
    QVERIFY(cursor.charFormat().fontWeight() != int(QFont::Bold));
    QCOMPARE(dialog.findChild<QLineEdit *>(u"txtChangeTo"_s)->text(), u"espada"_s);
    // Typed by hand, the change takes the typed word.
    dialog.findChild<QLineEdit *>(u"txtChangeTo"_s)->setText(u"espadas"_s);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"cmdChange"_s), Qt::LeftButton);
    QCOMPARE(dialog.answer().replacement, u"espadas"_s);
}

void tst_SpellingDialog::noSuggestionOffersTheWord()
{
    SpellingDialog dialog;
    dialog.prepare({u"Ovessin llega."_s, 0, u"Ovessin"_s, {}});
    QCOMPARE(dialog.findChild<QLineEdit *>(u"txtChangeTo"_s)->text(), u"Ovessin"_s);
    QCOMPARE(dialog.findChild<QListWidget *>(u"lstSuggestions"_s)->count(), 0);
}

QTEST_MAIN(tst_SpellingDialog)
#include "tst_spellingdialog.moc"
