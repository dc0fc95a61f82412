#include "spellfakes.h"
#include "tests/support/tablefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_SpellCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void check_data();
    void check();
    void questionShowsTheSentence();
    void addToDictionary_data();
    void addToDictionary();

private:
    SpellCheckResult run(const QString &folder, const QString &programFolder = QString());

    FakeEditor m_editor;
    FakeClipboard m_clipboard;
    ScriptedDialog m_dialog;
    QStringList m_messages;
    QStringList m_problems;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_SpellCheck::init()
{
    m_editor = FakeEditor();
    m_clipboard.setText(u"something the user copied"_s);
    m_dialog = ScriptedDialog();
    m_messages.clear();
    m_problems.clear();
    m_dir = std::make_unique<QTemporaryDir>();
}

// The check through the Hunspell service with the dictionaries of `folder`.
SpellCheckResult tst_SpellCheck::run(const QString &folder, const QString &programFolder)
{
    SpellerCache cache(programFolder.isEmpty() ? m_dir->path() : programFolder, {folder});
    SpellCheckRequest request;
    request.editor = &m_editor;
    request.clipboard = &m_clipboard;
    request.createService = [&]() -> Result<std::unique_ptr<SpellingService>> {
        auto service = HunspellSpellingService::create(cache, SpanishLanguage, m_clipboard, m_dialog);
        if (!service)
            return service.error();
        (*service)->setProblemHandler([this](const QString &message) { m_problems << message; });
        return std::unique_ptr<SpellingService>(std::move(*service));
    };
    request.inform = [this](const QString &text) { m_messages << text; };
    return checkEditorSpelling(request);
}

void tst_SpellCheck::check_data()
{
    TableFile::addRows(QFINDTESTDATA("data/checks.txt"),
                       {"text", "dictionary", "answers", "after", "asked", "message", "caret"});
}

void tst_SpellCheck::check()
{
    QFETCH(QString, text);
    QFETCH(QString, dictionary);
    QFETCH(QString, answers);
    QFETCH(QString, after);
    QFETCH(QString, asked);
    QFETCH(QString, message);
    QFETCH(QString, caret);
    m_editor.m_text = text;
    m_editor.select(14, 3);
    const QStringList actions{u"IgnoreOnce"_s, u"IgnoreAll"_s, u"AddToDictionary"_s, u"Change"_s, u"ChangeAll"_s,
                              u"Cancel"_s};
    for (const QString &answer : answers.split(u", "_s, Qt::SkipEmptyParts))
        m_dialog.answers.push_back({SpellAnswer::Action(actions.indexOf(answer.section(u' ', 0, 0))), answer.section(u' ', 1)});
    const SpellCheckResult result = run(dictionary == u"tiny" ? QFINDTESTDATA("data/tiny") : m_dir->path());
    QCOMPARE(m_editor.text(), after);
    QCOMPARE(m_dialog.words.join(u' '), asked);
    QCOMPARE(m_messages.size(), message.isEmpty() ? 0 : 1);
    QVERIFY2(message.isEmpty() || m_messages.first().contains(message), qPrintable(m_messages.join(u'\n')));
    // Only a check that started takes the clipboard and the selection.
    const bool started = result.status != SpellCheckResult::EmptyEditor
        && result.status != SpellCheckResult::ServiceFailed;
    QCOMPARE(m_clipboard.text(), started ? QString() : u"something the user copied"_s);
    QCOMPARE(std::pair(m_editor.m_start, m_editor.m_length), std::pair(qsizetype(caret.toInt()), qsizetype(started ? 0 : 3)));
    QVERIFY(!QFile::exists(m_dir->filePath(PersonalWordList::fileName())));
}

void tst_SpellCheck::questionShowsTheSentence()
{
    m_editor.m_text = u"Hola mundo.\r\n¿El espda de la niño? Sí."_s;
    run(QFINDTESTDATA("data/tiny"));
    QCOMPARE(m_dialog.questions.size(), size_t(1));
    const SpellQuestion &question = m_dialog.questions[0];
    QCOMPARE(question.sentence, u"¿El espda de la niño?"_s);
    QCOMPARE(question.sentence.mid(question.wordStart, question.word.size()), u"espda"_s);
    QVERIFY(question.suggestions.contains(u"espada"_s));
}

void tst_SpellCheck::addToDictionary_data()
{
    QTest::addColumn<QString>("programFolder"); // relative to the scratch folder
    QTest::addColumn<QString>("kept");          // the personal list afterwards, or the problem told
    QTest::newRow("kept in the program folder") << QString() << u"Ovessin\n"_s;
    QTest::newRow("an unwritable list is told") << u"gone"_s << u"personal-words.txt"_s;
}

void tst_SpellCheck::addToDictionary()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, kept);
    m_editor.m_text = u"Ovessin y Ovessin"_s;
    m_dialog.answers = {{SpellAnswer::AddToDictionary, {}}, {SpellAnswer::IgnoreOnce, {}}};
    run(QFINDTESTDATA("data/tiny"), m_dir->filePath(programFolder));
    // Known from then on, written or not: the second Ovessin is not asked about.
    QCOMPARE(m_dialog.words, (QStringList{u"Ovessin"_s, u"y"_s}));
    QFile file(m_dir->filePath(PersonalWordList::fileName()));
    if (programFolder.isEmpty()) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), kept);
        QVERIFY(m_problems.isEmpty());
    } else {
        QCOMPARE(m_problems.size(), 1);
        QVERIFY2(m_problems[0].contains(kept), qPrintable(m_problems[0]));
    }
}

QTEST_APPLESS_MAIN(tst_SpellCheck)
#include "tst_spellcheck.moc"
