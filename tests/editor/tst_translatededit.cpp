#include "editor/widgets/translatededit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using namespace Qt::StringLiterals;

class tst_TranslatedEdit : public QObject
{
    Q_OBJECT

private slots:
    void insertTag_data();
    void insertTag();
    void insertTagDropsLinkMarks();
    void insertTagRefusesPastSixteenBits();
    void typedApostropheBecomesGrave();
    void shiftReturnBreaksTheLine();
    void keyDownOrder();
    void formattingIsNotATextChange();
    void lineServices_data();
    void lineServices();
    void currentLine_data();
    void currentLine();
    void positionsRoundTrip();
    void characterUnderThePoint();
    void pasteKeepsCrLfPositions();
    void mouseSignals();
};

void tst_TranslatedEdit::insertTag_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::newRow("delay at 5 of 10") << u"0123456789"_s << 5 << 0 << u"<Delay >"_s << u"01234<Delay >56789"_s << 12;
    QTest::newRow("space at the start") << u"abc"_s << 0 << 0 << u"<Space >"_s << u"<Space >abc"_s << 7;
    QTest::newRow("opcode after a line break") << u"ab\r\ncd"_s << 6 << 0 << u"<Opcode >"_s
                                               << u"ab\r\ncd<Opcode >"_s << 14;
    QTest::newRow("new at the end") << u"abc"_s << 3 << 0 << u"<New>\r\n"_s << u"abc<New>\r\n"_s << 10;
    QTest::newRow("wait at a line start") << u"ab\r\ncd"_s << 4 << 0 << u"<Wait>\r\n"_s
                                          << u"ab\r\n<Wait>\r\ncd"_s << 12;
    QTest::newRow("close keeps the selected characters") << u"abcdefgh"_s << 2 << 3 << u"<Close><End of Block>"_s
                                                         << u"ab<Close><End of Block>cdefgh"_s << 23;
    QTest::newRow("into an empty editor") << QString() << 0 << 0 << u"<Close><End of Block>"_s
                                          << u"<Close><End of Block>"_s << 21;
}

void tst_TranslatedEdit::insertTag()
{
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    TranslatedEdit edit;
    edit.setPlainTextCrLf(text);
    QTextCursor cursor = edit.rangeCursor(selectionStart, selectionLength);
    edit.setTextCursor(cursor);
    QCOMPARE(edit.caretPosition(), selectionStart);
    QSignalSpy changed(&edit, &TranslatedEdit::translatedTextChanged);
    QVERIFY(edit.insertTag(tag));
    QCOMPARE(edit.plainTextCrLf(), expected);
    QCOMPARE(edit.caretPosition(), caret);
    QCOMPARE(changed.size(), 1);
    // Typing goes on at the caret.
    QTest::keyClicks(&edit, u"7"_s);
    QCOMPARE(edit.plainTextCrLf(), expected.left(caret) + u'7' + expected.mid(caret));
}

void tst_TranslatedEdit::insertTagDropsLinkMarks()
{
    TranslatedEdit edit;
    edit.setPlainTextCrLf(u"sword and shield"_s);
    edit.markRange(0, 5, Qt::red, true);
    QCOMPARE(edit.rangeCursor(1, 1).charFormat().fontWeight(), int(QFont::Bold));
    edit.setCaretPosition(16);
    QVERIFY(edit.insertTag(u"<Wait>\r\n"_s));
    QCOMPARE(edit.rangeCursor(1, 1).charFormat().fontWeight(), int(QFont::Normal));
    // One undo step takes the whole insertion back.
    edit.undo();
    QCOMPARE(edit.plainTextCrLf(), u"sword and shield"_s);
}

void tst_TranslatedEdit::insertTagRefusesPastSixteenBits()
{
    TranslatedEdit edit;
    edit.setPlainTextCrLf(QString(32760, u'a'));
    edit.setCaretPosition(32760);
    QVERIFY(!edit.insertTag(u"<Delay >"_s));
    QCOMPARE(edit.plainTextCrLf().size(), 32760);
    QVERIFY(edit.insertTag(u"<New>"_s));
    QCOMPARE(edit.caretPosition(), 32765);
}

void tst_TranslatedEdit::typedApostropheBecomesGrave()
{
    TranslatedEdit edit;
    QTest::keyClicks(&edit, u"it's 'ok'"_s);
    QCOMPARE(edit.plainTextCrLf(), u"it`s `ok`"_s);
    // Only typed apostrophes change; one that is set stays.
    edit.setPlainTextCrLf(u"don't"_s);
    QCOMPARE(edit.plainTextCrLf(), u"don't"_s);
}

void tst_TranslatedEdit::shiftReturnBreaksTheLine()
{
    TranslatedEdit edit;
    QTest::keyClicks(&edit, u"ab"_s);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&edit, u"c"_s);
    QCOMPARE(edit.plainTextCrLf(), u"ab\r\nc"_s);
    QCOMPARE(edit.caretPosition(), 5);
}

void tst_TranslatedEdit::keyDownOrder()
{
    TranslatedEdit edit;
    QStringList order;
    QString textAtKeyDown;
    connect(&edit, &TranslatedEdit::keyDownLinks, &edit, [&](int key, Qt::KeyboardModifiers) {
        order << u"links %1"_s.arg(key);
    });
    connect(&edit, &TranslatedEdit::keyDown, &edit, [&](int key, Qt::KeyboardModifiers modifiers) {
        order << u"key %1 %2"_s.arg(key).arg(int(modifiers));
        textAtKeyDown = edit.plainTextCrLf();
    });
    connect(&edit, &TranslatedEdit::translatedTextChanged, &edit, [&] { order << u"text"_s; });
    QTest::keyClick(&edit, Qt::Key_X);
    QTest::keyClick(&edit, Qt::Key_Left, Qt::AltModifier);
    // The Alt key itself comes down first, like every other key.
    QCOMPARE(order, (QStringList{u"links %1"_s.arg(int(Qt::Key_X)), u"key %1 0"_s.arg(int(Qt::Key_X)), u"text"_s,
                                 u"links %1"_s.arg(int(Qt::Key_Alt)),
                                 u"key %1 %2"_s.arg(int(Qt::Key_Alt)).arg(int(Qt::AltModifier)),
                                 u"links %1"_s.arg(int(Qt::Key_Left)),
                                 u"key %1 %2"_s.arg(int(Qt::Key_Left)).arg(int(Qt::AltModifier))}));
    // Key down sees the text before the key changes it.
    QCOMPARE(textAtKeyDown, u"x"_s);
    QTest::keyClick(&edit, Qt::Key_Y);
    QCOMPARE(textAtKeyDown, u"x"_s);
}

void tst_TranslatedEdit::formattingIsNotATextChange()
{
    TranslatedEdit edit;
    edit.setPlainTextCrLf(u"one two"_s);
    QSignalSpy changed(&edit, &TranslatedEdit::translatedTextChanged);
    edit.markRange(4, 3, Qt::blue, true);
    QCOMPARE(changed.size(), 0);
    QTest::keyClick(&edit, Qt::Key_Z);
    QCOMPARE(changed.size(), 1);
}

void tst_TranslatedEdit::lineServices_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");
    // Text: "first" CR LF CR LF "third line"
    QTest::newRow("first line") << 0 << 0 << u"first"_s;
    QTest::newRow("empty line") << 1 << 7 << QString();
    QTest::newRow("last line") << 2 << 9 << u"third line"_s;
    QTest::newRow("after the last") << 3 << -1 << QString();
    QTest::newRow("negative") << -1 << -1 << QString();
}

void tst_TranslatedEdit::lineServices()
{
    QFETCH(int, line);
    QFETCH(int, start);
    QFETCH(QString, text);
    TranslatedEdit edit;
    edit.setPlainTextCrLf(u"first\r\n\r\nthird line"_s);
    QCOMPARE(edit.LineStart(line), start);
    QCOMPARE(edit.LineText(line), text);
    if (start >= 0) {
        QCOMPARE(edit.LineLengthAt(start), text.size());
        QCOMPARE(edit.LineLengthAt(start + int(text.size())), text.size()); // on its carriage return
    }
}

void tst_TranslatedEdit::currentLine_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::newRow("start of text") << 0 << 0 << 0 << 5 << u"first"_s;
    QTest::newRow("end of first line") << 5 << 0 << 0 << 5 << u"first"_s;
    QTest::newRow("on the empty line") << 7 << 1 << 7 << 0 << QString();
    QTest::newRow("inside the last line") << 12 << 2 << 9 << 10 << u"third line"_s;
    QTest::newRow("end of text") << 19 << 2 << 9 << 10 << u"third line"_s;
}

void tst_TranslatedEdit::currentLine()
{
    QFETCH(int, caret);
    QFETCH(int, number);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, text);
    TranslatedEdit edit;
    edit.setPlainTextCrLf(u"first\r\n\r\nthird line"_s);
    edit.setCaretPosition(caret);
    QCOMPARE(edit.caretPosition(), caret);
    QCOMPARE(edit.CurrentLineNumber(), number);
    QCOMPARE(edit.CurrentLineStart(), start);
    QCOMPARE(edit.CurrentLineLength(), length);
    QCOMPARE(edit.CurrentLineText(), text);
}

void tst_TranslatedEdit::positionsRoundTrip()
{
    TranslatedEdit edit;
    const QString text = u"ab\r\n\r\ncde\r\nf"_s;
    edit.setPlainTextCrLf(text);
    QCOMPARE(edit.plainTextCrLf(), text);
    for (int p = 0; p <= text.size(); ++p) {
        const int document = edit.documentPosition(p);
        if (p > 0 && text[p - 1] == u'\r') {
            // Between a CR and its LF: the end of that line.
            QCOMPARE(edit.crLfPosition(document), p - 1);
        } else {
            QCOMPARE(edit.crLfPosition(document), p);
        }
    }
    QCOMPARE(edit.documentPosition(-5), 0);
    QCOMPARE(edit.documentPosition(999), edit.document()->characterCount() - 1);

    // Text set through the plain QTextEdit interface reads back the same.
    edit.setPlainText(text);
    QCOMPARE(edit.plainTextCrLf(), text);
}

void tst_TranslatedEdit::characterUnderThePoint()
{
    TranslatedEdit edit;
    edit.resize(400, 200);
    edit.setPlainTextCrLf(u"alpha\r\nbeta gamma"_s);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QTextCursor cursor(edit.document());
    cursor.setPosition(edit.documentPosition(13)); // the "g" of gamma
    const QRect box = edit.cursorRect(cursor);
    QCOMPARE(edit.characterIndexAt(box.center() + QPoint(2, 0)), 13);
}

void tst_TranslatedEdit::pasteKeepsCrLfPositions()
{
    TranslatedEdit edit;
    auto *data = new QMimeData;
    data->setText(u"one\ntwo\r\nthree"_s);
    data->setHtml(u"<b>bold</b>"_s);
    QGuiApplication::clipboard()->setMimeData(data);
    edit.paste();
    QCOMPARE(edit.plainTextCrLf(), u"one\r\ntwo\r\nthree"_s);
    QCOMPARE(edit.caretPosition(), 15);
    QCOMPARE(edit.document()->blockCount(), 3);
}

void tst_TranslatedEdit::mouseSignals()
{
    TranslatedEdit edit;
    edit.resize(300, 120);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QSignalSpy moved(&edit, &TranslatedEdit::mouseMoved);
    QSignalSpy released(&edit, &TranslatedEdit::mouseReleased);
    QTest::mouseMove(edit.viewport(), QPoint(20, 10));
    QTRY_VERIFY(!moved.isEmpty());
    QCOMPARE(moved.last().at(0).toPoint(), QPoint(20, 10));
    QTest::mousePress(edit.viewport(), Qt::RightButton, {}, QPoint(30, 12));
    QTest::mouseRelease(edit.viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(30, 12));
    QCOMPARE(released.size(), 1);
    QCOMPARE(released.first().at(1).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(released.first().at(2).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
}

QTEST_MAIN(tst_TranslatedEdit)
#include "tst_translatededit.moc"
