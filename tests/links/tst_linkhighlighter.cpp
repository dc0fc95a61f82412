#include "links/highlight.h"
#include "links/widgets/linkhighlighter.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

// Per character of the document: 'B' bold blue, '.' black and not bold,
// '?' anything else; block separators are left out.
QString formatMap(QTextEdit &editor)
{
    QString map;
    for (QTextBlock block = editor.document()->firstBlock(); block.isValid(); block = block.next()) {
        for (int i = 0; i < block.length() - 1; ++i) {
            QTextCursor cursor(editor.document());
            cursor.setPosition(block.position() + i + 1);
            const QTextCharFormat format = cursor.charFormat();
            const QColor color = format.foreground().color();
            if (format.fontWeight() == QFont::Bold && color == QColor(0, 0, 255))
                map += u'B';
            else if (format.fontWeight() == QFont::Normal && color == QColor(0, 0, 0))
                map += u'.';
            else
                map += u'?';
        }
        if (block.next().isValid())
            map += u'|';
    }
    return map;
}

} // namespace

class tst_LinkHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void marksTheWords_data();
    void marksTheWords();
    void lineVariantLeavesOtherLines();
    void noEditOfTheUser();
};

void tst_LinkHighlighter::marksTheWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("map");
    QTest::newRow("comma, other case, longer word") << u"Espada, espada Espadas"_s << u"BBBBBB................"_s;
    QTest::newRow("two lines") << u"x Espada\nEspada."_s << u"..BBBBBB|BBBBBB."_s;
    QTest::newRow("words with blanks") << u"Gran Espada y"_s << u"BBBBBBBBBBB.."_s;
    QTest::newRow("nothing linked") << u"nada"_s << u"...."_s;
}

void tst_LinkHighlighter::marksTheWords()
{
    QFETCH(QString, text);
    QFETCH(QString, map);
    QTextEdit editor;
    editor.setPlainText(text);
    // Left over from an earlier run: must turn plain again.
    QTextCursor stale(editor.document());
    stale.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    stale.mergeCharFormat(bold);

    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s, QString(), u"Gran Espada"_s});
    highlightLinks(&editor, glossary);
    QCOMPARE(formatMap(editor), map);
}

void tst_LinkHighlighter::lineVariantLeavesOtherLines()
{
    QTextEdit editor;
    editor.setPlainText(u"Espada\nEspada sword\nsword"_s);
    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s});
    highlightLinks(&editor, glossary);
    QCOMPARE(formatMap(editor), u"BBBBBB|BBBBBB......|....."_s);

    glossary.setWords({u"sword"_s});
    QTextCursor caret(editor.document());
    caret.setPosition(9); // inside the second line
    editor.setTextCursor(caret);
    highlightLinksInLine(&editor, glossary);
    QCOMPARE(formatMap(editor), u"BBBBBB|.......BBBBB|....."_s);
}

void tst_LinkHighlighter::noEditOfTheUser()
{
    QTextEdit editor;
    editor.setPlainText(u"una Espada\nEspada"_s);
    QTextCursor selection(editor.document());
    selection.setPosition(8);
    selection.setPosition(2, QTextCursor::KeepAnchor);
    editor.setTextCursor(selection);
    editor.document()->setModified(false);
    QSignalSpy changed(&editor, &QTextEdit::textChanged);

    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s});
    highlightLinks(&editor, glossary);
    highlightLinksInLine(&editor, glossary);

    QCOMPARE(editor.textCursor().anchor(), 8);
    QCOMPARE(editor.textCursor().position(), 2);
    QCOMPARE(changed.size(), 0);
    QVERIFY(!editor.document()->isModified());
    QCOMPARE(editor.document()->availableUndoSteps(), 0);
    QVERIFY(editor.updatesEnabled());
    QCOMPARE(formatMap(editor), u"....BBBBBB|BBBBBB"_s);
}

QTEST_MAIN(tst_LinkHighlighter)
#include "tst_linkhighlighter.moc"
