#pragma once

#include "store/nodekey.h"

#include <QObject>

#include <optional>

class MainWindow;
class PreviewController;
class TranslatedEdit;

// rtxtTranslated's behaviour in the main window: the tag insert commands,
// the guide-line toggles, and the key down that resizes a field block's
// window and redraws the preview.
//
// Thread contract: GUI thread.
class EditorController : public QObject
{
    Q_OBJECT

public:
    EditorController(MainWindow &window, PreviewController &preview);

    // The block of the tree's current node; nullopt for any other node.
    std::optional<BlockAddress> selectedBlock() const;

private:
    void insertTag(const QString &text);
    void toggleGuide(bool guide28);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

    MainWindow &m_window;
    PreviewController &m_preview;
    TranslatedEdit *m_editor = nullptr;
};
