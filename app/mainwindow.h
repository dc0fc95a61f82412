#pragma once

#include "app/maincontrols.h"
#include "app/openblock.h"
#include "store/database.h"
#include "keeping/projectstore.h"

#include <QKeySequence>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class KeepController;
class TeamController;
class PreviewController;
class TeamEditController;
class QSplitter;
class WindowSettings;

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
};

// The main window: builds the named controls and one controller per feature,
// hands each the controls and services it works on, connects them, runs the
// start-up checks and dispatches commands.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Without `server`, the window works on the program folder's tallowpen.db.
    explicit MainWindow(const QString &programFolder, QWidget *parent = nullptr,
                        std::unique_ptr<ProjectStore> server = {});
    ~MainWindow() override;

    // The size the window's arrangement and proportions were designed at.
    static constexpr QSize DesignedSize{1200, 760};

    // Which folder is the program folder and why, for the About window.
    void setProgramFolderNote(const QString &note) { m_programFolderNote = note; }
    // The size and places remembered from the last run; none in a first run.
    void restoreWindowSettings();

    // Start-up after the splash: font and database checks, opening the store,
    // the tree and the status line. False when the program must end.
    bool load();

    Database &db() { return m_db; }
    ProjectStore &store() { return *m_store; }
    // The store in the title and the status bar: its file, or user@host/database.
    QString storeName() const;
    QString storePath() const;

    void setCommand(Command command, std::function<void()> handler);
    void runCommand(Command command);
    // The command a toolbar position (1 to 13) starts; nullopt elsewhere.
    static std::optional<Command> toolbarCommand(int position);
    void runToolButton(int position);

    // Exit: pending edits saved, the database closed, the program ended.
    void exitProgram();
    bool hasExited() const { return m_exited; }

signals:
    // After a command ran; lets tests follow what happened.
    void commandRun(Command command);
    // Start-up found blocks in battling_arena: the tree and the status line
    // are to be shown (an empty battling_arena leaves both blank).
    void storeReady();
    // Exit, while the store is still open.
    void aboutToExit();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The entries the features make for the menus, placed by buildMenus.
    struct FeatureEntries
    {
        QAction *undoBatch;
        QAction *replace;
        QList<QAction *> moves;
        QMenu *zoom;
        QAction *statistics;
        QAction *updateOriginals;
        QAction *checks;
        QList<QAction *> keeping;
        QAction *fit;
        QMenu *fitOverflowing;
        QAction *exportForTranslation;
        QAction *importTranslationFile;
        QAction *teamServer;
        QAction *takeNext;
    };

    void buildControls();
    void buildCommandActions();
    void buildToolbar();
    FeatureEntries buildFeatures();
    void buildMenus(const FeatureEntries &features);
    QAction *commandAction(const char *name, const QString &caption, Command command, const QKeySequence &shortcut);
    void loadFont();
    void reportStartUpError(const Failure &error);
    void disableEditorsUntilLoaded();
    bool loadServerStore();
    void showAbout();

    QString m_programFolder;
    QString m_programFolderNote;
    MainControls m_c;
    QSplitter *m_splitter = nullptr;
    WindowSettings *m_settings = nullptr;
    OpenBlock m_openBlock;
    Database m_db;
    std::unique_ptr<ProjectStore> m_store;
    PreviewController *m_preview = nullptr;
    KeepController *m_keep = nullptr;
    TeamController *m_team = nullptr;
    TeamEditController *m_teamEdit = nullptr; // on a server's store only
    std::map<Command, std::function<void()>> m_commands;
    bool m_exited = false;
};
