#include "search/widgets/searchwindow.h"

#include "ui/messages.h"
#include "search/logging.h"
#include "keeping/projectstore.h"

#include "ui_searchwindow.h"

#include <QApplication>
#include <QHeaderView>

using namespace Qt::StringLiterals;

SearchWindow::SearchWindow(ProjectStore &store, ScriptTreeJump jump, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SearchWindow>())
    , m_jump(std::move(jump))
    , m_store(store)
{
    m_ui->setupUi(this);
    m_ui->lstSearch->setModel(&m_hits);
    connect(m_ui->cmdBuscar, &QPushButton::clicked, this, &SearchWindow::runSearch);
    // txtSearch_KeyDown: Enter searches as the button does.
    connect(m_ui->txtSearch, &QLineEdit::returnPressed, this, &SearchWindow::runSearch);
    connect(m_ui->lstSearch, &QTreeView::clicked, this, &SearchWindow::openHit);
    applyColumnWidths();
    m_ui->cmbType->addItems(searchTypeCaptions());
    m_ui->cmbType->setCurrentIndex(0);
}

SearchWindow::~SearchWindow() = default;

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
    const auto type = static_cast<SearchType>(qBound(0, m_ui->cmbType->currentIndex(), 3));
    const QString typed = m_ui->txtSearch->text();
    if (const SearchInput input = prepareSearchText(typed); !input.accepted()) {
        // The list keeps its lines when the input is refused.
        Messages::inform(this, input.problem);
        return;
    }
    m_hits.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Result<SearchOutcome> outcome = m_store.search(type, typed);
    QApplication::restoreOverrideCursor();
    if (!outcome) {
        qCWarning(lcSearch) << "search failed:" << outcome.error().message;
        Messages::inform(this, outcome.error().message);
        return;
    }
    m_hits.setHits(std::move(outcome->hits));
    Messages::inform(this, outcome->message);
}

void SearchWindow::openHit(const QModelIndex &index)
{
    const SearchHit *hit = m_hits.hit(index.row());
    if (!hit)
        return;
    jumpToBlock(m_jump, hitKey(*hit));
}
