#pragma once

#include "store/database.h"
#include "store/nodekey.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

#include <vector>

// Find and replace over the translations or the comments of every block.
// Letters match regardless of case (the whole of Unicode, as the search's
// LIKE folds them) unless the case must match; a whole word is bounded by
// what the spell check does not count as a word's letters; a regular
// expression is Qt's, its captures written \1 to \99 in the replacement. A
// match never touches a tag: "<" to the next ">" is left whole.
//
// Texts are as the editors show them (apostrophes, CR LF).
//
// Thread contract: the caller's thread, with the caller's Database.

enum class ReplaceField { Translated, Comments };

struct ReplaceOptions
{
    QString find;
    QString replacement;
    ReplaceField in = ReplaceField::Translated;
    QString folder; // a table name; every table when empty
    QString script; // a file_name; every script when empty
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
};

// One place in a text, and what goes there.
struct TextMatch
{
    qsizetype start = 0;
    qsizetype length = 0;
    QString replacement; // captures already put in
    bool operator==(const TextMatch &) const = default;
};

class TextReplacer
{
public:
    // Fails for an empty find text or a regular expression Qt refuses.
    static Result<TextReplacer> make(const ReplaceOptions &options);
    // Every match of `text`, in order, none overlapping and none touching a tag.
    QList<TextMatch> matches(const QString &text) const;

private:
    TextReplacer() = default;
    bool acceptable(const QString &text, qsizetype start, qsizetype end, const QList<std::pair<qsizetype, qsizetype>> &tags) const;
    ReplaceOptions m_options;
    QString m_foldedFind;
    QRegularExpression m_expression;
};

// The text with `chosen` (from `matches`, in order) put in.
QString applyMatches(const QString &text, const QList<TextMatch> &chosen);

// The line of `text` (CR LF apart) around a match, before and after it is replaced.
std::pair<QString, QString> matchLines(const QString &text, const TextMatch &match);

struct BlockMatches
{
    BlockAddress address;
    QString key;
    QString text; // the field searched
    // The rest of the block, for the save that writes the new text.
    QString translation;
    QString comment;
    bool revised = false;
    QList<TextMatch> matches;
};

struct MatchList
{
    std::vector<BlockMatches> blocks; // only blocks with matches, table by table in the store's order
    qsizetype count() const;
};

Result<MatchList> findMatches(Database &db, const ReplaceOptions &options);

// One block the replace changed: the field's text before and after.
struct ReplacedBlock
{
    BlockAddress address;
    QString key;
    QString before;
    QString after;
};

// What one replace step did, whole: enough to tell the user and to undo it
// (the backup taken first, and every block changed with its old text).
struct ReplaceBatch
{
    QString message; // what the user should know although it went through
    QString reason; // the backup's reason, "replace"
    QString backup; // the copy made first, inside backups/
    std::vector<ReplacedBlock> blocks;
    qsizetype replacements = 0;
};

// "N replacements in N blocks"
QString replaceSummary(qsizetype replacements, qsizetype blocks);

// Replaces the matches `keep` says yes to (one flag per match, in the order
// of `list`; all when empty). A backup first; every block then goes through
// the block save, in one transaction: a failure leaves the store as it was.
Result<ReplaceBatch> replaceMatches(Database &db, const MatchList &list, ReplaceField field, const std::vector<bool> &keep = {});
