#include "app/mainwindow.h"

#include "app/aboutdialog.h"
#include "app/batchundocontroller.h"
#include "app/blockeditcontroller.h"
#include "app/checkcontroller.h"
#include "app/exchangecontroller.h"
#include "app/fitcontroller.h"
#include "app/editorcontroller.h"
#include "app/exportcontroller.h"
#include "app/importcontroller.h"
#include "app/keepcontroller.h"
#include "app/linkscontroller.h"
#include "app/memorycontroller.h"
#include "app/replacecontroller.h"
#include "app/navigationcontroller.h"
#include "app/originalchangecontroller.h"
#include "app/previewcontroller.h"
#include "app/searchcontroller.h"
#include "app/serverbatch.h"
#include "app/spellcontroller.h"
#include "app/teamcontroller.h"
#include "app/teameditcontroller.h"
#include "app/teamserver.h"
#include "app/translatedimportcontroller.h"
#include "app/treecontroller.h"
#include "ui/messages.h"
#include "ui/mnemonics.h"
#include "app/windowsettings.h"
#include "editor/widgets/previewwidget.h"
#include "memory/widgets/memorypanel.h"
#include "store/widgets/scripttree.h"
#include "editor/widgets/translatededit.h"
#include "project/sqlitestore.h"
#include "server/serverstore.h"
#include "store/layout.h"
#include "store/scriptrows.h"
#include "files/programfolder.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// Shown in the start-up trap's message; a translator reaches the team there.
const QString ContactText = u"the Tallowpen team (tallowpen@users.invalid): the store could not be opened, error "_s;

} // namespace

MainWindow::MainWindow(const QString &programFolder, QWidget *parent, std::unique_ptr<ProjectStore> server)
    : QMainWindow(parent)
    , m_programFolder(programFolder)
    , m_store(server ? std::move(server) : std::make_unique<SqliteStore>(m_db))
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"Brassvale Script Editor V2.0.0.11 - Tallowpen, a translator's workbench - "_s + storeName());
    setWindowIcon(QIcon(u":/tallowpen/app.png"_s));
    // The title bar's close box does nothing: the program is left through Exit.
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    m_openBlock.setDraftStore(storePath());
    buildControls();
    buildCommandActions();
    buildToolbar();
    FeatureEntries entries = buildFeatures();
    m_settings = new WindowSettings(*this, *m_splitter, *m_c.preview);
    connect(this, &MainWindow::aboutToExit, m_settings, &WindowSettings::save);
    entries.zoom = m_settings->zoomMenu();
    buildMenus(entries);
    auto *storeLabel = new QLabel(storeName(), this);
    storeLabel->setObjectName(u"storeLabel"_s);
    statusBar()->addPermanentWidget(storeLabel);
    addMenuMnemonics(*menuBar());
}

void MainWindow::restoreWindowSettings()
{
    m_settings->restore();
}

MainWindow::~MainWindow() = default;

QString MainWindow::storePath() const
{
    return programPath(m_programFolder, StoreFileName);
}

QString MainWindow::storeName() const
{
    return m_store->keepsVersions() ? m_store->where() : QDir::toNativeSeparators(QDir::cleanPath(storePath()));
}

// What the window is made of: one controller per feature, each handed the
// controls and services it works on; then what they tell each other, and
// what each command does.
MainWindow::FeatureEntries MainWindow::buildFeatures()
{
    const MainControls &c = m_c;
    // On a server's store the features below that work on a store file get
    // a working copy of it, written back afterwards.
    auto *batch = new ServerBatch(*this, m_db, m_programFolder, dynamic_cast<ServerStore *>(m_store.get()));
    auto *tree = new TreeController(*c.tree, *c.status, *m_store, this);
    auto *blocks = new BlockEditController({.tree = c.tree,
                                            .original = c.original,
                                            .translation = c.translation,
                                            .comment = c.comment,
                                            .revised = c.revised,
                                            .status = c.status,
                                            .saveMarker = c.saveMarker,
                                            .saveMarkerDelay = c.saveMarkerDelay,
                                            .saveTimer = c.saveTimer,
                                            .automaticSave = c.automaticSaveAction,
                                            .saveEntry = c.saveAction},
                                           m_db, *m_store, m_openBlock, *this);
    auto *memory = new MemoryController({this, c.memoryPanel, c.tree, c.translation, c.status}, *m_store, m_db,
                                        m_openBlock, m_programFolder);
    connect(blocks, &BlockEditController::blockLoaded, memory, &MemoryController::blockLoaded);
    connect(blocks, &BlockEditController::saved, memory, &MemoryController::blockSaved);
    connect(memory, &MemoryController::nodeClicked, blocks, &BlockEditController::openBlock);
    m_preview = new PreviewController(*c.translation, *c.preview, *c.previewContainer, *c.previewScroll,
                                      m_openBlock.windowSize(), this);
    auto *editor = new EditorController(*c.translation, *c.tree, {c.guide28, c.guide32, c.guide28Action, c.guide32Action},
                                        m_openBlock, m_db, this);
    auto *links = new LinksController(*c.translation,
                                      {c.linkMenu, c.modifyLinkAction, c.eraseLinkAction, c.suggestionActions, c.addLinkMenu,
                                       c.addLinkAction},
                                      *m_store, m_db, m_programFolder, *this);
    const ImportControls importing{.window = this,
                                   .toolbar = c.toolbar,
                                   .tree = c.tree,
                                   .exitEntry = c.exitAction,
                                   .viewEntry = c.viewScriptAction,
                                   .menus = {c.toolsMenu, c.translationMenu, c.editMenu, c.insertMenu},
                                   .automaticSave = c.automaticSaveAction,
                                   .path = c.folderPath,
                                   .status = c.status,
                                   .progress = c.progress,
                                   .original = c.original,
                                   .translation = c.translation,
                                   .comment = c.comment,
                                   .revised = c.revised};
    auto *originals = new ImportController(importing, m_db, this);
    auto *translations = new TranslatedImportController(importing, m_db, this);
    // View Script reads one script through a server's store; the export reads a copy of it whole.
    auto *exporting = new ExportController(*c.original, *c.tree, m_programFolder, batch->storePath(), *this,
                                           m_store->keepsVersions() ? m_store.get() : nullptr);
    auto *search = new SearchController(*c.tree, *m_store, *this);
    auto *spelling = new SpellController(*c.translation, m_programFolder, *this);
    spelling->setLinks(links->glossary(), *c.linkMenu, *c.addLinkMenu);
    connect(blocks, &BlockEditController::blockLoaded, spelling, &SpellController::blockLoaded);
    auto *checks = new CheckController({this, c.tree, c.translation, c.checksSummary, c.preview},
                                       m_openBlock.windowSize(), m_programFolder, storePath());
    if (auto *server = dynamic_cast<ServerStore *>(m_store.get())) {
        checks->readFromServer(*server, [address = server->connection().address()]()
                                            -> Result<std::unique_ptr<ProjectStore>> {
            Result<ServerStore> reader = ServerStore::open(address);
            if (!reader)
                return reader.error();
            return std::unique_ptr<ProjectStore>(std::make_unique<ServerStore>(std::move(*reader)));
        });
    }
    m_keep = new KeepController({this, c.tree, c.translation, c.comment, c.revised, c.status},
                                *blocks, m_programFolder, storePath());
    auto *fitting = new FitController({this, c.tree, c.translation, c.status}, m_openBlock.windowSize(), m_db,
                                      this);
    auto *exchange = new ExchangeController({this, c.tree, c.status}, m_db, m_programFolder, this);
    auto *teamServer = new TeamServerController(storeName(), *this);
    m_team = new TeamController({this, c.tree, c.status, c.revisedHolder, c.revised}, *blocks,
                                dynamic_cast<ServerStore *>(m_store.get()));
    connect(this, &MainWindow::aboutToExit, m_team, &TeamController::stop);
    m_keep->setVersionReader(m_team->versionReader());
    if (auto *server = dynamic_cast<ServerStore *>(m_store.get()))
        m_teamEdit = new TeamEditController({this, c.status}, *blocks, m_openBlock, *tree, *server, m_programFolder,
                                        storePath());

    connect(this, &MainWindow::storeReady, tree, &TreeController::showStore);
    connect(m_keep, &KeepController::storeRestored, tree, [tree, blocks] {
        blocks->closeBlock(); // its text stays in its draft, not in the restored store
        tree->rebuildTree();
    });
    connect(m_keep, &KeepController::storeRestored, checks, &CheckController::projectChanged);
    connect(checks, &CheckController::duplicatesRemoved, tree, [tree, blocks] {
        blocks->closeBlock();
        tree->rebuildTree();
    });
    connect(originals, &ImportController::scriptsChanged, tree, &TreeController::rebuildTree);
    connect(originals, &ImportController::saveRequested, blocks, &BlockEditController::save);
    connect(translations, &TranslatedImportController::scriptsChanged, tree, &TreeController::rebuildTree);
    connect(search, &SearchController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(checks, &CheckController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(fitting, &FitController::saveRequested, blocks, &BlockEditController::save);
    connect(fitting, &FitController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(fitting, &FitController::blocksSaved, checks, &CheckController::projectChanged);
    auto *batches = new BatchUndoController({this, c.tree, c.status}, m_db, this);
    batches->setServer(batch);
    connect(batches, &BatchUndoController::saveRequested, blocks, &BlockEditController::save);
    connect(batches, &BatchUndoController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(batches, &BatchUndoController::blocksSaved, checks, &CheckController::projectChanged);
    checks->setFitMenu(fitting->overflowingMenu());
    connect(exchange, &ExchangeController::saveRequested, blocks, &BlockEditController::save);
    connect(exchange, &ExchangeController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(exchange, &ExchangeController::translationsImported, checks, &CheckController::projectChanged);
    connect(exchange, &ExchangeController::translationsImported, memory, &MemoryController::storeChanged);
    connect(blocks, &BlockEditController::blockLoaded, checks, &CheckController::blockLoaded);
    connect(blocks, &BlockEditController::saved, checks, &CheckController::blockSaved);
    connect(blocks, &BlockEditController::windowSizeReset, checks, &CheckController::recheck);
    connect(exporting, &ExportController::exportWindowOpened, checks, &CheckController::watchExport);
    connect(originals, &ImportController::scriptsChanged, checks, &CheckController::projectChanged);
    connect(translations, &TranslatedImportController::scriptsChanged, checks, &CheckController::projectChanged);
    connect(this, &MainWindow::commandRun, checks, [checks](Command command) {
        if (command == Command::ImportLinks)
            checks->refreshProject(); // the glossary rule reads the new links, for the open block too
    });
    connect(this, &MainWindow::aboutToExit, blocks, &BlockEditController::saveAtExit);
    connect(blocks, &BlockEditController::editorsEmptied, m_preview, &PreviewController::startOver);
    connect(blocks, &BlockEditController::translationCleaned, m_preview, &PreviewController::clearPreview);
    connect(blocks, &BlockEditController::windowSizeReset, m_preview, &PreviewController::redrawPreview);
    connect(editor, &EditorController::aboutToResize, m_preview, &PreviewController::flush);
    connect(editor, &EditorController::resized, m_preview, &PreviewController::redrawPreview);
    connect(editor, &EditorController::fieldBlockKeyDown, m_preview, &PreviewController::requestKeyRedraw);
    connect(blocks, &BlockEditController::blockLoaded, links, [links](const QString &key) {
        if (!key.isEmpty())
            links->highlightLinks();
    });
    connect(blocks, &BlockEditController::originalCloned, links, &LinksController::highlightLinks);
    auto *replacing = new ReplaceController(*c.tree, batch->storePath(), *this);
    connect(replacing, &ReplaceController::saveRequested, blocks, &BlockEditController::save);
    connect(replacing, &ReplaceController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(replacing, &ReplaceController::batchDone, checks, &CheckController::projectChanged);
    auto *navigation = new NavigationController({c.tree, c.treeFilter, c.status}, checks, this);
    connect(navigation, &NavigationController::nodeClicked, blocks, &BlockEditController::openBlock);
    connect(originals, &ImportController::scriptsChanged, navigation, &NavigationController::applyFilter);
    connect(translations, &TranslatedImportController::scriptsChanged, navigation, &NavigationController::applyFilter);
    auto *originalChange = new OriginalChangeController(*c.original, *c.oldOriginal, *m_store, m_openBlock, this);
    connect(blocks, &BlockEditController::blockLoaded, originalChange,
            [originalChange](const QString &, const BlockLoad &load) { originalChange->blockLoaded(load); });
    connect(blocks, &BlockEditController::saved, originalChange, &OriginalChangeController::blockSaved);

    const auto on = [this](Command command, auto *feature, auto action) {
        setCommand(command, [feature, action] { (feature->*action)(); });
    };
    on(Command::Save, blocks, &BlockEditController::save);
    on(Command::ToggleAutoSave, blocks, &BlockEditController::toggleAutomaticSave);
    on(Command::Exit, this, &MainWindow::exitProgram);
    on(Command::Clean, blocks, &BlockEditController::cleanTranslation);
    on(Command::Clone, blocks, &BlockEditController::cloneOriginal);
    on(Command::CheckSpell, spelling, &SpellController::checkSpelling);
    on(Command::Search, search, &SearchController::openSearch);
    on(Command::ViewScript, exporting, &ExportController::openScriptView);
    on(Command::ViewLinks, links, &LinksController::openLinksList);
    on(Command::Guide28, editor, &EditorController::toggleGuide28);
    on(Command::Guide32, editor, &EditorController::toggleGuide32);
    const auto batched = [this, batch](Command command, const QString &what, auto *feature, auto action) {
        setCommand(command, [batch, what, feature, action] {
            batch->run(what, [feature, action] { (feature->*action)(); });
        });
    };
    batched(Command::ImportOriginal, u"the import"_s, originals, &ImportController::importOriginals);
    batched(Command::ImportTranslated, u"the import"_s, translations, &TranslatedImportController::importTranslations);
    batched(Command::ImportLinks, u"the import of the links file"_s, links, &LinksController::importLinksFile);
    setCommand(Command::ExportTranslated,
               [batch, exporting] { batch->read([exporting] { exporting->openExport(); }); });
    on(Command::About, this, &MainWindow::showAbout);
    const std::pair<Command, QString> tags[] = {
        {Command::InsertNew, u"<New>\r\n"_s},
        {Command::InsertWait, u"<Wait>\r\n"_s},
        {Command::InsertDelay, u"<Delay >"_s},
        {Command::InsertSpace, u"<Space >"_s},
        {Command::InsertOpcode, u"<Opcode >"_s},
        {Command::InsertClose, u"<Close><End of Block>"_s},
    };
    for (const auto &[command, tag] : tags)
        setCommand(command, [editor, text = tag] { editor->insertTag(text); });

    const QList<TeamController::LeadEntry> leadOnly{{c.importOriginalAction, u"import original scripts"_s},
                                                    {c.importTranslatedAction, u"import translated scripts"_s},
                                                    {originals->updateAction(), u"update originals"_s},
                                                    {c.importLinksAction, u"import a links file"_s},
                                                    {c.exportTranslatedAction, u"export scripts"_s}};
    // The word links are written on the open store, whichever it is.
    const QList<TeamController::LeadEntry> linkEntries{{c.addLinkAction, u"add word links"_s},
                                                       {c.modifyLinkAction, u"change word links"_s},
                                                       {c.eraseLinkAction, u"erase word links"_s}};
    m_team->setLeadEntries(leadOnly + linkEntries);

    batch->route(replacing->replaceAction(), &QAction::triggered, replacing, u"the replace"_s,
                 [replacing] { replacing->openReplace(); });
    batch->route(originals->updateAction(), &QAction::triggered, originals, u"the update of the originals"_s,
                 [originals] { originals->updateOriginals(); });
    batch->route(exchange->importAction(), &QAction::triggered, exchange, u"the import of the translation file"_s,
                 [exchange] { exchange->chooseImport(); });
    batch->routeRead(exchange->exportAction(), &QAction::triggered, exchange, [exchange] { exchange->openExport(); });
    batch->route(c.memoryPanel, &MemoryPanel::repeatsRequested, memory, u"Apply to Repeats"_s,
                 [memory] { memory->openRepeats(); });
    const QList<QAction *> fitScopes = fitting->overflowingMenu()->actions();
    const FitController::Scope scopes[] = {FitController::Scope::Script, FitController::Scope::Folder,
                                           FitController::Scope::Project};
    for (qsizetype i = 0; i < fitScopes.size() && i < 3; ++i) {
        batch->route(fitScopes[i], &QAction::triggered, fitting, u"the fit"_s,
                     [fitting, scope = scopes[i]] { fitting->fitOverflowing(scope); });
    }
    if (batch->onServer())
        m_keep->setRestorer([batch](const QString &file) { return batch->restore(file); });
    // The open block's edits reach the server before the copy is made; after
    // the run, the tree, the counts and the open block are read afresh.
    connect(batch, &ServerBatch::aboutToCopy, blocks, [blocks] {
        if (blocks->hasUnsavedEdits())
            blocks->save();
    });
    connect(batch, &ServerBatch::batchEnded, this, [tree, blocks, checks, memory, navigation, treeView = c.tree] {
        const QString open = blocks->openKey();
        blocks->closeBlock();
        tree->showStore();
        navigation->applyFilter();
        if (!open.isEmpty() && ScriptTree::selectKey(*treeView, open))
            blocks->openBlock(treeView->currentIndex());
        checks->projectChanged();
        memory->storeChanged();
    });

    return {.undoBatch = batches->undoAction(),
            .replace = replacing->replaceAction(),
            .moves = navigation->moveActions(),
            .zoom = nullptr,
            .statistics = memory->statisticsAction(),
            .updateOriginals = originals->updateAction(),
            .checks = checks->checksAction(),
            .keeping = m_keep->menuEntries(),
            .fit = fitting->fitBlockAction(),
            .fitOverflowing = fitting->overflowingMenu(),
            .exportForTranslation = exchange->exportAction(),
            .importTranslationFile = exchange->importAction(),
            .teamServer = teamServer->entry(),
            .takeNext = m_team->takeNextAction()};
}

void MainWindow::setCommand(Command command, std::function<void()> handler)
{
    m_commands[command] = std::move(handler);
}

void MainWindow::runCommand(Command command)
{
    if (auto it = m_commands.find(command); it != m_commands.end() && it->second)
        it->second();
    emit commandRun(command);
}

void MainWindow::runToolButton(int position)
{
    if (const auto command = toolbarCommand(position))
        runCommand(*command);
}

void MainWindow::exitProgram()
{
    if (m_exited)
        return;
    emit aboutToExit();
    m_keep->waitForBackup();
    m_exited = true;
    m_db.close();
    close();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Only Exit closes the window; the close box and Alt+F4 do nothing.
    if (m_exited)
        event->accept();
    else
        event->ignore();
}

void MainWindow::loadFont()
{
    const QString fontPath = programPath(m_programFolder, u"font\\font.bmp"_s);
    QImage font;
    if (QFileInfo(fontPath).isFile() && font.load(fontPath)) {
        m_preview->setFont(font);
        return;
    }
    Messages::inform(this, u"Required file 'font.bmp' is not in the 'Font' folder, preview will be disabled."_s);
    m_c.preview->hide();
}

bool MainWindow::load()
{
    loadFont();

    if (m_store->keepsVersions())
        return loadServerStore();
    if (!QFileInfo(storePath()).isFile()) {
        Messages::inform(this, u"Required file 'tallowpen.db' is not in the .exe path folder, program will be closed."_s);
        return false;
    }

    // The close entry of the system menu is taken away in the constructor
    // (the window carries no close button hint); nothing more to do here.
    disableEditorsUntilLoaded();
    m_keep->startUp();
    if (const Result<Done> opened = openStore(m_db, storePath()); !opened) {
        reportStartUpError(opened.error());
        return true;
    }
    if (m_db.isReadOnly())
        Messages::inform(this, u"The store %1 can only be read: its file or folder is not writable. Every block "
                               "can be viewed, but nothing can be saved."_s.arg(QDir::cleanPath(storePath())));

    Result<ResultSet> arena = tableRows(m_db, ScriptTables::battlingArena);
    if (!arena.ok()) {
        reportStartUpError(arena.error());
        return true;
    }
    if (arena->rowCount() > 0)
        emit storeReady();
    m_c.saveTimer->start();
    return true;
}

// Disabled before the store is opened: a store that cannot be opened
// leaves nothing to edit. Both guides start shown.
void MainWindow::disableEditorsUntilLoaded()
{
    m_c.guide28Action->setChecked(true);
    m_c.guide32Action->setChecked(true);
    for (QWidget *w : {static_cast<QWidget *>(m_c.original), static_cast<QWidget *>(m_c.translation),
                       static_cast<QWidget *>(m_c.comment), static_cast<QWidget *>(m_c.revised)})
        w->setEnabled(false);
    m_c.saveAction->setEnabled(false);
}

// The server's store holds the blocks: no file to check, back up or trap;
// a failure says what the server said and leaves the editors disabled.
bool MainWindow::loadServerStore()
{
    disableEditorsUntilLoaded();
    m_team->showRights();
    const Result<TranslationCount> count = m_store->countBlocks();
    if (!count) {
        Messages::inform(this, u"The store on %1 could not be read: %2"_s.arg(storeName(), count.error().message));
        return true;
    }
    if (count->hasBlocks())
        emit storeReady();
    if (m_teamEdit)
        m_teamEdit->replayOutbox();
    m_c.saveTimer->start();
    return true;
}

void MainWindow::reportStartUpError(const Failure &error)
{
    // The number and the description stand as the trap puts them; the
    // description opens with a full stop, so the number is never read as
    // part of the store's path.
    const QString description =
        u". %1 The editors stay disabled; to go back to a copy in %2, run \"tallowpen-cli backups\" to list them "
        "and \"tallowpen-cli restore FILE\" to put one back, then start Tallowpen again."_s.arg(
            error.message.trimmed(), QDir::toNativeSeparators(QDir(m_programFolder).filePath(u"backups"_s)));
    Messages::inform(this, u"Debug: Please report this error to "_s + ContactText + QString::number(error.code)
                               + description);
}

void MainWindow::showAbout()
{
    AboutDialog about(m_programFolderNote.isEmpty() ? m_programFolder : m_programFolderNote, this);
    about.exec();
}
