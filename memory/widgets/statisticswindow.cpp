#include "memory/widgets/statisticswindow.h"

#include "store/translationstatus.h"

#include "ui_statisticswindow.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QStringList columns(const QString &name, const ScriptFigures &f)
{
    const auto share = [](qint64 part, qint64 whole) {
        return whole > 0 ? QString::number(percentOf(part, whole)) : QString();
    };
    return {name,
            QString::number(f.blocks),
            QString::number(f.translated),
            share(f.translated, f.blocks),
            QString::number(f.revised),
            share(f.revised, f.blocks),
            QString::number(f.words),
            QString::number(f.wordsTranslated),
            share(f.wordsTranslated, f.words),
            QString::number(f.characters),
            QString::number(f.charactersTranslated),
            share(f.charactersTranslated, f.characters)};
}

QTreeWidgetItem *addRow(QTreeWidget *list, QTreeWidgetItem *parent, const QString &name, const ScriptFigures &f)
{
    auto *item = parent ? new QTreeWidgetItem(parent, columns(name, f)) : new QTreeWidgetItem(list, columns(name, f));
    for (int c = 1; c < item->columnCount(); ++c)
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

StatisticsWindow::StatisticsWindow(const ProjectFigures &figures, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::StatisticsWindow>())
{
    m_ui->setupUi(this);
    QTreeWidget *list = m_ui->figuresView;
    size_t next = 0;
    for (const ScriptFigures &folder : figures.folders) {
        QTreeWidgetItem *folderRow = addRow(list, nullptr, folder.table, folder);
        for (; next < figures.scripts.size() && figures.scripts[next].table == folder.table; ++next)
            addRow(list, folderRow, figures.scripts[next].fileName, figures.scripts[next]);
    }
    m_total = addRow(list, nullptr, u"All scripts"_s, figures.total);
    QFont bold = m_total->font(0);
    bold.setBold(true);
    for (int c = 0; c < m_total->columnCount(); ++c)
        m_total->setFont(c, bold);
    list->resizeColumnToContents(0);
    connect(m_ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

StatisticsWindow::~StatisticsWindow() = default;
