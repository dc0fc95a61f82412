#include "links/highlight.h"
#include "links/linksmodel.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkhighlighter.h"
#include "links/widgets/linkslistwindow.h"
#include "project/sqlitestore.h"
#include "store/database.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeView>

using namespace Qt::StringLiterals;

// The marking of an editor, the link dialog and the links list, each on a
// scratch store holding one link of "sword".
class tst_LinkWidgets : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void marking_data();
    void marking();
    void markingFollowsKeys_data();
    void markingFollowsKeys();
    void dialog_data();
    void dialog();
    void list_data();
    void list();

private:
    QStringList rows() const;
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
};

namespace {

// Per character: 'B' inside a bold blue mark, '.' outside every mark, '?'
// inside any other; '|' between lines.
QString formatMap(const QPlainTextEdit &editor)
{
    QString map;
    for (QTextBlock block = editor.document()->firstBlock(); block.isValid(); block = block.next()) {
        for (int i = 0; i + 1 < block.length(); ++i) {
            const int at = block.position() + i;
            QChar c = u'.';
            for (const QTextEdit::ExtraSelection &mark : editor.extraSelections()) {
                if (at >= mark.cursor.selectionStart() && at < mark.cursor.selectionEnd()) {
                    const bool bold = mark.format.fontWeight() == QFont::Bold;
                    c = bold && mark.format.foreground().color() == QColor(0, 0, 255) ? u'B' : u'?';
                }
            }
            map += c;
        }
        map += block.next().isValid() ? u"|"_s : QString();
    }
    return map;
}

// The bold blue marks' ranges, in order; an emptied mark is a range too.
QList<std::pair<int, int>> linkRanges(const QPlainTextEdit &editor)
{
    QList<std::pair<int, int>> ranges;
    for (const QTextEdit::ExtraSelection &mark : editor.extraSelections()) {
        if (mark.format.fontWeight() == QFont::Bold && mark.format.foreground().color() == QColor(0, 0, 255))
            ranges.append({mark.cursor.selectionStart(), mark.cursor.selectionEnd()});
    }
    std::sort(ranges.begin(), ranges.end());
    return ranges;
}

} // namespace

void tst_LinkWidgets::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', 'weapon')"_s));
    m_messages = std::make_unique<MessageRecorder>();
}

void tst_LinkWidgets::cleanup()
{
    m_messages.reset();
    m_home.reset();
}

QStringList tst_LinkWidgets::rows() const
{
    Database db;
    QStringList rows;
    for (const LinkRow &link : openStore(db, m_home->storePath()) ? linkRowsFrom(readLinkRows(db).value_or({})) : QList<LinkRow>())
        rows << link.word + u'=' + link.suggestions[0] + u',' + link.suggestions[2] + u',' + link.comment;
    return rows;
}

void tst_LinkWidgets::marking_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caretLine"); // -1: the whole text
    QTest::addColumn<QString>("map");
    QTest::newRow("comma, other case, longer word") << u"Espada, espada Espadas"_s << -1 << u"BBBBBB................"_s;
    QTest::newRow("words with blanks, two lines") << u"x Espada\nGran Espada y"_s << -1 << u"..BBBBBB|BBBBBBBBBBB.."_s;
    QTest::newRow("nothing linked") << u"nada"_s << -1 << u"...."_s;
    QTest::newRow("the caret's line only") << u"Espada\nEspada x\nEspada"_s << 1 << u"BBBBBB|BBBBBB..|BBBBBB"_s;
    QTest::newRow("the caret's line marked as it was") << u"Espada\nnada"_s << 0 << u"BBBBBB|BBBB"_s;
}

void tst_LinkWidgets::marking()
{
    QFETCH(QString, text);
    QFETCH(int, caretLine);
    QFETCH(QString, map);
    QPlainTextEdit editor;
    editor.setPlainText(text);
    // Left over from an earlier marking: the marks of the range marked anew go.
    LinkGlossary stale;
    stale.setWords({u"x"_s, u"nada"_s, u"Espadas"_s, u"Espada"_s});
    highlightLinks(&editor, stale);
    // Marking is no edit of the user's: selection, text, modified flag and
    // undo history stay as they were, and the editor paints again.
    QTextCursor(editor.document()).insertText(u"z "_s);
    QTextCursor selection(editor.document()->findBlockByNumber(std::max(caretLine, 0)));
    selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    editor.setTextCursor(selection);
    editor.document()->setModified(false);
    QSignalSpy changed(&editor, &QPlainTextEdit::textChanged);
    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s, QString(), u"Gran Espada"_s});
    if (caretLine < 0)
        highlightLinks(&editor, glossary);
    else
        highlightLinksInLine(&editor, glossary);
    QCOMPARE(formatMap(editor), u".."_s + map);
    QCOMPARE(std::pair(editor.textCursor().anchor(), editor.textCursor().position()),
             std::pair(selection.anchor(), selection.position()));
    QCOMPARE(changed.size(), 0);
    QVERIFY(!editor.document()->isModified());
    editor.undo();
    QCOMPARE(editor.toPlainText(), text);
    QVERIFY(editor.updatesEnabled());
}

void tst_LinkWidgets::markingFollowsKeys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys"); // '\b' erases the character before the caret
    const QString text = u"Espada x\nnada<New>Gran Espada\nEspada"_s;
    QTest::newRow("start: a linked word typed and erased") << text << 0 << u"Espada \b\b\b\b\b\b\b"_s;
    QTest::newRow("middle: a letter after a linked word, erased") << text << 6 << u"s\bs\b"_s;
    QTest::newRow("middle: a linked word cut and mended") << text << 3 << u"\ba\b\bpa"_s;
    QTest::newRow("end: a word typed after the last link") << text << int(text.size()) << u" Espada\b\b\b"_s;
    QTest::newRow("a page tag erased and typed again") << text << 18 << u"\b\b\b\b\b<New>"_s;
    QTest::newRow("a line joined to a linked line") << text << 9 << u"\b\n"_s;
}

// A key marks the caret's line again, other marks following the edit: after
// every key the marks are those of marking the whole text afresh, whatever
// the keys before left behind.
void tst_LinkWidgets::markingFollowsKeys()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s, u"Gran Espada"_s, u"nada"_s});
    QPlainTextEdit editor;
    editor.setPlainText(text);
    // Another's selection beside the marks, as the checks' underlines are.
    QTextEdit::ExtraSelection underline{QTextCursor(editor.document()), {}};
    underline.cursor.setPosition(7);
    underline.cursor.setPosition(8, QTextCursor::KeepAnchor);
    underline.format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    editor.setExtraSelections({underline});
    highlightLinks(&editor, glossary);
    QTextCursor cursor(editor.document());
    cursor.setPosition(caret);
    for (const QChar key : keys) {
        if (key == u'\b')
            cursor.deletePreviousChar();
        else
            cursor.insertText(QString(key));
        editor.setTextCursor(cursor);
        highlightLinksInLine(&editor, glossary);
        QPlainTextEdit fresh;
        fresh.setPlainText(editor.toPlainText());
        highlightLinks(&fresh, glossary);
        QCOMPARE(linkRanges(editor), linkRanges(fresh));
        QCOMPARE(editor.extraSelections().size(), linkRanges(fresh).size() + 1);
    }
}

void tst_LinkWidgets::dialog_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("storeThere");
    QTest::addColumn<QString>("message"); // the start of the one message shown, if any
    QTest::addColumn<QStringList>("rows");
    const QStringList before{u"sword=espada,,weapon"_s};
    QTest::newRow("add") << u"bow"_s << false << u"arco's"_s << true << QString()
                         << before + QStringList{u"bow=arco`s,x,it`s"_s};
    QTest::newRow("modify") << u"sword"_s << true << u"hoja"_s << true << QString()
                            << QStringList{u"sword=hoja,x,it`s"_s};
    QTest::newRow("first word missing") << u"bow"_s << false << QString() << true
                                        << u"At least write one word please"_s << before;
    QTest::newRow("store refuses: the dialog stays") << u"bow"_s << false << u"arco"_s << false
                                                     << u"The link to \"bow\" could not be saved."_s << before;
}

void tst_LinkWidgets::dialog()
{
    QFETCH(QString, word);
    QFETCH(bool, modify);
    QFETCH(QString, first);
    QFETCH(bool, storeThere);
    QFETCH(QString, message);
    QFETCH(QStringList, rows);
    Database db;
    QVERIFY(!storeThere || openStore(db, m_home->storePath()));
    SqliteStore store(db);
    LinkDialog dialog(store, word, modify);
    dialog.show();
    const LinkFields typed{first, QString(), u"x"_s, QString(), QString(), u"it's"_s};
    dialog.setFields(typed);
    dialog.acceptLink();
    QCOMPARE(m_messages->texts().size(), message.isEmpty() ? 0 : 1);
    QVERIFY(message.isEmpty() || m_messages->texts().first().startsWith(message));
    // Accepted only once written; otherwise open with what was typed.
    QCOMPARE(dialog.linkAccepted(), message.isEmpty());
    QCOMPARE(dialog.isVisible(), !message.isEmpty());
    QCOMPARE(message.isEmpty() ? dialog.acceptedLink() : dialog.fields(), typed);
    QCOMPARE(this->rows(), rows);

    dialog.cancel();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(this->rows(), rows);
}

void tst_LinkWidgets::list_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("a click confirmed in the link dialog") << true;
    QTest::newRow("a click cancelled there") << false;
}

void tst_LinkWidgets::list()
{
    QFETCH(bool, confirm);
    for (const char *word : {"wand", "word", "axe"})
        QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('%1', 'x', '', '', '', '', '')"_s.arg(QLatin1StringView(word))));
    QStringList asked;
    const LinkFields typed{u"palabra"_s, u"voz"_s, QString(), QString(), u"5"_s, u"spoken"_s};
    Database db;
    QVERIFY(openStore(db, m_home->storePath()));
    SqliteStore store(db);
    LinksListWindow list(store, [&](const QString &word) -> std::optional<LinkFields> {
        asked << word;
        return confirm ? std::optional(typed) : std::nullopt;
    });
    QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
    list.resize(900, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QTreeView *view = list.linksView();
    QCOMPARE(view->model()->headerData(5, Qt::Horizontal).toString(), u"Link  5"_s);
    QCOMPARE(view->model()->index(0, LinksModel::CommentColumn).data().toString(), u"weapon"_s);
    QCOMPARE(view->columnWidth(LinksModel::CommentColumn), view->width() / 6);
    // The first word from the top that starts so, letter case aside; a
    // text no word starts with leaves the line where it was.
    QStringList found;
    for (const QString &text : {u"w"_s, u"WO"_s, u"wox"_s}) {
        list.searchBox()->setText(text);
        found << view->currentIndex().siblingAtColumn(0).data().toString();
    }
    QCOMPARE(found, (QStringList{u"wand"_s, u"word"_s, u"word"_s}));

    list.editClickedLink(view->currentIndex().siblingAtColumn(3));
    QCOMPARE(asked, QStringList{u"word"_s});
    const LinkRow rewritten{u"word"_s, {u"palabra"_s, u"voz"_s, {}, {}, u"5"_s}, u"spoken"_s};
    const LinkRow kept{u"word"_s, {u"x"_s}, QString()};
    QCOMPARE(list.model()->link(2), confirm ? rewritten : kept);
    QCOMPARE(changed.size(), confirm ? 1 : 0);
    QCOMPARE(list.model()->link(1).word, u"wand"_s);
}

QTEST_MAIN(tst_LinkWidgets)
#include "tst_linkwidgets.moc"
