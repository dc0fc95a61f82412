#pragma once

#include <QObject>

class Database;
class QAction;
class QFrame;
class QTreeView;
class TranslatedEdit;
class OpenBlock;

// rtxtTranslated's behaviour in the main window: the tag insert commands,
// the guide-line toggles, and the key down that resizes a field block's
// window; the preview follows through the signals.
//
// Thread contract: GUI thread.
class EditorController : public QObject
{
    Q_OBJECT

public:
    // The 28- and 32-character lines over the preview with their menu entries.
    struct Guides
    {
        QFrame *line28;
        QFrame *line32;
        QAction *entry28;
        QAction *entry32;
    };

    EditorController(TranslatedEdit &translation, QTreeView &tree, const Guides &guides, OpenBlock &open,
                     Database &db, QObject *parent);

    // Does nothing while the editor is disabled (no block open).
    void insertTag(const QString &text);
    void toggleGuide28() { toggleGuide(m_guides.line28, m_guides.entry28); }
    void toggleGuide32() { toggleGuide(m_guides.line32, m_guides.entry32); }

signals:
    // Alt+arrow in a field block: what is still to be drawn belongs to the
    // old size, so it is drawn first.
    void aboutToResize();
    // After Alt+arrow in a field block, even when the size stood at a limit.
    void resized();
    // Any other key down in a field block.
    void fieldBlockKeyDown();

private:
    void toggleGuide(QFrame *line, QAction *entry);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

    TranslatedEdit &m_editor;
    QTreeView &m_tree;
    Guides m_guides;
    OpenBlock &m_open;
    Database &m_db;
};
