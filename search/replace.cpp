#include "search/replace.h"

#include "spell/wordsplitter.h"
#include "keeping/backup.h"
#include "keeping/batch.h"
#include "keeping/blocksave.h"
#include "keeping/history.h"
#include "store/layout.h"
#include "store/scriptrows.h"
#include "store/storetext.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Case folded one UTF-16 unit at a time, so that positions in the folded
// text are positions in the text.
QString folded(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = c.toCaseFolded();
    return out;
}

using Spans = QList<std::pair<qsizetype, qsizetype>>;

// Tags as the spell check skips them: "<" to the next ">"; an unclosed "<"
// is only a mark.
Spans tagSpans(const QString &text)
{
    Spans spans;
    for (qsizetype i = text.indexOf(u'<'); i >= 0; i = text.indexOf(u'<', i + 1)) {
        const qsizetype close = text.indexOf(u'>', i + 1);
        if (close < 0)
            break;
        spans.append({i, close + 1});
        i = close;
    }
    return spans;
}

// The replacement with \1 .. \99 taken from the match; "\\" is a backslash.
QString expanded(const QString &replacement, const QRegularExpressionMatch &match)
{
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        if (c == u'\\' && i + 1 < replacement.size()) {
            const QChar next = replacement.at(i + 1);
            if (next.isDigit()) {
                int group = next.digitValue();
                ++i;
                if (i + 1 < replacement.size() && replacement.at(i + 1).isDigit()
                    && group * 10 + replacement.at(i + 1).digitValue() <= match.lastCapturedIndex()) {
                    group = group * 10 + replacement.at(++i).digitValue();
                }
                out += match.captured(group);
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

Result<TextReplacer> TextReplacer::make(const ReplaceOptions &options)
{
    if (options.find.isEmpty())
        return Failure{u"Please input a text to find."_s, {}, 0};
    TextReplacer replacer;
    replacer.m_options = options;
    if (options.regex) {
        QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
        if (!options.matchCase)
            flags |= QRegularExpression::CaseInsensitiveOption;
        replacer.m_expression = QRegularExpression(options.find, flags);
        if (!replacer.m_expression.isValid())
            return Failure{u"The regular expression is not valid at position %1: %2."_s.arg(
                               QString::number(replacer.m_expression.patternErrorOffset()),
                               replacer.m_expression.errorString()),
                           {}, 0};
        replacer.m_expression.optimize();
    } else if (!options.matchCase) {
        replacer.m_foldedFind = folded(options.find);
    }
    return replacer;
}

bool TextReplacer::acceptable(const QString &text, qsizetype start, qsizetype end, const Spans &tags) const
{
    if (end == start)
        return false; // an empty match replaces nothing a translator can see
    for (const auto &[open, close] : tags) {
        if (open < end && start < close)
            return false;
        if (open >= end)
            break;
    }
    if (m_options.wholeWord) {
        if (start > 0 && isWordCharacter(text.at(start - 1)) && isWordCharacter(text.at(start)))
            return false;
        if (end < text.size() && isWordCharacter(text.at(end)) && isWordCharacter(text.at(end - 1)))
            return false;
    }
    return true;
}

QList<TextMatch> TextReplacer::matches(const QString &text) const
{
    QList<TextMatch> found;
    const Spans tags = text.contains(u'<') ? tagSpans(text) : Spans();
    if (m_options.regex) {
        auto it = m_expression.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const qsizetype start = match.capturedStart(), end = match.capturedEnd();
            if (acceptable(text, start, end, tags))
                found.append({start, end - start, expanded(m_options.replacement, match)});
        }
        return found;
    }
    const QString &find = m_options.matchCase ? m_options.find : m_foldedFind;
    const QString haystack = m_options.matchCase ? text : folded(text);
    for (qsizetype at = haystack.indexOf(find); at >= 0;) {
        const qsizetype end = at + find.size();
        if (acceptable(text, at, end, tags)) {
            found.append({at, find.size(), m_options.replacement});
            at = haystack.indexOf(find, end);
        } else {
            at = haystack.indexOf(find, at + 1);
        }
    }
    return found;
}

QString applyMatches(const QString &text, const QList<TextMatch> &chosen)
{
    QString out = text;
    for (auto it = chosen.crbegin(); it != chosen.crend(); ++it)
        out.replace(it->start, it->length, it->replacement);
    return out;
}

std::pair<QString, QString> matchLines(const QString &text, const TextMatch &match)
{
    const qsizetype from = match.start == 0 ? -1 : text.lastIndexOf(u"\r\n"_s, match.start - 1);
    const qsizetype lineStart = from < 0 ? 0 : from + 2;
    qsizetype lineEnd = text.indexOf(u"\r\n"_s, match.start + match.length);
    if (lineEnd < 0)
        lineEnd = text.size();
    const QString line = text.mid(lineStart, lineEnd - lineStart);
    QString after = line;
    after.replace(match.start - lineStart, match.length, match.replacement);
    return {line, after};
}

qsizetype MatchList::count() const
{
    qsizetype n = 0;
    for (const BlockMatches &block : blocks)
        n += block.matches.size();
    return n;
}

Result<MatchList> findMatches(Database &db, const ReplaceOptions &options)
{
    MatchList list;
    const Result<TextReplacer> replacer = TextReplacer::make(options);
    if (!replacer)
        return replacer.error();
    for (const QString &table : ScriptTables::all) {
        if (!options.folder.isEmpty() && table != options.folder)
            continue;
        Result<ResultSet> rows = folderRows(db, table, options.script);
        if (!rows.ok()) {
            Failure failure = rows.error();
            failure.message = u"The %1 scripts cannot be read (%2)."_s.arg(table, failure.message);
            return failure;
        }
        while (rows->next()) {
            const bool translated = rows->value(ColTranslated).toLongLong() == 1;
            // Only what the editor shows counts: a translation of a block
            // that is not translated is nowhere to be seen.
            if (options.in == ReplaceField::Translated && !translated)
                continue;
            const QString text = fromStoreText(rows->text(options.in == ReplaceField::Translated ? ColTextDataT
                                                                                               : ColComments));
            QList<TextMatch> matches = replacer->matches(text);
            if (matches.isEmpty())
                continue;
            BlockMatches block;
            block.address = {table, rows->text(ColFileName), qint16(rows->value(ColDialogueId).toLongLong())};
            block.key = blockKey(table, block.address.fileName, block.address.number);
            block.text = text;
            block.translation = translated ? fromStoreText(rows->text(ColTextDataT)) : QString();
            block.comment = fromStoreText(rows->text(ColComments));
            block.revised = rows->value(ColRevised).toLongLong() == 1;
            block.matches = std::move(matches);
            list.blocks.push_back(std::move(block));
        }
    }
    return list;
}

QString replaceSummary(qsizetype replacements, qsizetype blocks)
{
    return u"%1 replacements in %2 blocks"_s.arg(replacements).arg(blocks);
}

Result<ReplaceBatch> replaceMatches(Database &db, const MatchList &list, ReplaceField field,
                                    const std::vector<bool> &keep)
{
    ReplaceBatch batch;
    batch.reason = Backups::Reason::Replace;
    // What goes where, before anything is written.
    struct Planned
    {
        const BlockMatches *block;
        QString after;
        qsizetype count;
    };
    std::vector<Planned> planned;
    size_t flag = 0;
    for (const BlockMatches &block : list.blocks) {
        QList<TextMatch> chosen;
        for (const TextMatch &match : block.matches) {
            if (keep.empty() || (flag < keep.size() && keep[flag]))
                chosen.append(match);
            ++flag;
        }
        if (!chosen.isEmpty())
            planned.push_back({&block, applyMatches(block.text, chosen), chosen.size()});
    }
    if (planned.empty())
        return batch;

    // Recorded as the store's last batch, so that Edit, Undo Last Batch
    // takes the whole step back.
    Result<BatchRecord> record = beginBatch(db, batch.reason);
    if (!record)
        return record.error();
    batch.backup = record->backup;

    const Result<Database *> opened = historyStore(db.path(), true);
    Database *history = opened ? *opened : nullptr;
    // One commit for the whole step in each file instead of one per block.
    const bool historyBatched = history && history->begin();
    Result<Done> step = db.begin();
    for (const Planned &planning : planned) {
        if (!step)
            break;
        const BlockMatches &block = *planning.block;
        BlockEdits edits{block.translation, block.comment, block.revised};
        (field == ReplaceField::Translated ? edits.translation : edits.comment) = planning.after;
        const QString nodeText = QString::number(block.address.number) + (block.comment.isEmpty() ? u""_s : u"[c]"_s);
        if (const Result<BlockSave> save = saveBlock(db, block.key, nodeText, edits, nullptr); !save)
            step = save.error();
        batch.blocks.push_back({block.address, block.key, block.text, planning.after});
        batch.replacements += planning.count;
    }
    if (step)
        step = db.commit();
    if (!step) {
        db.abandon();
        if (historyBatched)
            history->abandon();
        return Failure{u"Nothing was replaced; the store was left as it was: %1"_s.arg(step.error().message), {}, 0};
    }
    // The store's commit stands; a history that missed it keeps fewer versions.
    if (historyBatched && !history->commit())
        history->abandon();
    for (const ReplacedBlock &block : batch.blocks)
        record->changed(block.address);
    if (const QString why = recordBatch(db.path(), *record); !why.isEmpty())
        batch.message = u"The replacements stand, but they cannot be undone as one step: %1"_s.arg(why);
    return batch;
}
