#include "app/originalchangecontroller.h"

#include "store/blockedit.h"
#include "keeping/history.h"
#include "app/openblock.h"
#include "store/nodekey.h"
#include "keeping/projectstore.h"
#include "store/storetext.h"

#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

QTextCharFormat removedFormat()
{
    QTextCharFormat format;
    format.setBackground(QColor(255, 205, 205));
    format.setFontStrikeOut(true);
    return format;
}

QTextCharFormat addedFormat()
{
    QTextCharFormat format;
    format.setBackground(QColor(200, 240, 200));
    return format;
}

} // namespace

OriginalChangeController::OriginalChangeController(QTextEdit &original, QTextEdit &oldOriginal,
                                                   ProjectStore &store, const OpenBlock &open, QObject *parent)
    : QObject(parent)
    , m_original(original)
    , m_oldOriginal(oldOriginal)
    , m_store(store)
    , m_open(open)
{
    m_oldOriginal.setReadOnly(true);
    m_oldOriginal.setToolTip(u"Original changed: the original before the update, the words taken out struck through"_s);
    m_oldOriginal.hide();
}

void OriginalChangeController::blockLoaded(const BlockLoad &load)
{
    showFor(load);
}

void OriginalChangeController::showFor(const BlockLoad &load)
{
    if (load.outcome != BlockLoad::Outcome::Loaded || !load.address) {
        hideChange();
        return;
    }
    const auto old = m_store.changedOriginal(*load.address, toStoreText(load.original));
    if (old)
        showChange(fromStoreText(*old));
    else
        hideChange();
}

void OriginalChangeController::blockSaved(bool written)
{
    // The save cleared the mark in the store: read the block as it now stands.
    if (!written || m_oldOriginal.isHidden())
        return;
    const Result<BlockRead> read = m_store.loadBlock(m_open.key());
    showFor(read ? read->load : BlockLoad{});
}

void OriginalChangeController::showChange(const QString &oldOriginal)
{
    // Both texts as the documents hold them, one character per line break.
    const QString before = QString(oldOriginal).replace(u"\r\n"_s, u"\n"_s);
    const QString after = m_original.toPlainText();
    m_oldOriginal.clear();
    QTextCursor old(m_oldOriginal.document());
    QList<QTextEdit::ExtraSelection> added;
    int position = 0;
    for (const TextChange &change : textChanges(before, after)) {
        if (change.kind != TextChange::Added)
            old.insertText(change.text, change.kind == TextChange::Removed ? removedFormat() : QTextCharFormat());
        if (change.kind == TextChange::Removed)
            continue;
        if (change.kind == TextChange::Added) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(m_original.document());
            mark.cursor.setPosition(position);
            mark.cursor.setPosition(position + int(change.text.size()), QTextCursor::KeepAnchor);
            mark.format = addedFormat();
            added << mark;
        }
        position += int(change.text.size());
    }
    m_original.setExtraSelections(added);
    m_oldOriginal.show();
}

void OriginalChangeController::hideChange()
{
    m_original.setExtraSelections({});
    m_oldOriginal.clear();
    m_oldOriginal.hide();
}
