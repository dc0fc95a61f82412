#pragma once

#include <QObject>
#include <QString>

class QAction;
class QCheckBox;
class QPlainTextEdit;
class QTextEdit;
class QWidget;
struct BlockVersion;

// Edit > Block History…: the open block's kept versions (store/history.h)
// in the history window. A version chosen there goes into the editors as an
// edit of the translator's, undoable in the translated editor and saved by
// the next save like any other, which keeps the replaced text in turn.
//
// Thread contract: GUI thread.
class HistoryController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QTextEdit *translation;  // rtxtTranslated
        QPlainTextEdit *comment; // txtComentario
        QCheckBox *revised;      // chkRevised
        QAction *historyEntry;   // greyed while no block is open
    };

    // `window` owns the history window and the message boxes.
    HistoryController(const Controls &controls, const QString &storePath, QWidget &window);

    // The block whose text the editors hold (empty: none).
    void setOpenBlock(const QString &key);
    void openHistory();
    // Puts a version into the editors.
    void applyVersion(const BlockVersion &version);

private:
    Controls m_c;
    QString m_storePath;
    QWidget &m_window;
    QString m_openKey;
};
