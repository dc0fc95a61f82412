#include "tests/support/clirun.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

// The real tallowpen-cli run as other programs run it: how each command reads
// its words, the shape of what it prints and the status it exits with. The
// rules behind the commands are the libraries' tests' business.
class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void run_data();
    void run();
    void renderDrawsTheBlockAtItsSize();

private:
    CliRun cli(QStringList arguments) const;
    void writeFile(const QString &name, const QByteArray &bytes) const;
    bool behindTheProgramsBack(const QString &statement) const;
    std::unique_ptr<TestHome> m_home;
};

namespace {

// One run. `@` in any text stands for the program folder. `out` is the whole
// of stdout; `err` a part of stderr, or empty for none. `then` runs next (and
// must succeed) to show what the first run stored.
struct Case
{
    const char *name = nullptr;
    QStringList arguments = {};
    int status = 0;
    QByteArray out = {};
    QString err = {};
    QStringList setup = {}; // statements run on the store first; "no store" removes it
    QStringList then = {};
    QByteArray thenOut = {};
    QString file = {}; // a file the run must leave
    QByteArray fileBytes = {}; // and its bytes, when given
};

void addCase(const Case &c)
{
    QTest::newRow(c.name) << c.arguments << c.status << c.out << c.err << c.setup << c.then << c.thenOut << c.file
                          << c.fileBytes;
}

QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray joined;
    for (const char *line : list)
        joined += QByteArray(line) + '\n';
    return joined;
}

const char *const Sword = R"({"word": "sword", "suggestions": ["espada", "", "", "", ""], "comment": ""})";
const char *const Bow = R"({"word": "bow", "suggestions": ["\"arco\"", "", "", "", ""], "comment": "old"})";
const QString NoBlocks[] = {u"DELETE FROM field"_s, u"DELETE FROM battle_script"_s};

} // namespace

// Through SQLite itself, as a broken or foreign store would be changed: the
// program's own connection refuses to change the layout.
bool tst_Cli::behindTheProgramsBack(const QString &statement) const
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(m_home->storePath().toUtf8().constData(), &db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

CliRun tst_Cli::cli(QStringList arguments) const
{
    arguments.replaceInStrings(u"@"_s, m_home->path());
    return runCli(m_home->path(), arguments);
}

void tst_Cli::writeFile(const QString &name, const QByteArray &bytes) const
{
    QVERIFY(QDir(m_home->path()).mkpath(QFileInfo(name).path()));
    QFile file(m_home->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Three blocks (two of them translated), two links, and the files the
// commands read: script folders to import (one with a block number past 16
// bits), a links file, a text with mixed line ends, a small Spanish
// dictionary.
void tst_Cli::init()
{
    m_home = std::make_unique<TestHome>();
    QVERIFY(m_home->isValid());
    const QString insert = u"INSERT INTO %1 VALUES (%2)"_s;
    for (const QString &row : {
             insert.arg(u"field"_s,
                        u"'town`s.txt', 32767, 'It`s late.', 56, 2, 'a note', 1, 1, 'Es \"tarde\".', 0, 0"_s),
             insert.arg(u"field"_s, u"'town`s.txt', 2, 'Bye.', 56, 2, '', 0, 0, '', 40, 1"_s),
             insert.arg(u"battle_script"_s, u"'b.txt', 5, 'Go!', 20, 1, '', 1, 0, 'Ya ¿no?', 0, 0"_s),
             insert.arg(u"suggestion"_s, u"'sword', 'espada', '', '', '', '', ''"_s),
             insert.arg(u"suggestion"_s, u"'bow', '\"arco\"', '', '', '', '', 'old'"_s),
         }) {
        QVERIFY2(m_home->execute(row), qPrintable(row));
    }
    for (const QString &base : {u"scripts/"_s, u"translated/"_s, u"broken/"_s}) {
        for (const QString &folder : {u"battling_arena"_s, u"battle_script"_s, u"field"_s})
            QVERIFY(QDir(m_home->path()).mkpath(base + folder));
    }
    writeFile(u"scripts/field/new.txt"_s, "<TextBlock 1 w:24 h:2>\r\nHi.<End of Block>\r\n");
    writeFile(u"translated/battle_script/b.txt"_s, "<TextBlock 5 w:1 h:1>\r\nAdi\xf3s.<End of Block>\r\n");
    writeFile(u"broken/field/x.txt"_s, "<TextBlock 99999 w:1 h:1>\r\n<End of Block>\r\n");
    writeFile(u"links.txt"_s, "axe, hacha\r\n");
    writeFile(u"text.txt"_s, "sword x\r\nthe bow\nend");
    writeFile(u"dict/es_ES.aff"_s, "SET UTF-8\nTRY aeiosndl\n");
    writeFile(u"dict/es_ES.dic"_s, "3\nhola\nespada\nmundo\n");
}

void tst_Cli::run_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QStringList>("then");
    QTest::addColumn<QByteArray>("thenOut");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("fileBytes");

    // Before any command.
    addCase({"no command", {}, 2, {}, u"Usage: tallowpen-cli"_s});
    addCase({"unknown command", {u"frobnicate"_s}, 2, {}, u"Unknown command frobnicate"_s});
    addCase({"unknown global option", {u"--colour"_s, u"tree"_s}, 2, {}, u"Unknown option --colour"_s});
    addCase({"option unknown to the command", {u"links"_s, u"--colour"_s}, 2, {}, u"colour"_s});
    addCase({"a word too many", {u"tree"_s, u"x"_s}, 2, {}, u"Wrong number of arguments for tree"_s});
    addCase({"no store", {u"tree"_s}, 1, {}, u"Required file 'tallowpen.db' is not in the program folder"_s,
             {u"no store"_s}});

    addCase({"init by --home=", {u"--home=@/new"_s, u"init"_s}, 0, "Created @/new/tallowpen.db\n", {}, {},
             {u"--home=@/new"_s, u"links"_s}, {}});
    addCase({"init refuses a store", {u"init"_s}, 1, {}, u"already exists"_s});

    addCase({"search", {u"search"_s, u"TARDE"_s}, 0,
             lines({R"({"block": 32767, "script": "town`s.txt", "folder": "field", "text": "Es \"tarde\"."})"}),
             u"End of the search"_s});
    addCase({"search in an unknown place", {u"search"_s, u"tarde"_s, u"--in"_s, u"notes"_s}, 2, {}, u"--in takes"_s});
    addCase({"search meets a store without its table", {u"search"_s, u"tarde"_s}, 1, {}, u"no such table"_s,
             {u"DROP TABLE field"_s}});

    addCase({"suggest with a limit of none", {u"suggest"_s, u"field"_s, u"0012.txt"_s, u"1"_s, u"--limit"_s, u"0"_s},
             2, {}, u"--limit takes a whole number"_s});
    addCase({"stats of an unknown folder", {u"stats"_s, u"--folder"_s, u"notes"_s}, 2, {}, u"Unknown folder notes"_s});

    addCase({"spell", {u"spell"_s, u"--text"_s, u"hola espda"_s}, 0,
             lines({"1", R"({"start": 5, "length": 5, "word": "espda", "suggestions": ["espada"]})"})});
    addCase({"spell in no language", {u"spell"_s, u"--text"_s, u"hola"_s, u"--language"_s, u"es"_s}, 2, {},
             u"--language takes a language number"_s});

    addCase({"links", {u"links"_s}, 0, lines({Sword, Bow})});
    addCase({"links-import", {u"links-import"_s, u"@/links.txt"_s}, 0, "Links file imported!\n", {}, {},
             {u"links"_s},
             lines({Sword, Bow, R"({"word": "axe", "suggestions": ["hacha", "", "", "", ""], "comment": ""})"})});
    addCase({"links-import of a line without comma", {u"links-import"_s, u"@/text.txt"_s}, 1, {}, u"5Line 1 "_s});

    QStringList five{u"link-set"_s, u"axe"_s, u"--comment"_s, u"it's"_s};
    for (const QString &suggestion : {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s})
        five << u"--suggest"_s << suggestion;
    addCase({"link-set with five suggestions", five, 0, {}, {}, {}, {u"links"_s},
             lines({Sword, Bow, R"({"word": "axe", "suggestions": ["a", "b", "c", "d", "e"], "comment": "it`s"})"})});
    addCase({"link-set with six suggestions", five + QStringList{u"--suggest"_s, u"f"_s}, 2, {},
             u"At most five --suggest."_s});
    addCase({"link-set without a suggestion", {u"link-set"_s, u"axe"_s, u"--comment"_s, u"x"_s}, 1, {},
             u"At least write one word please"_s});

    addCase({"link-erase", {u"link-erase"_s, u"sword"_s}, 0, {}, {}, {}, {u"links"_s}, lines({Bow})});
    // A word can never widen the statement that erases its links.
    addCase({"link-erase of a hostile word", {u"link-erase"_s, u"x' OR 'a'='a"_s}, 0, {}, {}, {}, {u"links"_s},
             lines({Sword, Bow})});

    // Positions count the CR LF the editor holds for every line end.
    addCase({"word-at", {u"word-at"_s, u"--text-file"_s, u"@/text.txt"_s, u"12"_s}, 0,
             lines({R"({"word": "the", "wordStart": 10})"})});
    addCase({"word-at a position that is no number", {u"word-at"_s, u"--text"_s, u"a"_s, u"one"_s}, 2, {},
             u"POS must be a whole number."_s});
    addCase({"word-at without a text", {u"word-at"_s, u"1"_s}, 2, {}, u"Give either --text or --text-file."_s});
    addCase({"highlight", {u"highlight"_s, u"--text-file"_s, u"@/text.txt"_s, u"--line"_s, u"1"_s}, 0,
             lines({R"({"start": 13, "length": 3, "word": "bow"})"})});
    addCase({"highlight past the last line", {u"highlight"_s, u"--text"_s, u"a"_s, u"--line"_s, u"1"_s}, 2, {},
             u"--line must name a line of the text (0 to 0)."_s});

    addCase({"render", {u"render"_s, u"--size"_s, u"5"_s, u"1"_s, u"--text"_s, u"a"_s, u"--out"_s, u"@/a.png"_s}, 0,
             {}, {}, {}, {}, {}, u"a.png"_s});
    addCase({"render without a size", {u"render"_s, u"--out"_s, u"@/a.png"_s}, 2, {}, u"Wrong number of arguments"_s});
    addCase({"render with a missing font", {u"render"_s, u"--size"_s, u"5"_s, u"1"_s, u"--font"_s, u"@/none"_s,
                                            u"--out"_s, u"@/a.png"_s},
             1, {}, u"Cannot read the font image @/none."_s});

    // The file name is given as typed and stored with a grave accent.
    addCase({"block", {u"block"_s, u"field"_s, u"town's.txt"_s, u"32767"_s}, 0,
             lines({R"({"caption": "[field] - [town`s.txt] - [32767]", "original": "It's late.", )"
                    R"("translation": "Es \"tarde\".", "comment": "a note", "revised": 1, "revisedEnabled": true, )"
                    R"("width": 56, "height": 2})"})});
    addCase({"block number past 16 bits", {u"block"_s, u"field"_s, u"town's.txt"_s, u"32768"_s}, 2, {},
             u"The block number 32768 is not a whole number from -32768 to 32767."_s});
        
    const QStringList secondBlock{u"block"_s, u"field"_s, u"town's.txt"_s, u"2"_s};
    addCase({"save", {u"save"_s, u"field"_s, u"town's.txt"_s, u"2"_s, u"--translation"_s, u"It's\nhere"_s,
                      u"--comment"_s, u"c"_s, u"--revised"_s, u"1"_s},
             0, lines({R"({"text": "2[c]", "image": 7, "status": ">Translation status: 100% translated"})"}), {},
             {}, secondBlock,
             lines({R"({"caption": "[field] - [town`s.txt] - [2]", "original": "Bye.", "translation": "It's\r\nhere", )"
                    R"("comment": "c", "revised": 1, "revisedEnabled": true, "width": 40, "height": 1})"})});
    addCase({"save with revised neither 0 nor 1",
             {u"save"_s, u"field"_s, u"town's.txt"_s, u"2"_s, u"--revised"_s, u"yes"_s}, 2, {},
             u"--revised takes 0 or 1."_s});
    addCase({"resize", {u"resize"_s, u"field"_s, u"town's.txt"_s, u"2"_s, u"right"_s, u"DOWN"_s}, 0,
             lines({R"({"width": 42, "height": 2})"}), {}, {}, secondBlock,
             lines({R"({"caption": "[field] - [town`s.txt] - [2]", "original": "Bye.", "translation": "", )"
                    R"("comment": "", "revised": 0, "revisedEnabled": false, "width": 42, "height": 2})"})});
    addCase({"resize with an unknown key", {u"resize"_s, u"field"_s, u"town's.txt"_s, u"2"_s, u"sideways"_s}, 2, {},
             u"Unknown key sideways"_s});

    addCase({"export-list", {u"export-list"_s, u"--folder"_s, u"field"_s}, 0,
             lines({R"({"script": "town`s.txt", "folder": "field", "overview": "Es \"tarde\"."})"})});
    addCase({"export-list of an unknown folder", {u"export-list"_s, u"--folder"_s, u"attic"_s}, 2, {},
             u"Unknown folder attic"_s});
    addCase({"export", {u"export"_s, u"--include-untranslated"_s, u"town`s.txt"_s}, 0,
             " 1 scripts were exported, check the 'Translated' folder at the application path\n", {}, {}, {}, {},
             u"Translated/field/town`s.txt"_s,
             "<TextBlock 2 w:40 h:1>\r\nBye.\r\n<TextBlock 32767 w:56 h:2>\r\nEs \"tarde\".\r\n"});
    addCase({"export of nothing named", {u"export"_s}, 2, {}, u"Give --all or the scripts to export, not both."_s});
    addCase({"view in Windows-1252", {u"view"_s, u"battle_script"_s, u"b.txt"_s}, 0,
             "<TextBlock 5 w:20 h:1>\r\nYa \xbfno?\r\n"});
    addCase({"view of an unknown table", {u"view"_s, u"attic"_s, u"b.txt"_s}, 2, {}, u"Unknown table attic"_s});

    addCase({"import-original", {u"import-original"_s, u"--yes"_s, u"@/scripts"_s}, 0,
             "All the scripts were imported.\n", u"Importing file... field\\new.txt"_s, {},
             {u"status"_s}, ">Translation status: 0% translated\n"});
    addCase({"import-original into a filled store", {u"import-original"_s, u"@/scripts"_s}, 1, {},
             u"The Original scripts already exist."_s});
    addCase({"import-translated", {u"import-translated"_s, u"@/translated"_s}, 0,
             "All the translated scripts were imported.\n", u"Importing file... battle_script\\b.txt"_s, {},
             {u"view"_s, u"battle_script"_s, u"b.txt"_s}, "<TextBlock 5 w:20 h:1>\r\nAdi\xf3s.<End of Block>\r\n"});
    addCase({"import-translated stops at a bad block", {u"import-translated"_s, u"@/broken"_s}, 1,
             "A fatal error happened while the script files were imported.\n", u"field\\x.txt, line 1"_s});
        const QByteArray tree =
             lines({R"({"key": "Root", "parent": null, "text": "Scripts", "image": 1})",
                    R"({"key": "battling_arena", "parent": "Root", "text": "battling_arena", "image": 2})",
                    R"({"key": "battle_script", "parent": "Root", "text": "battle_script", "image": 2})",
                    R"({"key": "b.txt", "parent": "battle_script", "text": "b.txt", "image": 3})",
                    R"({"key": "battle_script:b.txt;5", "parent": "b.txt", "text": "5", "image": 5})",
                    R"({"key": "field", "parent": "Root", "text": "field", "image": 2})",
                    R"({"key": "town`s.txt", "parent": "field", "text": "town`s.txt", "image": 3})",
                    R"({"key": "field:town`s.txt;32767", "parent": "town`s.txt", "text": "32767[c]", "image": 7})",
                    R"({"key": "field:town`s.txt;2", "parent": "town`s.txt", "text": "2", "image": 4})"});
    addCase({"tree", {u"tree"_s}, 0, tree});
    addCase({"status", {u"status"_s}, 0, ">Translation status: 67% translated\n"});
    addCase({"status of a store without blocks", {u"status"_s}, 1, {}, u"The store holds no blocks yet"_s,
             {std::begin(NoBlocks), std::end(NoBlocks)}});
    addCase({"suggest", {u"suggest"_s, u"field"_s, u"town's.txt"_s, u"3"_s}, 0,
             lines({R"({"table": "field", "file_name": "town`s.txt", "dialogue_id": 32767, "similarity": 90, )"
                    R"("original": "It's late.", "translation": "Es \"tarde\"."})"}),
             {}, {u"INSERT INTO field (file_name, dialogue_id, text_data) VALUES ('town`s.txt', 3, 'It`s late!')"_s}});
    addCase({"stats", {u"stats"_s}, 0,
             lines({R"({"table": "battle_script", "file_name": "b.txt", "blocks": 1, "translated": 1, "revised": 0, )"
                    R"("words": 1, "words_translated": 1, "characters": 3, "characters_translated": 3})",
                    R"({"table": "field", "file_name": "town`s.txt", "blocks": 2, "translated": 1, "revised": 1, )"
                    R"("words": 3, "words_translated": 2, "characters": 13, "characters_translated": 9})",
                    R"({"table": "", "file_name": "", "blocks": 3, "translated": 2, "revised": 1, )"
                    R"("words": 4, "words_translated": 3, "characters": 16, "characters_translated": 12})"})});
}

void tst_Cli::run()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    QFETCH(QStringList, setup);
    QFETCH(QStringList, then);
    QFETCH(QByteArray, thenOut);
    QFETCH(QString, file);
    QFETCH(QByteArray, fileBytes);
    for (const QString &statement : std::as_const(setup)) {
        if (statement == u"no store")
            QVERIFY(QFile::remove(m_home->storePath()));
        else
            QVERIFY2(behindTheProgramsBack(statement), qPrintable(statement));
    }
    const QByteArray home = m_home->path().toUtf8();
    const CliRun run = cli(arguments);
    QVERIFY2(run.status == status, qPrintable(run.err));
    QCOMPARE(run.bytes, out.replace('@', home));
    if (err.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.contains(err.replace(u'@', m_home->path())), qPrintable(run.err));
    if (!file.isEmpty()) {
        QFile left(m_home->filePath(file));
        QVERIFY2(left.open(QIODevice::ReadOnly), qPrintable(file));
        if (!fileBytes.isNull())
            QCOMPARE(left.readAll(), fileBytes);
    }
    if (!then.isEmpty()) {
        const CliRun next = cli(then);
        QVERIFY2(next.status == 0, qPrintable(next.err));
        QCOMPARE(next.bytes, thenOut);
    }
}

// The block's own window size and translation reach the preview.
void tst_Cli::renderDrawsTheBlockAtItsSize()
{
    QVERIFY(cli({u"render"_s, u"--block"_s, u"field"_s, u"town's.txt"_s, u"32767"_s, u"--out"_s, u"@/block.png"_s})
                .status == 0);
    QVERIFY(cli({u"render"_s, u"--size"_s, u"56"_s, u"2"_s, u"--text"_s, u"Es \"tarde\"."_s, u"--out"_s,
                 u"@/size.png"_s}).status == 0);
    const QImage block(m_home->filePath(u"block.png"_s));
    QVERIFY(!block.isNull());
    QCOMPARE(block, QImage(m_home->filePath(u"size.png"_s)));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
