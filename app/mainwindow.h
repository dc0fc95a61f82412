#pragma once

#include "app/maincontrols.h"
#include "store/database.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <optional>
#include <vector>

// Every command that the menus and the toolbar can start.
enum class Command {
    Save,
    ToggleAutoSave,
    Exit,
    Clean,
    Clone,
    CheckSpell,
    Search,
    ViewScript,
    ViewLinks,
    Guide28,
    Guide32,
    ImportOriginal,
    ImportTranslated,
    ImportLinks,
    ExportTranslated,
    InsertNew,
    InsertWait,
    InsertDelay,
    InsertSpace,
    InsertOpcode,
    InsertClose,
    About,
    RestoreBackup,
    BlockHistory,
};

// The main window: builds the named controls, runs the start-up checks and
// dispatches commands. What a command does lives in the feature controllers
// (see controllers.cpp), which register themselves with setCommand().
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(const QString &programFolder, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up after the splash: font and database checks, opening the store,
    // the tree and the status line. False when the program must end.
    bool load();

    MainControls &controls() { return m_controls; }
    MainState &state() { return m_state; }
    Database &db() { return m_db; }
    QString programFolder() const { return m_programFolder; }
    QString storePath() const;

    void setCommand(Command command, std::function<void()> handler);
    void runCommand(Command command);
    // The command a toolbar position (1 to 13) starts; nullopt elsewhere.
    static std::optional<Command> toolbarCommand(int position);
    void runToolButton(int position);

    // Runs before Exit closes the store (pending edits are saved here).
    void addExitHook(std::function<void()> hook);
    // Exit: the hooks, then close the database and end the program.
    void exitProgram();
    bool hasExited() const { return m_exited; }

signals:
    // After a command ran; lets controllers and tests follow what happened.
    void commandRun(Command command);
    // Start-up found blocks in battling_arena: the tree and the status line
    // are to be shown (an empty battling_arena leaves both blank).
    void storeReady();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    QAction *addCommandAction(QMenu *menu, const char *name, const QString &caption, Command command,
                              const QKeySequence &shortcut = {});
    bool loadFont();
    void reportStartUpError(const StoreError &error);
    void showAbout();

    QString m_programFolder;
    MainControls m_controls;
    MainState m_state;
    Database m_db;
    std::map<Command, std::function<void()>> m_commands;
    std::vector<std::function<void()>> m_exitHooks;
    bool m_exited = false;
};
