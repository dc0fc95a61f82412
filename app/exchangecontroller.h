#pragma once

#include <QObject>
#include <QString>

class Database;
class QAction;
class QLabel;
class QModelIndex;
class QTreeView;
class QWidget;
struct TranslationImport;

// Tools, Export for Translation and Import Translation File: the work
// handed to other translation tools and taken back. An import is a batch:
// the open block is saved first, the store copied, the changed blocks saved
// through the block save, and the open block loaded again.
//
// Thread contract: GUI thread.
class ExchangeController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *window; // frmMain: owns the dialogs and messages
        QTreeView *tree; // Scripts
        QLabel *status;  // lblMsg
    };

    ExchangeController(const Controls &controls, Database &db, const QString &programFolder, QObject *parent);

    // Tools, the two entries, for the main window to place.
    QAction *exportAction() const { return m_exportAction; }
    QAction *importAction() const { return m_importAction; }

    void openExport();
    void chooseImport();
    // The import of an XLIFF (.xlf, .xliff) or PO (.po) file, after a question.
    void importFile(const QString &path);

signals:
    void saveRequested();
    void nodeClicked(const QModelIndex &node);
    // A batch was saved: its blocks and the backup made before it.
    void translationsImported(const TranslationImport &import);

private:
    Controls m_c;
    Database &m_db;
    QString m_programFolder;
    QString m_lastFolder;
    QAction *m_exportAction = nullptr;
    QAction *m_importAction = nullptr;
};
