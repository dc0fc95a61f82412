#pragma once

#include "search/replace.h"
#include "store/database.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Edit > Replace...: every match listed with its block and its line before
// and after the change; the translator unticks what should stay and
// replaces the rest in one step (search/replace.h does the work). The window
// has its own Database on the store, like the search window.
class ReplaceWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ReplaceWindow(const QString &storePath, QWidget *parent = nullptr);

    // Lists the matches of what the fields say.
    void findAll();
    // Replaces the ticked matches, then lists what is left.
    void replaceTicked();
    QTreeWidget *matchList() const { return m_list; }

signals:
    // The open block's edits are to be saved first: the step writes blocks.
    void aboutToReplace();
    // The step is done: what it changed, and the backup it made first.
    void replaced(const ReplaceBatch &batch, ReplaceField field);

private:
    ReplaceOptions options() const;

    Database m_db;
    QLineEdit *m_find;
    QLineEdit *m_replacement;
    QComboBox *m_in;
    QComboBox *m_folder;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QCheckBox *m_regex;
    QTreeWidget *m_list;
    QLabel *m_count;
    QPushButton *m_replace;
    MatchList m_matches;
    ReplaceOptions m_listed; // the options m_matches were found with
};
