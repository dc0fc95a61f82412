#pragma once

#include "app/importrun.h"

#include <QObject>

class Database;

// Tools > Import Script > Translated: lets the user pick a scripts folder
// whose texts are translations and writes them into the matching blocks.
// Runs in the original import's frame (ImportRun).
class TranslatedImportController : public QObject
{
    Q_OBJECT

public:
    TranslatedImportController(const ImportControls &controls, Database &db, QObject *parent);

    void importTranslations();

signals:
    // The translations changed: the tree is to be rebuilt.
    void scriptsChanged();

private:
    ImportControls m_c;
    Database &m_db;
};
