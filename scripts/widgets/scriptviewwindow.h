#pragma once

#include "store/database.h"

#include <QDialog>

#include <memory>

class ProjectStore;

namespace Ui {
class ScriptViewWindow;
}

// The view of the script that holds the selected block, as an export with
// every block would write it. The text is built once, when the window opens;
// a click on it puts all of it on the clipboard. The window owns its own
// Database on the store while it is open.
//
// Thread contract: GUI thread.
class ScriptViewWindow : public QDialog
{
    Q_OBJECT

public:
    // `selectedKey` is the key of the main window's selected node.
    ScriptViewWindow(const QString &storePath, const QString &selectedKey, QWidget *parent = nullptr);
    // Reads the script through `store` (a team server's) while it opens.
    ScriptViewWindow(ProjectStore &store, const QString &selectedKey, QWidget *parent = nullptr);
    ~ScriptViewWindow() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    explicit ScriptViewWindow(QWidget *parent);
    void showText(const QString &script, Result<QString> text);
    void copyScriptText();

    std::unique_ptr<Ui::ScriptViewWindow> m_ui;
    Database m_db;
    QString m_text;
};
