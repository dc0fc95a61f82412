#pragma once

#include "keeping/blocksave.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTextEdit;

// Beside the editors when a save met another's newer one: theirs (who,
// when, their text with what differs from mine marked) and mine, which can
// be edited before saving. It stays until one of its buttons settles it;
// no key closes it, so nothing typed is lost to a stray Escape.
//
// Thread contract: GUI thread.
class ConflictPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ConflictPanel(QWidget *parent = nullptr);

    void showConflict(const QString &key, const QString &who, const QString &when, const BlockEdits &theirs,
                      const BlockEdits &mine);
    // Mine as the panel holds it now.
    BlockEdits mine() const;

signals:
    void keepMine();
    void takeTheirs();
    void saveEdited();

private:
    QLabel *m_who;
    QTextEdit *m_theirs;
    QPlainTextEdit *m_mine;
    BlockEdits m_mineShown;
};
