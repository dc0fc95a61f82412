#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "store/result.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

struct ContextBlock;

// A draft of a block's translation by Apertium's English to Spanish pair,
// offline. The game's tags, its line breaks and the speakers' names never
// reach the engine: each goes in as a numbered blank the engine passes on
// untouched, and is put back in its place after. Words the engine does not
// know come back marked ("*word").
struct MachineDraft
{
    QString text; // the draft as the editors show it, marks taken out
    struct Span
    {
        qsizetype start = 0;
        qsizetype length = 0;
    };
    std::vector<Span> unknown; // the unknown words in `text`
    QString marked() const;    // the text with "*" before each unknown word
};
Q_DECLARE_METATYPE(MachineDraft)

// The engine's input for a block and the pieces kept out of it.
struct EngineInput
{
    QString text; // Apertium's stream format
    QStringList pieces;
    // Whether the word after each piece starts in lower case: the engine
    // takes a kept-out name for a sentence's end and capitalises what follows.
    QList<bool> lowerAfter;
};
EngineInput engineInput(const QString &shown, const QStringList &names);
// The engine's output with the pieces put back and the marks read.
MachineDraft draftFromEngine(const QString &output, const EngineInput &input);

// The names the blocks around one speak with ("<Pellan>" gives "Pellan").
QStringList speakerNames(const std::vector<ContextBlock> &blocks);

// The sentence to show when the engine is not there; nullopt when it is.
// TALLOWPEN_APERTIUM_MODE names another mode file (for tests and other installs).
std::optional<QString> machineDraftsMissing();
inline const QString ApertiumInstallHint =
    QStringLiteral("Machine drafts need Apertium's English to Spanish pair. Install it with: "
                   "sudo apt install apertium-eng-spa");

// The engine's pipeline, started once and kept running: a start costs the
// better part of a second, a block then a few milliseconds.
//
// Thread contract: the thread that made it (its QProcess lives there).
class ApertiumEngine
{
public:
    ApertiumEngine();
    ~ApertiumEngine();
    Result<MachineDraft> translate(const QString &shown, const QStringList &names, int timeoutMs = 10000);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Drafts on a thread of their own, so that typing never waits for the
// engine; only the newest request is answered.
//
// Thread contract: made and asked on the GUI thread; drafted() and failed()
// arrive there.
class MachineDrafts : public QObject
{
    Q_OBJECT

public:
    explicit MachineDrafts(QObject *parent = nullptr);
    ~MachineDrafts() override;

    void request(const QString &shown, const QStringList &names);
    // Any answer still on its way is dropped.
    void cancel();

signals:
    void drafted(const QString &shown, const MachineDraft &draft);
    void failed(const QString &shown, const QString &why);

private:
    struct Private;
    std::unique_ptr<Private> d;
    std::shared_ptr<std::atomic<int>> m_latest;
};
