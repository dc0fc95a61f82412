#pragma once

#include <QObject>

class MainWindow;

// Tools > Import Script > Translated: lets the user pick a scripts folder
// whose texts are translations, writes them into the matching blocks and
// rebuilds the tree. Runs in the original import's frame (ImportRun).
class TranslatedImportController : public QObject
{
    Q_OBJECT

public:
    explicit TranslatedImportController(MainWindow &window);

    void importTranslations();

private:
    MainWindow &m_window;
};
