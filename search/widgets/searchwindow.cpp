#include "search/widgets/searchwindow.h"

#include "ui/messages.h"
#include "search/logging.h"

#include "ui_searchwindow.h"

#include <QApplication>
#include <QHeaderView>

using namespace Qt::StringLiterals;

SearchWindow::SearchWindow(const QString &storePath, ScriptTreeJump jump, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SearchWindow>())
    , m_jump(std::move(jump))
{
    m_ui->setupUi(this);
    m_ui->lstSearch->setModel(&m_hits);
    connect(m_ui->cmdBuscar, &QPushButton::clicked, this, &SearchWindow::runSearch);
    // txtSearch_KeyDown: Enter searches as the button does.
    connect(m_ui->txtSearch, &QLineEdit::returnPressed, this, &SearchWindow::runSearch);
    connect(m_ui->lstSearch, &QTreeView::clicked, this, &SearchWindow::openHit);
    loadStore(storePath);
}

SearchWindow::~SearchWindow()
{
    closeStore();
}

void SearchWindow::loadStore(const QString &storePath)
{
    if (!openStore(m_db, storePath) || !m_db.useUnicodeLike()) {
        m_openError = m_db.lastError();
        qCWarning(lcSearch) << "search window cannot open the store:" << m_openError.message;
    }
    applyColumnWidths();
    m_ui->cmbType->addItems(searchTypeCaptions());
    m_ui->cmbType->setCurrentIndex(0);
}

void SearchWindow::closeStore()
{
    m_db.close();
}

void SearchWindow::applyColumnWidths()
{
    // Widths are given in twips; the screen's logical resolution turns them
    // into pixels.
    const int dpi = logicalDpiX();
    QHeaderView *header = m_ui->lstSearch->header();
    header->setStretchLastSection(false);
    for (int c = 0; c < SearchHitModel::ColumnCount; ++c)
        header->resizeSection(c, SearchHitModel::columnTwips(c) * dpi / 1440);
}

void SearchWindow::runSearch()
{
    if (!m_db.isOpen()) {
        Messages::inform(this, m_openError.message);
        return;
    }
    const auto type = static_cast<SearchType>(qBound(0, m_ui->cmbType->currentIndex(), 3));
    const QString typed = m_ui->txtSearch->text();
    if (const SearchInput input = prepareSearchText(typed); !input.accepted()) {
        // The list keeps its lines when the input is refused.
        Messages::inform(this, input.problem);
        return;
    }
    m_hits.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SearchOutcome outcome = searchBlocks(m_db, type, typed);
    m_hits.setHits(std::move(outcome.hits));
    QApplication::restoreOverrideCursor();
    Messages::inform(this, outcome.message);
}

void SearchWindow::openHit(const QModelIndex &index)
{
    const SearchHit *hit = m_hits.hit(index.row());
    if (!hit)
        return;
    jumpToBlock(m_jump, hitKey(*hit));
}
