#pragma once

#include <QObject>
#include <QString>

struct BlockLoad;
class ProjectStore;
class OpenBlock;
class QTextEdit;

// A block whose original a new version of the game changed shows, above
// rtxtOriginal, the original it had before with the words taken out marked,
// and in rtxtOriginal the words put in marked; both until the block is
// saved again, when the mark goes.
//
// Thread contract: GUI thread.
class OriginalChangeController : public QObject
{
    Q_OBJECT
public:
    OriginalChangeController(QTextEdit &original, QTextEdit &oldOriginal, ProjectStore &store, const OpenBlock &open,
                             QObject *parent);

    // From the block editing (no block open: nothing to show).
    void blockLoaded(const BlockLoad &load);
    void blockSaved(bool written);

private:
    void showFor(const BlockLoad &load);
    void showChange(const QString &oldOriginal);
    void hideChange();

    QTextEdit &m_original;
    QTextEdit &m_oldOriginal;
    ProjectStore &m_store; // a server's keeps the marks for the whole team
    const OpenBlock &m_open;
};
