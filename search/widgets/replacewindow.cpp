#include "search/widgets/replacewindow.h"

#include "ui/messages.h"
#include "store/layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

template <class T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

// The line as the list shows it: CR LF cannot stand in one row.
QString oneLine(const QString &text)
{
    return QString(text).replace(u"\r\n"_s, u" "_s);
}

} // namespace

ReplaceWindow::ReplaceWindow(const QString &storePath, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"replaceWindow"_s);
    setWindowTitle(u"Replace"_s);
    resize(760, 480);
    m_find = named(new QLineEdit(this), "findBox");
    m_replacement = named(new QLineEdit(this), "replacementBox");
    m_in = named(new QComboBox(this), "scopeBox");
    m_in->addItems({u"Translated"_s, u"Comments"_s});
    m_folder = named(new QComboBox(this), "folderBox");
    m_folder->addItem(u"All folders"_s);
    for (const QString &table : ScriptTables::all)
        m_folder->addItem(table);
    m_matchCase = named(new QCheckBox(u"Match case"_s, this), "matchCaseBox");
    m_wholeWord = named(new QCheckBox(u"Whole words"_s, this), "wholeWordBox");
    m_regex = named(new QCheckBox(u"Regular expression"_s, this), "regexBox");
    m_list = named(new QTreeWidget(this), "matchesView");
    m_list->setHeaderLabels({u"Block"_s, u"Before"_s, u"After"_s});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_count = named(new QLabel(this), "countLabel");
    auto *findAllButton = named(new QPushButton(u"Find All"_s, this), "findAllButton");
    m_replace = named(new QPushButton(u"Replace Ticked"_s, this), "replaceButton");
    m_replace->setEnabled(false);
    auto *close = named(new QPushButton(u"Close"_s, this), "closeButton");

    auto *form = new QFormLayout;
    form->addRow(u"Find:"_s, m_find);
    form->addRow(u"Replace with:"_s, m_replacement);
    auto *scope = new QHBoxLayout;
    scope->addWidget(m_in);
    scope->addWidget(m_folder);
    scope->addWidget(m_matchCase);
    scope->addWidget(m_wholeWord);
    scope->addWidget(m_regex);
    scope->addStretch(1);
    form->addRow(u"In:"_s, scope);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    buttons->addWidget(findAllButton);
    buttons->addWidget(m_replace);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(findAllButton, &QPushButton::clicked, this, &ReplaceWindow::findAll);
    connect(m_find, &QLineEdit::returnPressed, this, &ReplaceWindow::findAll);
    connect(m_replace, &QPushButton::clicked, this, &ReplaceWindow::replaceTicked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    findAllButton->setDefault(true);
    if (const Result<Done> opened = openStore(m_db, storePath); !opened)
        m_count->setText(opened.error().message);
}

ReplaceOptions ReplaceWindow::options() const
{
    ReplaceOptions options;
    options.find = m_find->text();
    options.replacement = m_replacement->text();
    options.in = m_in->currentIndex() == 1 ? ReplaceField::Comments : ReplaceField::Translated;
    options.folder = m_folder->currentIndex() > 0 ? m_folder->currentText() : QString();
    options.matchCase = m_matchCase->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    options.regex = m_regex->isChecked();
    return options;
}

void ReplaceWindow::findAll()
{
    m_list->clear();
    m_listed = options();
    Result<MatchList> found = findMatches(m_db, m_listed);
    m_matches = found ? std::move(*found) : MatchList();
    if (!found) {
        m_replace->setEnabled(false);
        m_count->clear();
        Messages::inform(this, found.error().message);
        return;
    }
    QList<QTreeWidgetItem *> items;
    items.reserve(m_matches.count());
    for (const BlockMatches &block : m_matches.blocks) {
        const QString where = u"%1 %2 %3"_s.arg(block.address.table, block.address.fileName,
                                                  QString::number(block.address.number));
        for (const TextMatch &match : block.matches) {
            const auto [before, after] = matchLines(block.text, match);
            auto *item = new QTreeWidgetItem({where, oneLine(before), oneLine(after)});
            item->setCheckState(0, Qt::Checked);
            items << item;
        }
    }
    m_list->addTopLevelItems(items);
    m_count->setText(u"%1 matches in %2 blocks"_s.arg(m_matches.count()).arg(m_matches.blocks.size()));
    m_replace->setEnabled(!items.isEmpty());
}

void ReplaceWindow::replaceTicked()
{
    std::vector<bool> keep;
    keep.reserve(size_t(m_list->topLevelItemCount()));
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        keep.push_back(m_list->topLevelItem(i)->checkState(0) == Qt::Checked);
    if (std::find(keep.begin(), keep.end(), true) == keep.end())
        return;
    emit aboutToReplace();
    // What is listed is what gets replaced, even if the fields changed since.
    const Result<MatchList> fresh = findMatches(m_db, m_listed);
    if (!fresh || fresh->count() != m_matches.count()) {
        Messages::inform(this, u"The blocks changed since the matches were listed; nothing was replaced. "
                               "Look at the new list and replace again."_s);
        findAll();
        return;
    }
    const Result<ReplaceBatch> batch = replaceMatches(m_db, *fresh, m_listed.in, keep);
    if (!batch) {
        Messages::inform(this, batch.error().message);
        return;
    }
    emit replaced(*batch, m_listed.in);
    findAll();
    m_count->setText(replaceSummary(batch->replacements, qsizetype(batch->blocks.size())));
}
