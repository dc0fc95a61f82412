#include "check/widgets/exportchecks.h"

#include "ui/messages.h"
#include "check/exportcheck.h"

using namespace Qt::StringLiterals;

namespace {

const QString ChecksTitle = u"Checks"_s;
constexpr int ShownDifferences = 20;

} // namespace

bool askBeforeExport(QWidget *parent, ProjectStore &store, const QString &programFolder,
                     const std::vector<ExportListRow> &ticked, bool onlyRevised,
                     const std::function<void(const QSet<QString> &)> &showErrors)
{
    if (ticked.empty())
        return true; // the export says itself that nothing is ticked
    const Result<CheckedProject> loaded = loadProject(store, programFolder);
    if (!loaded) {
        // A check that cannot run must not stand between the translator and the export.
        return Messages::show(parent, {u"The scripts could not be checked before the export: %1\n\nExport anyway?"_s.arg(loaded.error().message),
                                       ChecksTitle, Messages::Buttons::YesNoCancel, Messages::Icon::Warning})
            == Messages::Answer::Yes;
    }
    const ProjectCheck check = checkBeforeExport(*loaded, ticked, onlyRevised);
    if (check.errors == 0)
        return true;
    std::array<int, RuleCount> perRule{};
    QSet<QString> scripts;
    for (const BlockFindings &block : check.blocks) {
        scripts.insert(block.block->table + u'/' + block.block->fileName);
        for (const Finding &f : block.findings)
            ++perRule[size_t(f.rule)];
    }
    QStringList counts;
    for (int rule = 0; rule < RuleCount; ++rule) {
        if (perRule[size_t(rule)] > 0)
            counts << u"%1 %2"_s.arg(ruleId(Rule(rule))).arg(perRule[size_t(rule)]);
    }
    const QString text = u"The blocks to export hold %1 errors (%2) in %3 scripts: the game may show them wrongly "
                         "or the files may break.\n\nYes: export anyway.\nNo: do not export; show the errors in "
                         "the checks window.\nCancel: do not export."_s.arg(check.errors)
                             .arg(counts.join(u", "_s))
                             .arg(scripts.size());
    const Messages::Answer answer =
        Messages::show(parent, {text, ChecksTitle, Messages::Buttons::YesNoCancel, Messages::Icon::Warning});
    if (answer == Messages::Answer::No && showErrors)
        showErrors(scripts);
    return answer == Messages::Answer::Yes;
}

void reportReadBack(QWidget *parent, Database &db, const QString &programFolder,
                    const std::vector<ExportListRow> &ticked, bool onlyRevised, bool includeUntranslated)
{
    const QStringList differences = verifyExport(db, programFolder, ticked, onlyRevised, includeUntranslated);
    if (differences.isEmpty())
        return;
    QStringList shown = differences.mid(0, ShownDifferences);
    if (differences.size() > ShownDifferences)
        shown << u"... and %1 more."_s.arg(differences.size() - ShownDifferences);
    Messages::show(parent, {u"The written files do not read back as the store holds them:\n\n"_s + shown.join(u'\n'),
                            ChecksTitle, Messages::Buttons::Ok, Messages::Icon::Warning});
}
