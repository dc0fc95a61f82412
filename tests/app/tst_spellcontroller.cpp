#include "app/mainwindow.h"
#include "app/spellcontroller.h"
#include "spell/spellcheck.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_SpellController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyEditorDoesNothing();
    void noErrorsShowsTheMessage();
    void correctionsReplaceTheText();

private:
    void loadWith(const QString &text, int caret);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MainWindow> m_window;
    QTextEdit *m_editor = nullptr;
};

void tst_SpellController::init()
{
    m_window.reset();
    m_home = std::make_unique<TestHome>(TestHome::StoreAndFont);
    QVERIFY(m_home->isValid());
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_editor = m_window->controls().rtxtTranslated;
    QGuiApplication::clipboard()->setText(u"copied earlier"_s);
}

void tst_SpellController::loadWith(const QString &text, int caret)
{
    m_editor->setEnabled(true);
    m_editor->setPlainText(text);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(caret);
    cursor.setPosition(caret + 2, QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

void tst_SpellController::emptyEditorDoesNothing()
{
    MessageRecorder recorder;
    m_window->runCommand(Command::CheckSpell);
    QVERIFY(recorder.messages.isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"copied earlier"_s);
}

void tst_SpellController::noErrorsShowsTheMessage()
{
    MessageRecorder recorder;
    loadWith(u"<Ovessin>¡Hola, mundo!<Wait>\n¿Qué tal, niño?<Close>"_s, 12);
    m_window->runCommand(Command::CheckSpell);
    QCOMPARE(recorder.texts(), QStringList{SpellMessages::noErrors});
    QCOMPARE(m_editor->toPlainText(), u"<Ovessin>¡Hola, mundo!<Wait>\n¿Qué tal, niño?<Close>"_s);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(m_editor->textCursor().position(), 12);
    QVERIFY(!m_editor->textCursor().hasSelection());
}

void tst_SpellController::correctionsReplaceTheText()
{
    MessageRecorder recorder;
    loadWith(u"<Ovessin>Hoal, mundo.<Wait>\nAdiós."_s, 3);
    // Plays the translator: types the right word and changes.
    QStringList asked;
    QTimer translator;
    translator.setInterval(0);
    connect(&translator, &QTimer::timeout, this, [&asked] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->findChild<QPushButton *>(u"cmdChange"_s))
            return;
        auto *sentence = dialog->findChild<QTextEdit *>(u"txtSentence"_s);
        asked << sentence->textCursor().selectedText();
        dialog->findChild<QLineEdit *>(u"txtChangeTo"_s)->setText(u"Hola"_s);
        dialog->findChild<QPushButton *>(u"cmdChange"_s)->click();
    });
    translator.start();
    m_window->runCommand(Command::CheckSpell);
    translator.stop();

    QCOMPARE(asked, QStringList{u"Hoal"_s});
    QVERIFY(recorder.messages.isEmpty());
    // The text crossed the clipboard as plain text, its line break included.
    QCOMPARE(m_editor->toPlainText(), u"<Ovessin>Hola, mundo.<Wait>\nAdiós."_s);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(m_editor->textCursor().position(), 3);
    auto *controller = m_window->findChild<SpellController *>();
    QCOMPARE(controller->lastErrors().size(), 1);
    QCOMPARE(controller->lastErrors().first().word, u"Hoal"_s);
}

QTEST_MAIN(tst_SpellController)
#include "tst_spellcontroller.moc"
