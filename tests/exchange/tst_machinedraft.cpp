#include "exchange/machinedraft.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QByteArray RealMode = "/usr/share/apertium/modes/eng-spa.mode";
}

class tst_MachineDraft : public QObject
{
    Q_OBJECT

private slots:
    void keptOutAndPutBack_data();
    void keptOutAndPutBack();
    void unknownWordsAreMarked();
    void aLostPieceIsKept();
    void theCaseAfterAPieceFollowsTheOriginal();
    void realEngine_data();
    void realEngine();
    void onlyTheNewestRequestIsAnswered();
    void aBlockOfTagsIsRefused();
};

void tst_MachineDraft::keptOutAndPutBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("tags and line breaks")
        << u"<Pellan>\r\nHi.<Wait><New Page>Go.<End of Block>"_s << QStringList()
        << QStringList{u"<Pellan>"_s, u"\r\n"_s, u"<Wait>"_s, u"<New Page>"_s, u"<End of Block>"_s};
    QTest::newRow("a speaker's name, as a whole word only")
        << u"Pellan saw Pellanor and Pellan."_s << QStringList{u"Pellan"_s} << QStringList{u"Pellan"_s, u"Pellan"_s};
    QTest::newRow("the engine's reserved characters stay text")
        << u"a*b #c @d /e ^f $g {h} ~i \\j [k] 1 < 2"_s << QStringList() << QStringList();
    QTest::newRow("a lone line feed") << u"one\ntwo"_s << QStringList() << QStringList{u"\n"_s};
}

// The engine's output here is its input: what comes back must be the text.
void tst_MachineDraft::keptOutAndPutBack()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QStringList, pieces);
    const EngineInput input = engineInput(text, names);
    QCOMPARE(input.pieces, pieces);
    QCOMPARE(input.text.count(u"[tp"_s), pieces.size());
    const MachineDraft draft = draftFromEngine(input.text, input);
    QCOMPARE(draft.text, text);
    QVERIFY(draft.unknown.empty());
}

void tst_MachineDraft::unknownWordsAreMarked()
{
    const MachineDraft draft = draftFromEngine(u"El *wizzard vio a #Tolm.[tp0]"_s, {{}, {u"<End of Block>"_s}, {}});
    QCOMPARE(draft.text, u"El wizzard vio a Tolm.<End of Block>"_s);
    QCOMPARE(draft.unknown.size(), size_t(2));
    QCOMPARE(draft.text.mid(draft.unknown[0].start, draft.unknown[0].length), u"wizzard"_s);
    QCOMPARE(draft.marked(), u"El *wizzard vio a *Tolm.<End of Block>"_s);
}

void tst_MachineDraft::aLostPieceIsKept()
{
    QCOMPARE(draftFromEngine(u"Hola[tp1]"_s, {{}, {u"<Pellan>"_s, u"<Close>"_s}, {}}).text, u"Hola<Close><Pellan>"_s);
}

// The engine capitalises the word after a kept-out name as if a sentence began.
void tst_MachineDraft::theCaseAfterAPieceFollowsTheOriginal()
{
    const EngineInput input = engineInput(u"Pellan saw it. Tolm Saw it."_s, {u"Pellan"_s, u"Tolm"_s});
    QCOMPARE(draftFromEngine(u"[tp0] Vio. [tp1] Vio.[]"_s, input).text, u"Pellan vio. Tolm Vio."_s);
}

void tst_MachineDraft::realEngine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("starts");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<QString>("holds");
    QTest::addColumn<QString>("unknown");
    QTest::newRow("tags and name in place")
        << u"<Pellan>\r\nHello, my friend.<Wait><New Page>Pellan is here.<End of Block>"_s << u"<Pellan>\r\n"_s
        << u"<End of Block>"_s << u"amigo"_s << QString();
    QTest::newRow("a name opening a sentence") << u"Pellan saw the tavern."_s << u"Pellan vio"_s << u"."_s
                                               << u"taberna"_s << QString();
    QTest::newRow("an unknown word marked") << u"The wizzard went home."_s << QString() << u"."_s << u"casa"_s
                                            << u"wizzard"_s;
}

void tst_MachineDraft::realEngine()
{
    QFETCH(QString, text);
    QFETCH(QString, starts);
    QFETCH(QString, ends);
    QFETCH(QString, holds);
    QFETCH(QString, unknown);
    qputenv("TALLOWPEN_APERTIUM_MODE", RealMode);
    if (const auto missing = machineDraftsMissing())
        QSKIP(qPrintable(*missing));
    ApertiumEngine engine;
    const Result<MachineDraft> drafted = engine.translate(text, {u"Pellan"_s});
    QVERIFY2(drafted, qPrintable(drafted ? QString() : drafted.error().message));
    const MachineDraft &draft = *drafted;
    QVERIFY2(draft.text.startsWith(starts) && draft.text.endsWith(ends) && draft.text.contains(holds),
             qPrintable(draft.text));
    QCOMPARE(draft.text.count(u"Pellan"_s), text.count(u"Pellan"_s));
    QStringList marked;
    for (const MachineDraft::Span &span : draft.unknown)
        marked << draft.text.mid(span.start, span.length);
    QCOMPARE(marked, unknown.isEmpty() ? QStringList() : QStringList{unknown});
}

void tst_MachineDraft::onlyTheNewestRequestIsAnswered()
{
    qputenv("TALLOWPEN_APERTIUM_MODE", RealMode);
    if (const auto missing = machineDraftsMissing())
        QSKIP(qPrintable(*missing));
    MachineDrafts drafts;
    QSignalSpy answered(&drafts, &MachineDrafts::drafted);
    drafts.request(u"Good morning."_s, {});
    drafts.request(u"Good night."_s, {});
    QVERIFY(answered.wait(20000));
    QCOMPARE(answered.size(), 1);
    QCOMPARE(answered.first().first().toString(), u"Good night."_s);
}

void tst_MachineDraft::aBlockOfTagsIsRefused()
{
    MachineDrafts drafts;
    QSignalSpy refused(&drafts, &MachineDrafts::failed);
    drafts.request(u"<Close><End of Block>"_s, {});
    QVERIFY(refused.wait(5000));
    QCOMPARE(refused.first().at(1).toString(), u"This block holds nothing but tags: there is nothing to draft."_s);
}

QTEST_GUILESS_MAIN(tst_MachineDraft)
#include "tst_machinedraft.moc"
