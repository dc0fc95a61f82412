#pragma once

#include "check/findingsmodel.h"
#include "check/projectcheck.h"
#include "store/widgets/blockfilter.h"
#include "store/database.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class BlockChecker;
struct BlockLoad;
class ChecksWindow;
class ExportWindow;
class OverflowMarks;
class ProjectStore;
class QAction;
class QLabel;
class QMenu;
class QModelIndex;
class QThread;
class QTreeView;
class TranslatedEdit;
struct WindowSize;

// The checks in the main window: the open block re-checked after every edit
// (the count beside lblMsg, the spans underlined in rtxtTranslated with
// their message on hover, the overflow marked over the preview), the checks
// window with every finding of the project, and the checks around the
// export window's Export button. It follows the block editing through its
// signals and asks it to open a finding's block through nodeClicked.
//
// The project (every block, the links, the translations by original) is
// read and checked on a thread of its own with its own Database, so the
// window stays responsive on the whole corpus; the open block's checks run
// on the GUI thread against the last project read.
//
// Thread contract: GUI thread (the project thread only reads the store).
class CheckController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *window;        // frmMain: the checks window's parent
        QTreeView *tree;        // Scripts
        TranslatedEdit *editor; // rtxtTranslated
        QLabel *count;          // checksLabel, beside lblMsg
        QWidget *preview;       // picPreview
    };

    // `size` is the open block's window size as the preview draws it.
    CheckController(const Controls &controls, const WindowSize &size, const QString &programFolder,
                    const QString &storePath);

    // Tools, "Checks...", for the main window to place.
    QAction *checksAction() const { return m_checksAction; }
    ~CheckController() override;

    // The open block's findings; empty when no block or no translation.
    const QList<Finding> &findings() const { return m_findings; }
    // Checks the open block now (edits ask for it on the next turn of the loop).
    void recheck();

    // Shows and raises the checks window, narrowed to `scripts` when given,
    // and checks the project when it was not checked yet.
    void showChecksWindow(const QSet<QString> &scripts = {});
    ChecksWindow *checksWindow() const { return m_checksWindow; }
    // Reads and checks the whole project again, off the GUI thread.
    void refreshProject();
    // The store changed under the project (an import): checked again at once
    // when the checks window is open, else when it is next needed.
    void projectChanged();
    bool isCheckingProject() const { return m_thread != nullptr; }
    // The blocks of the last project check with findings and with a changed
    // original; nullopt until a check has finished (one is then started).
    std::optional<CheckedKeys> checkedKeys();

    // On a server's store: the project is read from a connection of its own
    // that `openReader` opens on the checking thread, and the open block's
    // links from `store`, the window's own, on the GUI thread. Without it the
    // program folder's store is read.
    using StoreOpener = std::function<Result<std::unique_ptr<ProjectStore>>()>;
    void readFromServer(ProjectStore &store, StoreOpener openReader);

    // The batch fit's menu, offered in the checks window.
    void setFitMenu(QMenu *menu);

    // Puts the checks around an export window's Export button.
    void watchExport(ExportWindow &window);

    // From the block editing: a block was loaded (empty key: none is open),
    // and a save ran.
    void blockLoaded(const QString &key, const BlockLoad &load);
    void blockSaved();

signals:
    // A finding of the checks window was opened: the block editing opens its node.
    void nodeClicked(const QModelIndex &node);
    // The open block was checked and its findings are shown.
    void openBlockChecked();
    // A project check finished and its findings are shown.
    void projectChecked();
    // The older rows of duplicated blocks were removed from the store.
    void duplicatesRemoved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Project;
    void projectRead(std::shared_ptr<Project> project);
    void openFinding(const FindingRow &finding);
    void removeDuplicates();
    void showOpenFindings(const QString &text);
    void underlineFindings();
    CheckContext &context();

    Controls m_c;
    const WindowSize &m_size;
    QString m_programFolder;
    QString m_storePath;
    // Its own connection: the links changed through the main window's show
    // in its data version.
    Database m_db;
    ProjectStore *m_server = nullptr;
    StoreOpener m_openReader;
    std::shared_ptr<Project> m_project;
    CheckContext m_fontOnly; // until the first project is read
    qint64 m_linksVersion = -1;
    QThread *m_thread = nullptr;
    bool m_refreshAgain = false;
    std::optional<CheckedBlock> m_open;
    // The open block's checks, for the context they were made with; made
    // again when the block, the project or its links change.
    std::unique_ptr<BlockChecker> m_checker;
    const CheckContext *m_checkerContext = nullptr;
    QList<Finding> m_findings;
    QTimer m_coalesce;
    QTimer m_underlinePause;
    OverflowMarks *m_marks = nullptr;
    ChecksWindow *m_checksWindow = nullptr;
    QMenu *m_fitMenu = nullptr; // a child of the main window once opened
    QAction *m_checksAction = nullptr;
};
