#include "links/widgets/linkslistwindow.h"

#include "ui/messages.h"
#include "keeping/projectstore.h"
#include "links/linksmodel.h"
#include "ui_linkslistwindow.h"

#include <QHeaderView>

using namespace Qt::StringLiterals;

LinksListWindow::LinksListWindow(ProjectStore &store, EditLink editLink, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LinksListWindow>())
    , m_model(new LinksModel(this))
    , m_editLink(std::move(editLink))
{
    m_ui->setupUi(this);
    m_ui->lstLinks->setModel(m_model);
    m_ui->lstLinks->header()->setStretchLastSection(false);
    connect(m_ui->txtBuscar, &QLineEdit::textChanged, this, &LinksListWindow::filterLinks);
    connect(m_ui->lstLinks, &QTreeView::clicked, this, &LinksListWindow::editClickedLink);
    fillList(store);
}

LinksListWindow::~LinksListWindow() = default;

QTreeView *LinksListWindow::linksView() const
{
    return m_ui->lstLinks;
}

QLineEdit *LinksListWindow::searchBox() const
{
    return m_ui->txtBuscar;
}

void LinksListWindow::fillList(ProjectStore &store)
{
    Result<std::vector<LinkColumns>> rows = store.links();
    m_model->setLinks(rows ? linkRowsFrom(*rows) : QList<LinkRow>());
    if (!rows)
        Messages::inform(this, rows.error().message);
}

void LinksListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The list has its real width only once shown.
    if (!m_commentWidthSet) {
        m_commentWidthSet = true;
        m_ui->lstLinks->setColumnWidth(LinksModel::CommentColumn, m_ui->lstLinks->width() / 6);
    }
}

void LinksListWindow::filterLinks(const QString &text)
{
    if (m_model->rowCount() == 0)
        return;
    const int row = m_model->findPrefix(text);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 0);
    m_ui->lstLinks->setCurrentIndex(index);
    m_ui->lstLinks->scrollTo(index);
}

void LinksListWindow::editClickedLink(const QModelIndex &index)
{
    if (!index.isValid() || !m_editLink)
        return;
    const int row = index.row();
    const QString word = m_model->link(row).word;
    const std::optional<LinkFields> accepted = m_editLink(word);
    if (!accepted)
        return;
    LinkRow link{word, {}, (*accepted)[5]};
    for (size_t i = 0; i < 5; ++i)
        link.suggestions[i] = (*accepted)[i];
    m_model->setLink(row, link);
}
