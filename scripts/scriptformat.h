#pragma once

#include "store/blockedit.h"
#include "store/result.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class ResultSet;

// The script text format: numbered blocks, each a header line
// "<TextBlock N w:W h:H>", body lines and an end line holding
// "<End of Block>". Files are Windows-1252 with CR LF line ends.

inline constexpr QStringView ScriptHeaderTag = u"<TextBlock ";

// One completed block as the reader hands it over. `text` already carries
// grave accents in place of apostrophes and never ends with CR LF.
struct ScriptBlock
{
    qint16 number = 0;
    qint16 width = 0;
    qint16 height = 0;
    QString text;
};

// Sizes carry over from header to header and from file to file within one
// folder import; a fresh state starts at 0.
struct ReaderSizes
{
    qint16 width = 0;
    qint16 height = 0;
};

// Why reading stopped: the file and 1-based line, and a sentence for the user
// that already names both, ready for lblMsg or stderr.
struct ReadFailure
{
    QString file;
    int line = 0;
    QString message;
};

// Called for each completed block; return false to stop reading (the
// reader then reports no failure of its own: the caller knows why).
using BlockSink = std::function<bool(const ScriptBlock &)>;

// Reads the bytes of one script file. `afterLine` runs after every line
// read (the imports let the window breathe there). Returns false when a
// number does not fit 16 bits (failure filled) or the sink stopped.
bool readScriptBlocks(const QByteArray &bytes, const QString &fileName, ReaderSizes &sizes,
                      const BlockSink &sink, ReadFailure *failure,
                      const std::function<void()> &afterLine = {});
// The same for a file on disk; a file that cannot be opened or read fails.
// Failures name the file without its folder, as the tables do.
bool readScriptFile(const QString &path, ReaderSizes &sizes, const BlockSink &sink,
                    ReadFailure *failure, const std::function<void()> &afterLine = {});

// One row of a script table as the writer needs it.
struct ScriptRow
{
    qint16 dialogueId = 0;
    qint16 width = 0;
    qint16 height = 0;
    qint16 newWidth = 0;
    qint16 newHeight = 0;
    bool translated = false;
    QString textData;  // as stored (grave accents)
    QString textDataT; // as stored (grave accents)
};

// The script text of the rows, in their order: per block the header (new
// sizes when newWidth > 0), then the translation when translated, else the
// original, grave accents back to apostrophes, each followed by CR LF.
QString formatScriptBlocks(const std::vector<ScriptRow> &rows);

// Reads every remaining row of a query on a script table (all eleven columns,
// by position) into writer rows. A number that does not fit 16 bits, or a
// column that holds no number where one belongs, is not wrapped or guessed:
// the call fails with a sentence naming the file, block and column. NULL
// counts as 0.
Result<std::vector<ScriptRow>> scriptRowsFrom(Result<ResultSet> &result);
// The same from rows a store read.
Result<std::vector<ScriptRow>> scriptRowsFrom(const std::vector<BlockRow> &stored);

// Where a script text cannot become Windows-1252.
struct EncodeFailure
{
    qsizetype index = -1; // into the text
    int line = 0;         // 1-based, counted as the reader counts lines
    int column = 0;       // 1-based
    std::optional<qint16> block; // number of the header above the character
    QString character;    // the offending character (both halves of a surrogate pair)
    QString message;      // names file, line, block and the character
};

// The bytes to write for a whole script text. A character without a byte in
// the code page fails the whole text rather than being replaced: a silently
// changed character would reach the game.
std::optional<QByteArray> encodeScriptText(const QString &text, const QString &fileName,
                                           EncodeFailure *failure = nullptr);
