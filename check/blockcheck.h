#pragma once

#include "check/checkcontext.h"
#include "check/finding.h"

#include "editor/renderer.h"

#include <QHash>
#include <QRect>
#include <QSet>

#include <memory>
#include <optional>

// The checks of one block against its project, in the order of their place
// in the translation. A block whose translation is empty has no findings.
// Only the rules in `rules` run.
//
// Thread contract: pure; a context may be read from several threads.
QList<Finding> checkBlock(const CheckedBlock &block, const CheckContext &context,
                          RuleSet rules = RuleSet::all());

// One line of a page as the preview's page flow places it.
struct LaidLine
{
    int page = 0;   // 0-based; <New>, <Wait> and <Close> each end one
    int number = 0; // 1 for the window's first text line; 0 for text on its top border
    qint16 top = 0; // pixel y of its glyphs
    qint16 firstColumn = 0;
    qint16 lastColumn = 0;
    qsizetype start = 0; // the translation's characters drawn on it
    qsizetype end = 0;
    qsizetype overStart = -1; // those drawn past the window's inner width
    qsizetype overEnd = -1;
    bool dropped = false; // on a page <End of Block> drops: measured, never drawn
};
QList<LaidLine> layOutLines(const QString &text, const std::optional<WindowGeometry> &window);
// What the preview marks as overflowing, in its pixels: the glyph cells past
// the window's width and the lines past its height.
QList<QRect> overflowMarks(const QString &text, const QString &width, const QString &height);
// The same from lines already laid out for that size.
QList<QRect> overflowMarks(const QList<LaidLine> &lines, const QString &width, const QString &height);

// What the layout rules keep between checks of one block's translation as it
// is typed: a key changes a few lines, and the overflow messages of the others
// are looked up instead of formatted again; the pages the original shows are
// measured once per window size.
struct LayoutMemo
{
    struct OverflowKey
    {
        bool pastHeight = false;
        int page = 0;
        int line = 0;
        int count = 0;
        int fit = 0;
        bool operator==(const OverflowKey &) const = default;
        friend size_t qHash(const OverflowKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.pastHeight, key.page, key.line, key.count, key.fit);
        }
    };
    QHash<OverflowKey, QString> overflowMessages;

    QString shownOriginal; // the original, width and height shownPages was measured for
    QString shownWidth;
    QString shownHeight;
    std::optional<QSet<int>> shownPages;
};

// The rules measured on the preview's page flow (pageflowcheck.cpp).
// `lines`, when given, receives the laid-out lines; `memo`, when given, is
// what earlier checks of the same block kept (the findings are the same).
void checkLayout(const CheckedBlock &block, const FontCells &font, RuleSet rules, QList<Finding> &findings,
                 QList<LaidLine> *lines = nullptr, LayoutMemo *memo = nullptr);

// The checks of one block over and over while its translation is typed: what
// the rules need of the original alone (its tags, its end line, its linked
// words) is worked out once, the translation's rules run whole every time.
// A check gives the same findings as checkBlock; the context must outlive it
// and stay as it was (a new glossary needs a new checker).
class BlockChecker
{
public:
    BlockChecker(const QString &original, const CheckContext &context);
    ~BlockChecker();
    BlockChecker(const BlockChecker &) = delete;
    BlockChecker &operator=(const BlockChecker &) = delete;

    QList<Finding> check(const CheckedBlock &block, RuleSet rules = RuleSet::all());
    // The lines of the last check's translation as the preview lays them out
    // (empty when no layout rule ran): what overflowMarks needs.
    const QList<LaidLine> &lines() const { return m_lines; }

private:
    struct Facts;
    QString m_original;
    const CheckContext &m_context;
    std::unique_ptr<Facts> m_facts;
    QList<LaidLine> m_lines;
};
