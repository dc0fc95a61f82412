#include "exchange/machinedraft.h"

#include "editor/tags.h"
#include "memory/blockcontext.h"
#include "memory/blocktext.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

const QString DefaultMode = u"/usr/share/apertium/modes/eng-spa.mode"_s;
// Characters Apertium's stream format reserves; a backslash makes each plain.
const QString Reserved = u"\\[]^$/@<>{}~*#|+"_s;

QString modeFile()
{
    const QString set = qEnvironmentVariable("TALLOWPEN_APERTIUM_MODE");
    return set.isEmpty() ? DefaultMode : set;
}

// The mode file's pipeline with every stage told to answer on each zero
// character ("null flush"), so one process serves every block.
Result<QString> flushingPipeline()
{
    QFile file(modeFile());
    if (!file.open(QIODevice::ReadOnly))
        return Failure{ApertiumInstallHint, {}};
    QString mode = QString::fromUtf8(file.read(64 * 1024)).trimmed();
    mode.replace(u"$1"_s, u"-g"_s).replace(u"$2"_s, QString());
    QStringList stages = mode.split(u'|');
    for (QString &stage : stages) {
        stage = stage.trimmed();
        const qsizetype blank = stage.indexOf(u' ');
        const QString program = stage.left(blank);
        if (QStandardPaths::findExecutable(program).isEmpty())
            return Failure{u"Apertium's program %1 is missing. "_s.arg(program) + ApertiumInstallHint, {}};
        stage = program + u" -z"_s + (blank < 0 ? QString() : stage.mid(blank));
    }
    return stages.join(u" | "_s);
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'\'' || c == u'`';
}

} // namespace

QString MachineDraft::marked() const
{
    QString out = text;
    for (auto it = unknown.rbegin(); it != unknown.rend(); ++it)
        out.insert(it->start, u'*');
    return out;
}

EngineInput engineInput(const QString &shown, const QStringList &names)
{
    EngineInput input;
    // Every piece kept out: tags, line breaks and names, by position.
    struct Cut
    {
        qsizetype start, length;
    };
    std::vector<Cut> cuts;
    for (const TagToken &tag : findTags(shown)) {
        if (tag.closed)
            cuts.push_back({tag.start, tag.length});
    }
    const auto inCut = [&cuts](qsizetype at) {
        return std::any_of(cuts.begin(), cuts.end(), [at](const Cut &c) { return at >= c.start && at < c.start + c.length; });
    };
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == u'\r' || shown[i] == u'\n') {
            if (!inCut(i))
                cuts.push_back({i, shown.mid(i, 2) == u"\r\n" ? 2 : 1});
            if (shown.mid(i, 2) == u"\r\n")
                ++i;
        }
    }
    for (const QString &name : names) {
        if (name.isEmpty())
            continue;
        for (qsizetype at = shown.indexOf(name); at >= 0; at = shown.indexOf(name, at + 1)) {
            const qsizetype end = at + name.size();
            if ((at == 0 || !isWordChar(shown[at - 1])) && (end == shown.size() || !isWordChar(shown[end]))
                && !inCut(at))
                cuts.push_back({at, name.size()});
        }
    }
    std::sort(cuts.begin(), cuts.end(), [](const Cut &a, const Cut &b) { return a.start < b.start; });
    qsizetype at = 0;
    const auto plain = [&input](QStringView text) {
        for (const QChar c : text) {
            if (Reserved.contains(c))
                input.text += u'\\';
            input.text += c;
        }
    };
    for (const Cut &cut : cuts) {
        if (cut.start < at)
            continue;
        plain(QStringView(shown).mid(at, cut.start - at));
        input.text += u"[tp%1]"_s.arg(input.pieces.size());
        input.pieces << shown.mid(cut.start, cut.length);
        at = cut.start + cut.length;
        qsizetype next = at;
        while (next < shown.size() && shown[next] == u' ')
            ++next;
        input.lowerAfter << (next < shown.size() && shown[next].isLower());
    }
    plain(QStringView(shown).mid(at));
    // A blank at the end lets the last sentence end as a sentence.
    input.text += u"[]"_s;
    return input;
}

MachineDraft draftFromEngine(const QString &output, const EngineInput &input)
{
    const QStringList &pieces = input.pieces;
    MachineDraft draft;
    QList<bool> placed(pieces.size(), false);
    qsizetype lowerAt = -1; // where the next letter is to be lower case, as in the original
    for (qsizetype i = 0; i < output.size(); ++i) {
        const QChar c = output[i];
        if (c == u'\\' && i + 1 < output.size()) {
            draft.text += output[++i];
        } else if (c == u'[') {
            const qsizetype close = output.indexOf(u']', i);
            const QString inside = close < 0 ? QString() : output.mid(i + 1, close - i - 1);
            bool number = false;
            const int piece = inside.startsWith(u"tp"_s) ? inside.mid(2).toInt(&number) : -1;
            if (number && piece >= 0 && piece < pieces.size()) {
                draft.text += pieces[piece];
                placed[piece] = true;
                lowerAt = input.lowerAfter.value(piece) ? draft.text.size() : -1;
            }
            i = close < 0 ? output.size() : close;
        } else if ((c == u'*' || c == u'#' || c == u'@') && i + 1 < output.size() && isWordChar(output[i + 1])) {
            qsizetype end = i + 1;
            while (end < output.size() && isWordChar(output[end]))
                ++end;
            draft.unknown.push_back({draft.text.size(), end - i - 1});
            draft.text += output.mid(i + 1, end - i - 1);
            i = end - 1;
        } else if (lowerAt >= 0 && c.isLetter()) {
            draft.text += c.toLower();
            lowerAt = -1;
        } else {
            if (c != u' ')
                lowerAt = -1;
            draft.text += c;
        }
    }
    // A piece the engine lost still belongs to the block: it goes at the end
    // rather than nowhere.
    for (qsizetype p = 0; p < pieces.size(); ++p) {
        if (!placed[p])
            draft.text += pieces[p];
    }
    return draft;
}

QStringList speakerNames(const std::vector<ContextBlock> &blocks)
{
    QStringList names;
    for (const ContextBlock &block : blocks) {
        const QString name = block.speaker.mid(1, block.speaker.size() - 2).trimmed();
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}

std::optional<QString> machineDraftsMissing()
{
    const Result<QString> pipeline = flushingPipeline();
    if (pipeline)
        return std::nullopt;
    return pipeline.error().message;
}

struct ApertiumEngine::Private
{
    QProcess process;
    QByteArray pending;

    Result<Done> start()
    {
        if (process.state() == QProcess::Running)
            return Done{};
        const Result<QString> pipeline = flushingPipeline();
        if (!pipeline)
            return pipeline.error();
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(u"/bin/sh"_s, {u"-c"_s, *pipeline});
        if (!process.waitForStarted(5000))
            return Failure{u"Apertium could not be started: "_s + process.errorString(), {}};
        pending.clear();
        return Done{};
    }
    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.closeWriteChannel();
        if (!process.waitForFinished(2000))
            process.kill(), process.waitForFinished(1000);
    }
};

ApertiumEngine::ApertiumEngine()
    : d(std::make_unique<Private>())
{
}

ApertiumEngine::~ApertiumEngine()
{
    d->stop();
}

Result<MachineDraft> ApertiumEngine::translate(const QString &shown, const QStringList &names, int timeoutMs)
{
    if (comparableText(shown).isEmpty())
        return Failure{u"This block holds nothing but tags: there is nothing to draft."_s, {}};
    if (Result<Done> started = d->start(); !started)
        return started.error();
    const EngineInput input = engineInput(shown, names);
    d->process.write(input.text.toUtf8() + '\0');
    QElapsedTimer clock;
    clock.start();
    qsizetype end = -1;
    while ((end = d->pending.indexOf('\0')) < 0) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !d->process.waitForReadyRead(left)) {
            d->stop();
            return Failure{u"Apertium gave no draft in time; it will be started again for the next block."_s, {}};
        }
        d->pending += d->process.readAllStandardOutput();
    }
    const QString output = QString::fromUtf8(d->pending.left(end));
    d->pending.remove(0, end + 1);
    return draftFromEngine(output, input);
}

struct MachineDrafts::Private
{
    QThread thread;
    QObject *worker = nullptr;
    ApertiumEngine *engine = nullptr; // lives and dies on the thread
};

MachineDrafts::MachineDrafts(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
    , m_latest(std::make_shared<std::atomic<int>>(0))
{
    d->worker = new QObject;
    d->worker->moveToThread(&d->thread);
    connect(&d->thread, &QThread::finished, d->worker, &QObject::deleteLater);
    d->thread.setObjectName(u"machine drafts"_s);
    d->thread.start(QThread::LowPriority);
}

MachineDrafts::~MachineDrafts()
{
    cancel();
    ApertiumEngine **engine = &d->engine;
    QMetaObject::invokeMethod(d->worker, [engine] {
        delete *engine;
        *engine = nullptr;
    }, Qt::BlockingQueuedConnection);
    d->thread.quit();
    d->thread.wait();
}

void MachineDrafts::request(const QString &shown, const QStringList &names)
{
    const int id = ++*m_latest;
    const auto latest = m_latest;
    ApertiumEngine **engine = &d->engine;
    QPointer<MachineDrafts> self(this);
    QMetaObject::invokeMethod(d->worker, [=] {
        if (latest->load() != id)
            return; // a newer block was asked for meanwhile
        if (!*engine)
            *engine = new ApertiumEngine;
        const Result<MachineDraft> draft = (*engine)->translate(shown, names);
        QMetaObject::invokeMethod(self, [=] {
            if (!self || latest->load() != id)
                return;
            if (draft)
                emit self->drafted(shown, *draft);
            else
                emit self->failed(shown, draft.error().message);
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void MachineDrafts::cancel()
{
    ++*m_latest;
}
