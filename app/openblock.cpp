#include "app/openblock.h"

#include "server/serverstore.h"
#include "store/nodekey.h"
#include "store/storetext.h"

#include <QDateTime>

#include <utility>

BlockSnapshot OpenBlock::snapshot(const BlockEdits &edits) const
{
    const QString translation = toStoreText(edits.translation);
    return {m_key, translation, toStoreText(edits.comment), !translation.isEmpty(), edits.revised};
}

bool OpenBlock::differs(const BlockEdits &edits) const
{
    return !m_stored || *m_stored != snapshot(edits);
}

Result<BlockRead> OpenBlock::read(const QString &key) const
{
    if (!m_store)
        return BlockRead{};
    return m_store->loadBlock(key);
}

void OpenBlock::open(const QString &key, const BlockRead &read)
{
    // A click that opens no block is told of nothing; the next block opened
    // without leaving one first is not either.
    if (key.isEmpty() && m_key.isEmpty())
        m_leftWithDraft.clear();
    m_key = key;
    m_read = read;
    m_stored = key.isEmpty() ? std::nullopt : read.load.stored;
    if (!key.isEmpty() && read.load.hasSize)
        m_size = {read.load.currentWidth, read.load.currentHeight};
    emit loaded(key, m_read.load, key.isEmpty() ? QString() : std::exchange(m_leftWithDraft, QString()));
}

void OpenBlock::rebase(const BlockRead &theirs)
{
    m_read.version = theirs.version;
    m_read.updatedBy = theirs.updatedBy;
    m_read.updatedAt = theirs.updatedAt;
    m_read.load.translation = theirs.load.translation;
    m_read.load.comment = theirs.load.comment;
    m_read.load.revised = theirs.load.revised;
    m_stored = theirs.load.stored;
}

void OpenBlock::markSaved(const BlockEdits &edits, qint64 version)
{
    m_stored = snapshot(edits);
    m_read.version = version;
}

Result<BlockSave> OpenBlock::save(const QString &nodeText, const BlockEdits &edits, bool automatic)
{
    if (!m_store)
        return BlockSave{};
    const BlockSnapshot *known = automatic && m_stored ? &*m_stored : nullptr;
    auto *server = dynamic_cast<ServerStore *>(m_store);
    // Nothing new to write: the server is not asked, so an automatic tick
    // never conflicts over a block the translator did not touch.
    if (!server || (automatic && !differs(edits)) || !m_read.version) {
        Result<BlockSave> outcome = m_store->saveBlock(m_key, nodeText, edits, known);
        if (outcome) {
            m_stored = outcome->stored;
            emit saved(m_key, outcome->written);
        }
        return outcome;
    }
    VersionGuard guard{m_read.version, {}};
    Result<BlockSave> outcome = server->saveBlock(m_key, nodeText, edits, known, &guard);
    if (!outcome)
        return outcome;
    m_stored = outcome->stored;
    if (guard.saved)
        m_read.version = guard.saved;
    m_read.load.translation = edits.translation;
    m_read.load.comment = edits.comment;
    m_read.load.revised = edits.revised;
    emit saved(m_key, outcome->written);
    return outcome;
}

QString OpenBlock::keepDraft(const BlockEdits &edits) const
{
    const auto address = parseBlockKey(m_key);
    if (!address)
        return {};
    const Result<HistoryWrite> kept =
        writeDraft(m_draftStore, *address, {QDateTime::currentDateTime(), edits.translation, edits.comment, edits.revised});
    return kept ? kept->notice : kept.error().message;
}

std::optional<BlockVersion> OpenBlock::draft() const
{
    const auto address = parseBlockKey(m_key);
    // A draft that cannot be read is offered as none: the store's text stands.
    return address ? blockDraft(m_draftStore, *address).value_or(std::nullopt) : std::nullopt;
}

void OpenBlock::dropDraft() const
{
    if (const auto address = parseBlockKey(m_key))
        (void)::dropDraft(m_draftStore, *address);
}
