#pragma once

#include "app/windowsize.h"
#include "keeping/history.h"
#include "keeping/projectstore.h"

#include <QObject>
#include <QString>

#include <optional>

// The block open in the editors as every feature sees it, held once: its
// key, the rows it was loaded from and, on a server's store, the version it
// was loaded with, which every save names so that a save over another's
// newer one is refused instead of overwriting it. The block editing loads
// and saves through it; the Alt+arrow resize changes the window size; the
// preview, the checks and the fit read the size here at every use.
//
// Thread contract: GUI thread.
class OpenBlock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The store blocks are read from and saved to; set before the first load.
    void setStore(ProjectStore &store) { m_store = &store; }
    bool keepsVersions() const { return m_store && m_store->keepsVersions(); }

    // Empty when no block is open.
    const QString &key() const { return m_key; }
    // As the store holds it (currentWidth, currentHeight).
    const WindowSize &windowSize() const { return m_size; }
    void setWindowSize(const WindowSize &size) { m_size = size; }
    // What the open block was loaded (or last taken) from.
    const BlockRead &block() const { return m_read; }
    std::optional<qint64> version() const { return m_read.version; }
    // The values the store holds as last loaded or saved.
    const std::optional<BlockSnapshot> &stored() const { return m_stored; }
    // True when `edits` differ from what the store holds.
    bool differs(const BlockEdits &edits) const;

    // A block as the store holds it now, without opening it.
    Result<BlockRead> read(const QString &key) const;
    // The block becomes the open one (an empty key: none is).
    void open(const QString &key, const BlockRead &read);
    void close() { open(QString(), BlockRead{}); }

    // Saves the open block's edits. An automatic save of values the store
    // already holds writes nothing; on a server's store every other save
    // names the version loaded, and a stale one fails as a conflict.
    Result<BlockSave> save(const QString &nodeText, const BlockEdits &edits, bool automatic);
    // Another's newer save becomes the one the next save replaces (kept in
    // the history), as Keep Mine and a merge want.
    void rebase(const BlockRead &theirs);
    // Edits kept elsewhere (the outbox) count as saved over the loaded version.
    void markKept(const BlockEdits &edits) { m_stored = snapshot(edits); }
    // A save made for the open block elsewhere (the outbox's replay).
    void markSaved(const BlockEdits &edits, qint64 version);

    // Drafts live in history.db beside `storePath` (the program folder's store).
    void setDraftStore(const QString &storePath) { m_draftStore = storePath; }
    // The open block's unsaved text kept apart: empty when kept, else why not.
    QString keepDraft(const BlockEdits &edits) const;
    std::optional<BlockVersion> draft() const;
    void dropDraft() const;
    // The open block is being left; `draftKept`: its unsaved typing was just
    // kept as a draft, which the next block's load tells of.
    void leaving(bool draftKept) { m_leftWithDraft = draftKept ? m_key : QString(); }

signals:
    // `leftWithDraft`: the block left just before, when its typing was kept
    // as a draft on the way out; empty otherwise.
    void loaded(const QString &key, const BlockLoad &load, const QString &leftWithDraft);
    void saved(const QString &key, bool written);

private:
    BlockSnapshot snapshot(const BlockEdits &edits) const;

    ProjectStore *m_store = nullptr;
    QString m_key;
    WindowSize m_size;
    BlockRead m_read;
    std::optional<BlockSnapshot> m_stored;
    QString m_draftStore;
    QString m_leftWithDraft;
};
