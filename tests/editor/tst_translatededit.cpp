#include "editor/widgets/translatededit.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QSyntaxHighlighter>
#include <QTextBlock>

using namespace Qt::StringLiterals;

// The editor widget's own part: CR LF positions over the document, the tag
// insertion applied to it, and what reaches the listeners of a key or mouse.
class tst_TranslatedEdit : public QObject
{
    Q_OBJECT

private slots:
    void insertTagKeepsTheSelectionAfterIt();
    void positionsCountCrLf();
    void pastedAndTypedBreaks();
    void typedApostropheBecomesGrave();
    void keyDownComesFirst();
    void formattingIsNotATextChange();
    void editsFollowTheDocument_data();
    void editsFollowTheDocument();
    void keyRedrawsItsLineOnly_data();
    void keyRedrawsItsLineOnly();
    void everyLineLaidOutAfterEdits();
    void mouse();
};

namespace {

void makeBold(QPlainTextEdit &edit, int from, int to)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    edit.setTextCursor(cursor);
}

// Formats every line, as the spell underline does.
class EveryLine : public QSyntaxHighlighter
{
    using QSyntaxHighlighter::QSyntaxHighlighter;
    void highlightBlock(const QString &text) override { setFormat(0, int(text.size()), QColor(Qt::red)); }
};

} // namespace

void tst_TranslatedEdit::insertTagKeepsTheSelectionAfterIt()
{
    TranslatedEdit edit;
    edit.setPlainTextCrLf(u"sword\r\nand shield"_s);
    makeBold(edit, 8, 2);
    QSignalSpy changed(&edit, &TranslatedEdit::translatedTextChanged);
    QVERIFY(edit.insertTag(u"<Delay >"_s));
    QCOMPARE(edit.plainTextCrLf(), u"sw<Delay >ord\r\nand shield"_s);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(edit.caretPosition(), 9);
    QTest::keyClicks(&edit, u"7"_s);
    QCOMPARE(edit.plainTextCrLf(), u"sw<Delay 7>ord\r\nand shield"_s);
    // The link marks go with the old text.
    QTextCursor cursor(edit.document());
    cursor.setPosition(12);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    // One undo step per insertion.
    edit.undo();
    edit.undo();
    QCOMPARE(edit.plainTextCrLf(), u"sword\r\nand shield"_s);
}

void tst_TranslatedEdit::positionsCountCrLf()
{
    TranslatedEdit edit;
    const QString text = u"ab\r\n\r\ncde\r\nf"_s;
    edit.setPlainText(u"ab\n\ncde\nf"_s);
    QCOMPARE(edit.plainTextCrLf(), text);
    for (int p = 0; p <= text.size(); ++p) {
        edit.setCaretPosition(p);
        // Between a CR and its LF is the end of that line.
        QCOMPARE(edit.caretPosition(), p > 0 && text[p - 1] == u'\r' ? p - 1 : p);
    }
    edit.setCaretPosition(999);
    QCOMPARE(edit.caretPosition(), int(text.size()));

    edit.resize(400, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setCaretPosition(7); // the "d" of the third line
    QCOMPARE(edit.characterIndexAt(edit.cursorRect().center() + QPoint(2, 0)), 7);
}

void tst_TranslatedEdit::pastedAndTypedBreaks()
{
    TranslatedEdit edit;
    auto *data = new QMimeData;
    data->setText(u"one\ntwo\r\nthree"_s);
    data->setHtml(u"<b>bold</b>"_s);
    QGuiApplication::clipboard()->setMimeData(data);
    edit.paste();
    QCOMPARE(edit.plainTextCrLf(), u"one\r\ntwo\r\nthree"_s);
    QCOMPARE(edit.caretPosition(), 15);
    // Shift+Return would make a soft break the stored text has no place for.
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&edit, u"x"_s);
    QCOMPARE(edit.plainTextCrLf(), u"one\r\ntwo\r\nthree\r\nx"_s);
}

void tst_TranslatedEdit::typedApostropheBecomesGrave()
{
    TranslatedEdit edit;
    QTest::keyClicks(&edit, u"it's 'ok'"_s);
    QCOMPARE(edit.plainTextCrLf(), u"it`s `ok`"_s);
    edit.setPlainTextCrLf(u"don't"_s); // only typed apostrophes change
    QCOMPARE(edit.plainTextCrLf(), u"don't"_s);
}

void tst_TranslatedEdit::keyDownComesFirst()
{
    TranslatedEdit edit;
    QStringList order;
    connect(&edit, &TranslatedEdit::keyDownLinks, &edit, [&](int key) { order << u"links %1"_s.arg(key); });
    connect(&edit, &TranslatedEdit::keyDown, &edit, [&](int key, Qt::KeyboardModifiers modifiers) {
        order << u"key %1 %2 %3"_s.arg(key).arg(int(modifiers)).arg(edit.plainTextCrLf());
    });
    connect(&edit, &TranslatedEdit::translatedTextChanged, &edit, [&] { order << u"text"_s; });
    QTest::keyClick(&edit, Qt::Key_X);
    QTest::keyClick(&edit, Qt::Key_Left, Qt::AltModifier);
    const int x = Qt::Key_X, alt = Qt::Key_Alt, left = Qt::Key_Left, altModifier = Qt::AltModifier;
    QCOMPARE(order, (QStringList{u"links %1"_s.arg(x), u"key %1 0 "_s.arg(x), u"text"_s, u"links %1"_s.arg(alt),
                                 u"key %1 %2 x"_s.arg(alt).arg(altModifier), u"links %1"_s.arg(left),
                                 u"key %1 %2 x"_s.arg(left).arg(altModifier)}));
}

void tst_TranslatedEdit::formattingIsNotATextChange()
{
    TranslatedEdit edit;
    edit.setPlainTextCrLf(u"one two"_s);
    QSignalSpy changed(&edit, &TranslatedEdit::translatedTextChanged);
    makeBold(edit, 4, 7);
    QCOMPARE(changed.size(), 0);
    QTest::keyClick(&edit, Qt::Key_Z);
    QCOMPARE(changed.size(), 1);
}

void tst_TranslatedEdit::editsFollowTheDocument_data()
{
    // Document positions (a line break is one); `typed` replaces [from, to).
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("typed");
    const QString text = u"first line\r\nsecond\r\n\r\nlast"_s;
    QTest::newRow("insert at the start") << text << 0 << 0 << u"x"_s;
    QTest::newRow("insert in the middle") << text << 14 << 14 << u"yz"_s;
    QTest::newRow("insert at the end") << text << 23 << 23 << u"!"_s;
    QTest::newRow("break at the start") << text << 0 << 0 << u"\n"_s;
    QTest::newRow("break at the end") << text << 23 << 23 << u"\n"_s;
    QTest::newRow("paste of several lines") << text << 5 << 5 << u"a\nb\n\nc"_s;
    QTest::newRow("remove across lines") << text << 3 << 15 << QString();
    QTest::newRow("remove a break") << text << 10 << 11 << QString();
    QTest::newRow("replace across lines") << text << 8 << 20 << u"p\nq"_s;
    QTest::newRow("remove everything") << text << 0 << 23 << QString();
    QTest::newRow("into an empty editor") << QString() << 0 << 0 << u"a\nb"_s;
}

void tst_TranslatedEdit::editsFollowTheDocument()
{
    QFETCH(QString, start);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, typed);
    TranslatedEdit edit;
    edit.setPlainTextCrLf(start);
    const auto whole = [&] {
        QStringList lines;
        for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
            lines << block.text();
        return lines.join(u"\r\n"_s);
    };
    QSignalSpy changed(&edit, &TranslatedEdit::translatedTextChanged);
    QTextCursor cursor(edit.document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.insertText(typed);
    QCOMPARE(edit.plainTextCrLf(), whole());
    QCOMPARE(changed.size(), 1);
    edit.setTextCursor(cursor);
    QTest::keyClick(&edit, Qt::Key_K);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.plainTextCrLf(), whole());
    while (edit.document()->isUndoAvailable())
        edit.undo();
    QCOMPARE(edit.plainTextCrLf(), start);
}

void tst_TranslatedEdit::keyRedrawsItsLineOnly_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("whole"); // the line count changes: everything below moves
    QTest::newRow("a letter typed") << int(Qt::Key_A) << false;
    QTest::newRow("a letter erased") << int(Qt::Key_Backspace) << false;
    QTest::newRow("the line broken") << int(Qt::Key_Return) << true;
}

// The highlighter reformats the edited line on every key; the editor is
// still redrawn from top to bottom only when the lines below move.
void tst_TranslatedEdit::keyRedrawsItsLineOnly()
{
    QFETCH(int, key);
    QFETCH(bool, whole);
    TranslatedEdit edit;
    new EveryLine(edit.document());
    edit.setPlainTextCrLf(u"first line\r\nsecond line\r\nthird line"_s);
    edit.setCaretPosition(16);
    QSignalSpy everything(edit.document()->documentLayout(), &QAbstractTextDocumentLayout::update);
    QTest::keyClick(&edit, Qt::Key(key));
    QCOMPARE(everything.isEmpty(), !whole);
}

// Each line's layout covers the line's text after edits, undos and redos
// that join and split lines: a layout left from before would draw old text.
void tst_TranslatedEdit::everyLineLaidOutAfterEdits()
{
    const QString pieces[] = {u"x"_s, u"\n"_s, u"y\n"_s, u"\nz"_s, u"a b\nc"_s, QString(),
                              u"lorem ipsum dolor sit amet consectetur"_s};
    TranslatedEdit edit;
    edit.resize(200, 300);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    for (int series = 1; series <= 3; ++series) {
        edit.setPlainTextCrLf(u"ab\r\ncd\r\nefghij klmno pqrst uvw\r\nkl"_s);
        QRandomGenerator random(series);
        for (int step = 0; step < 300; ++step) {
            const int what = random.bounded(10);
            if (what == 0) {
                edit.undo();
            } else if (what == 1) {
                edit.redo();
            } else {
                const int length = edit.document()->characterCount() - 1;
                const int from = random.bounded(length + 1);
                QTextCursor cursor(edit.document());
                cursor.setPosition(from);
                cursor.setPosition(from + random.bounded(std::min(12, length - from) + 1), QTextCursor::KeepAnchor);
                cursor.insertText(pieces[random.bounded(7)]);
            }
            QCoreApplication::processEvents(); // the layout's updates
            edit.viewport()->repaint();
            for (QTextBlock line = edit.document()->begin(); line.isValid(); line = line.next()) {
                const QTextLayout *layout = line.layout();
                int laidOut = 0;
                for (int i = 0; i < layout->lineCount(); ++i)
                    laidOut += layout->lineAt(i).textLength();
                if (layout->lineCount() > 0 && laidOut != line.length() - 1)
                    QFAIL(qPrintable(u"step %1: line %2 laid out as %3 characters, holds %4"_s.arg(step).arg(
                        line.blockNumber()).arg(laidOut).arg(line.length() - 1)));
            }
        }
    }
}

void tst_TranslatedEdit::mouse()
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
    QTest::mouseClick(edit.viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(30, 12));
    QCOMPARE(released.size(), 1);
    QCOMPARE(released.first().at(1).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(released.first().at(2).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
}

QTEST_MAIN(tst_TranslatedEdit)
#include "tst_translatededit.moc"
