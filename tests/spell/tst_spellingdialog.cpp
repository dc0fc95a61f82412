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
};

void tst_SpellingDialog::buttonsAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("suggestions");
    QTest::addColumn<QString>("typed"); // into the change box, after a suggestion was picked
    QTest::addColumn<QString>("replacement");
    const QStringList two{u"espada"_s, u"espía"_s};
    QTest::newRow("Ignore once") << u"ignoreOnceButton"_s << int(SpellAnswer::IgnoreOnce) << two << QString() << u"espía"_s;
    QTest::newRow("Ignore all") << u"ignoreAllButton"_s << int(SpellAnswer::IgnoreAll) << two << QString() << u"espía"_s;
    QTest::newRow("Add to dictionary") << u"addButton"_s << int(SpellAnswer::AddToDictionary) << two << QString()
                                       << u"espía"_s;
    QTest::newRow("Change the picked one") << u"changeButton"_s << int(SpellAnswer::Change) << two << QString() << u"espía"_s;
    QTest::newRow("Change to what was typed") << u"changeButton"_s << int(SpellAnswer::Change) << two << u"espadas"_s
                                              << u"espadas"_s;
    QTest::newRow("Change all") << u"changeAllButton"_s << int(SpellAnswer::ChangeAll) << two << QString() << u"espía"_s;
    QTest::newRow("Cancel") << u"cancelButton"_s << int(SpellAnswer::Cancel) << two << QString() << u"espía"_s;
    QTest::newRow("no suggestion offers the word") << u"changeButton"_s << int(SpellAnswer::Change) << QStringList()
                                                   << QString() << u"espda"_s;
}

void tst_SpellingDialog::buttonsAnswer()
{
    QFETCH(QString, button);
    QFETCH(int, action);
    QFETCH(QStringList, suggestions);
    QFETCH(QString, typed);
    QFETCH(QString, replacement);
    SpellingDialog dialog;
    dialog.prepare({u"¿El espda de la niña?"_s, 4, u"espda"_s, suggestions});
    // The unknown word, and only it, stands out in its sentence.
    auto *sentence = dialog.findChild<QTextEdit *>(u"sentenceView"_s);
    QCOMPARE(sentence->toPlainText(), u"¿El espda de la niña?"_s);
    QString bold;
    for (int i = 1; i <= sentence->toPlainText().size(); ++i) {
        QTextCursor cursor(sentence->document());
        cursor.setPosition(i);
        bold += cursor.charFormat().fontWeight() == QFont::Bold ? u'B' : u'.';
    }
    QCOMPARE(bold, u"....BBBBB............"_s);
    if (!suggestions.isEmpty())
        dialog.findChild<QListWidget *>(u"suggestionsList"_s)->setCurrentRow(1);
    if (!typed.isEmpty())
        dialog.findChild<QLineEdit *>(u"changeToBox"_s)->setText(typed);
    QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(int(dialog.answer().action), action);
    QCOMPARE(dialog.answer().replacement, replacement);
    QCOMPARE(dialog.result(), action == int(SpellAnswer::Cancel) ? int(QDialog::Rejected) : int(QDialog::Accepted));
}

QTEST_MAIN(tst_SpellingDialog)
#include "tst_spellingdialog.moc"
