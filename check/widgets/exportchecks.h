#pragma once

#include "scripts/scriptexport.h"

#include <QSet>
#include <QString>

#include <functional>
#include <vector>

class Database;
class ProjectStore;
class QWidget;

// The checks around the export window's Export button, asked and told
// through the message seam. The export's own messages are left as they are.

// Before writing: when the blocks to be written hold errors, asks whether
// to export anyway. True to go on. Answering to see the errors calls
// `showErrors` with the scripts ("table/file_name") and stops the export.
bool askBeforeExport(QWidget *parent, ProjectStore &store, const QString &programFolder,
                     const std::vector<ExportListRow> &ticked, bool onlyRevised,
                     const std::function<void(const QSet<QString> &)> &showErrors);

// After writing: reads the files back and tells every difference, by file
// and block; says nothing when they read back as written.
void reportReadBack(QWidget *parent, Database &db, const QString &programFolder,
                    const std::vector<ExportListRow> &ticked, bool onlyRevised, bool includeUntranslated);
