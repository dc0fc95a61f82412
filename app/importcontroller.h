#pragma once

#include "app/importrun.h"

#include <QObject>

class Database;

// Tools > Import Script > Original: asks before it replaces what the store
// holds, lets the user pick the scripts folder and imports it.
// Tools > Update Originals...: a new version of the game's scripts brought in
// over the translations (scripts/originalupdate.h).
class ImportController : public QObject
{
    Q_OBJECT

public:
    ImportController(const ImportControls &controls, Database &db, QObject *parent);

    // Tools, "Update Originals...", for the main window to place.
    QAction *updateAction() const { return m_updateAction; }

    void importOriginals();
    void updateOriginals();

signals:
    // The open block's edits are to be saved before the editors are emptied.
    void saveRequested();
    // The store's scripts changed (or were put back): the tree is to be rebuilt.
    void scriptsChanged();

private:
    bool askToReplace(ImportRun &run, bool &replacing);

    ImportControls m_c;
    Database &m_db;
    QAction *m_updateAction = nullptr;
};
