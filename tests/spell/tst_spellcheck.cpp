#include "spellfakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SpellAnswer)

namespace {

// Stands in for the service and writes down each step it is taken through.
class RecordingService : public SpellingService
{
public:
    RecordingService(QStringList &log, FakeClipboard &clipboard, int errors)
        : m_log(log)
        , m_clipboard(clipboard)
        , m_errors(errors)
    {
    }
    void setVisible(bool visible) override { m_log << u"Visible=%1"_s.arg(visible); }
    void setWindowState(int state) override { m_log << u"WindowState=%1"_s.arg(state); }
    void addDocument() override { m_log << u"Documents.Add"_s; }
    TextRange range() override
    {
        m_log << u"Range"_s;
        return {};
    }
    TextRange insertAfter(const TextRange &range, const QString &text) override
    {
        m_log << u"InsertAfter:"_s + text;
        return {range.start, range.end + text.size()};
    }
    QList<Misspelling> spellingErrors(const TextRange &) override
    {
        m_log << u"SpellingErrors.Count"_s;
        return QList<Misspelling>(m_errors);
    }
    void paste() override { m_log << u"Paste:"_s + m_clipboard.text(); }
    void activate() override { m_log << u"Activate"_s; }
    bool checkSpelling(int language) override
    {
        m_log << u"CheckSpelling:%1"_s.arg(language);
        return true;
    }
    void copy() override
    {
        m_log << u"Copy"_s;
        m_clipboard.setText(u"corrected"_s);
    }
    void close(int saveChanges) override { m_log << u"Close:%1"_s.arg(saveChanges); }
    void quit(int saveChanges) override { m_log << u"Quit:%1"_s.arg(saveChanges); }
    QString lastError() const override { return {}; }

private:
    QStringList &m_log;
    FakeClipboard &m_clipboard;
    int m_errors;
};

} // namespace

class tst_SpellCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyEditorStartsNothing();
    void stepsInOrder_data();
    void stepsInOrder();
    void noErrorsLeavesTheText();
    void corrections_data();
    void corrections();
    void questionShowsTheSentence();
    void addToDictionaryIsRemembered();
    void unwritablePersonalListIsTold();
    void missingDictionaryTouchesNothing();
    void selectionStartStaysInsideShorterText();

private:
    SpellCheckRequest request(SpellerCache &cache);

    FakeEditor m_editor;
    FakeClipboard m_clipboard;
    ScriptedDialog m_dialog;
    QStringList m_messages;
    int m_created = 0;
};

void tst_SpellCheck::init()
{
    m_editor = FakeEditor();
    m_clipboard.setText(u"something the user copied"_s);
    m_dialog = ScriptedDialog();
    m_messages.clear();
    m_created = 0;
}

SpellCheckRequest tst_SpellCheck::request(SpellerCache &cache)
{
    SpellCheckRequest r;
    r.editor = &m_editor;
    r.clipboard = &m_clipboard;
    r.createService = [this, &cache](QString *error) -> std::unique_ptr<SpellingService> {
        ++m_created;
        return HunspellSpellingService::create(cache, SpanishLanguage, m_clipboard, m_dialog, error);
    };
    r.inform = [this](const QString &text) { m_messages << text; };
    return r;
}

void tst_SpellCheck::emptyEditorStartsNothing()
{
    SpellerCache cache(QString(), {QFINDTESTDATA("data/tiny")});
    const SpellCheckResult result = checkEditorSpelling(request(cache));
    QCOMPARE(result.status, SpellCheckResult::EmptyEditor);
    QCOMPARE(m_created, 0);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_clipboard.text(), u"something the user copied"_s);
}

void tst_SpellCheck::stepsInOrder_data()
{
    QTest::addColumn<int>("errors");
    QTest::addColumn<QStringList>("steps");
    const QStringList start = {u"Visible=0"_s, u"WindowState=2"_s, u"Documents.Add"_s, u"Range"_s,
                               u"InsertAfter:hola mundo"_s, u"SpellingErrors.Count"_s};
    QTest::newRow("errors") << 2
                            << start + QStringList{u"Paste:hola mundo"_s, u"Activate"_s, u"CheckSpelling:1034"_s,
                                                   u"Copy"_s, u"Close:0"_s, u"Quit:0"_s};
    QTest::newRow("no errors") << 0 << start + QStringList{u"Quit:0"_s};
}

void tst_SpellCheck::stepsInOrder()
{
    QFETCH(int, errors);
    QFETCH(QStringList, steps);
    QStringList log;
    m_editor.m_text = u"hola mundo"_s;
    m_editor.select(3, 2);
    SpellCheckRequest r;
    r.editor = &m_editor;
    r.clipboard = &m_clipboard;
    r.createService = [&](QString *) { return std::make_unique<RecordingService>(log, m_clipboard, errors); };
    r.inform = [this](const QString &text) { m_messages << text; };
    checkEditorSpelling(r);
    QCOMPARE(log, steps);
    QCOMPARE(m_editor.text(), errors ? u"corrected"_s : u"hola mundo"_s);
    QCOMPARE(m_messages, errors ? QStringList{} : QStringList{SpellMessages::noErrors});
    QVERIFY(m_clipboard.text().isEmpty());
    QCOMPARE(m_editor.m_start, qsizetype(3));
    QCOMPARE(m_editor.m_length, qsizetype(0));
}

void tst_SpellCheck::noErrorsLeavesTheText()
{
    SpellerCache cache(QString(), {QFINDTESTDATA("data/tiny")});
    m_editor.m_text = u"<Ovessin>¡Hola mundo!<Wait>\r\nEl árbol viejo.<Close>"_s;
    m_editor.select(5, 7);
    const SpellCheckResult result = checkEditorSpelling(request(cache));
    QCOMPARE(result.status, SpellCheckResult::NoErrors);
    QCOMPARE(m_messages, QStringList{SpellMessages::noErrors});
    QCOMPARE(m_editor.text(), u"<Ovessin>¡Hola mundo!<Wait>\r\nEl árbol viejo.<Close>"_s);
    QCOMPARE(m_editor.m_sets, 0);
    QVERIFY(m_dialog.questions.empty());
    QVERIFY(m_clipboard.text().isEmpty());
    QCOMPARE(m_editor.m_start, qsizetype(5));
    QCOMPARE(m_editor.m_length, qsizetype(0));
}

void tst_SpellCheck::corrections_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<SpellAnswer>>("answers");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("asked");

    const QString text = u"hoal mundo, hoal niño. espda"_s;
    QTest::newRow("change each")
        << text
        << QList<SpellAnswer>{{SpellAnswer::Change, u"hola"_s}, {SpellAnswer::Change, u"Hola"_s},
                              {SpellAnswer::Change, u"espada"_s}}
        << u"hola mundo, Hola niño. espada"_s << QStringList{u"hoal"_s, u"hoal"_s, u"espda"_s};
    QTest::newRow("change all")
        << text << QList<SpellAnswer>{{SpellAnswer::ChangeAll, u"hola"_s}, {SpellAnswer::IgnoreOnce, {}}}
        << u"hola mundo, hola niño. espda"_s << QStringList{u"hoal"_s, u"espda"_s};
    QTest::newRow("ignore once asks again")
        << text
        << QList<SpellAnswer>{{SpellAnswer::IgnoreOnce, {}}, {SpellAnswer::IgnoreOnce, {}}, {SpellAnswer::IgnoreOnce, {}}}
        << text << QStringList{u"hoal"_s, u"hoal"_s, u"espda"_s};
    QTest::newRow("ignore all")
        << text << QList<SpellAnswer>{{SpellAnswer::IgnoreAll, {}}, {SpellAnswer::Change, u"espada"_s}}
        << u"hoal mundo, hoal niño. espada"_s << QStringList{u"hoal"_s, u"espda"_s};
    QTest::newRow("cancel keeps what was changed")
        << text << QList<SpellAnswer>{{SpellAnswer::Change, u"hola"_s}, {SpellAnswer::Cancel, {}}}
        << u"hola mundo, hoal niño. espda"_s << QStringList{u"hoal"_s, u"hoal"_s};
    QTest::newRow("a longer replacement is not asked about")
        << u"espda hoal"_s
        << QList<SpellAnswer>{{SpellAnswer::Change, u"espadaxx"_s}, {SpellAnswer::Change, u"hola"_s}}
        << u"espadaxx hola"_s << QStringList{u"espda"_s, u"hoal"_s};
    QTest::newRow("tags survive") << u"<Ovessin>hoal<Wait>\r\nmundo<Close>"_s
                                  << QList<SpellAnswer>{{SpellAnswer::Change, u"hola"_s}}
                                  << u"<Ovessin>hola<Wait>\r\nmundo<Close>"_s << QStringList{u"hoal"_s};
}

void tst_SpellCheck::corrections()
{
    QFETCH(QString, text);
    QFETCH(QList<SpellAnswer>, answers);
    QFETCH(QString, expected);
    QFETCH(QStringList, asked);
    QTemporaryDir dir;
    SpellerCache cache(dir.path(), {QFINDTESTDATA("data/tiny")});
    m_editor.m_text = text;
    m_dialog.answers.assign(answers.begin(), answers.end());
    const SpellCheckResult result = checkEditorSpelling(request(cache));
    QCOMPARE(result.status, SpellCheckResult::Checked);
    QCOMPARE(m_editor.text(), expected);
    QStringList words;
    for (const SpellQuestion &q : m_dialog.questions)
        words << q.word;
    QCOMPARE(words, asked);
    QVERIFY(m_messages.isEmpty());
    QVERIFY(m_clipboard.text().isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(PersonalWordList::fileName())));
}

void tst_SpellCheck::questionShowsTheSentence()
{
    SpellerCache cache(QString(), {QFINDTESTDATA("data/tiny")});
    m_editor.m_text = u"Hola mundo.\r\n¿El espda de la niño? Sí."_s;
    checkEditorSpelling(request(cache));
    QCOMPARE(m_dialog.questions.size(), size_t(1));
    const SpellQuestion &q = m_dialog.questions[0];
    QCOMPARE(q.sentence, u"¿El espda de la niño?"_s);
    QCOMPARE(q.sentence.mid(q.wordStart, q.word.size()), u"espda"_s);
    QVERIFY(q.suggestions.contains(u"espada"_s));
}

void tst_SpellCheck::addToDictionaryIsRemembered()
{
    QTemporaryDir dir;
    {
        SpellerCache cache(dir.path(), {QFINDTESTDATA("data/tiny")});
        m_editor.m_text = u"Ovessin y Ovessin"_s;
        m_dialog.answers = {{SpellAnswer::AddToDictionary, {}}, {SpellAnswer::IgnoreOnce, {}}};
        checkEditorSpelling(request(cache));
        QStringList words;
        for (const SpellQuestion &q : m_dialog.questions)
            words << q.word;
        // Once added, the second Ovessin is known.
        QCOMPARE(words, (QStringList{u"Ovessin"_s, u"y"_s}));
    }
    QFile file(dir.filePath(PersonalWordList::fileName()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("Ovessin\n"));
}

void tst_SpellCheck::unwritablePersonalListIsTold()
{
    QTemporaryDir dir;
    SpellerCache cache(dir.filePath(u"gone"_s), {QFINDTESTDATA("data/tiny")});
    QStringList problems;
    m_editor.m_text = u"Ovessin y Ovessin"_s;
    m_dialog.answers = {{SpellAnswer::AddToDictionary, {}}, {SpellAnswer::IgnoreOnce, {}}};
    SpellCheckRequest r = request(cache);
    r.createService = [&](QString *error) -> std::unique_ptr<SpellingService> {
        auto service = HunspellSpellingService::create(cache, SpanishLanguage, m_clipboard, m_dialog, error);
        service->setProblemHandler([&problems](const QString &message) { problems << message; });
        return service;
    };
    checkEditorSpelling(r);
    QCOMPARE(problems.size(), 1);
    QVERIFY2(problems[0].contains(PersonalWordList::fileName()), qPrintable(problems[0]));
    // Still known for this run: the second Ovessin is not asked about.
    QCOMPARE(m_dialog.questions.size(), size_t(2));
    QCOMPARE(m_dialog.questions[1].word, u"y"_s);
}

void tst_SpellCheck::missingDictionaryTouchesNothing()
{
    QTemporaryDir empty;
    SpellerCache cache(empty.path(), {empty.path()});
    m_editor.m_text = u"hoal mundo"_s;
    m_editor.select(2, 3);
    const SpellCheckResult result = checkEditorSpelling(request(cache));
    QCOMPARE(result.status, SpellCheckResult::ServiceFailed);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].contains(u"apt-get install hunspell-es"_s), qPrintable(m_messages[0]));
    QCOMPARE(m_editor.text(), u"hoal mundo"_s);
    QCOMPARE(m_editor.m_sets, 0);
    QCOMPARE(m_editor.m_start, qsizetype(2));
    QCOMPARE(m_editor.m_length, qsizetype(3));
    QCOMPARE(m_clipboard.text(), u"something the user copied"_s);
}

void tst_SpellCheck::selectionStartStaysInsideShorterText()
{
    SpellerCache cache(QString(), {QFINDTESTDATA("data/tiny")});
    m_editor.m_text = u"hola mundo hoal"_s;
    m_editor.select(14, 0);
    m_dialog.answers = {{SpellAnswer::Change, QString()}};
    checkEditorSpelling(request(cache));
    QCOMPARE(m_editor.text(), u"hola mundo "_s);
    QCOMPARE(m_editor.m_start, qsizetype(11));
}

QTEST_APPLESS_MAIN(tst_SpellCheck)
#include "tst_spellcheck.moc"
