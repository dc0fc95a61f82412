#include "keeping/widgets/historywindow.h"

#include "ui/messages.h"
#include "ui_historywindow.h"

#include <QLocale>
#include <QPushButton>
#include <QTextCursor>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

QString firstLine(const QString &text)
{
    const QString line = text.section(u'\n', 0, 0).trimmed();
    return line.size() > 60 ? line.left(60) + u"…"_s : line;
}

QString shown(const QString &text)
{
    return QString(text).replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

HistoryWindow::HistoryWindow(const QString &storePath, const BlockAddress &address, const BlockVersion &now,
                             QWidget *parent, std::optional<Result<std::vector<AuthoredVersion>>> authored)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::HistoryWindow>())
{
    m_ui->setupUi(this);
    setWindowTitle(windowTitle() + u" - [%1] - [%2] - [%3]"_s.arg(address.table, address.fileName,
                                                                  QString::number(address.number)));
    connect(m_ui->restoreButton, &QPushButton::clicked, this, [this] {
        const int row = m_ui->versionList->indexOfTopLevelItem(m_ui->versionList->currentItem());
        if (row < 1)
            return;
        m_chosen = m_versions[size_t(row)];
        accept();
    });
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->versionList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        showDifferences(m_ui->versionList->indexOfTopLevelItem(current));
    });

    m_versions.push_back(now);
    // The draft is text that was never saved: shown apart, under the editor's
    // text and above the saved versions.
    const std::optional<BlockVersion> draft = blockDraft(storePath, address).value_or(std::nullopt);
    if (draft)
        m_versions.push_back(*draft);
    std::vector<QString> authors(m_versions.size()); // the editor's text and the draft are the translator's own
    if (authored && *authored) {
        for (const AuthoredVersion &kept : **authored) {
            m_versions.push_back(kept.version);
            authors.push_back(kept.user);
        }
    } else if (authored) {
        Messages::inform(this, u"The history of this block could not be read: %1"_s.arg(authored->error().message));
    } else if (const auto kept = blockVersions(storePath, address)) {
        m_versions.insert(m_versions.end(), kept->begin(), kept->end());
    } else {
        Messages::inform(this, u"The history of this block could not be read: %1"_s.arg(kept.error().message));
    }
    if (authored) {
        m_ui->versionList->setColumnCount(4);
        m_ui->versionList->headerItem()->setText(3, u"By"_s);
    }

    const QLocale locale = QLocale::system();
    for (size_t i = 0; i < m_versions.size(); ++i) {
        const BlockVersion &version = m_versions[i];
        const bool isDraft = draft && i == 1;
        QString when = i == 0 ? u"Now, in the editor"_s : locale.toString(version.time, QLocale::ShortFormat);
        if (isDraft)
            when = u"Unsaved draft, %1"_s.arg(when);
        auto *item = new QTreeWidgetItem(m_ui->versionList, {when, version.revised ? u"Revised"_s : QString(),
                                                             firstLine(shown(version.translation))});
        if (authored)
            item->setText(3, i < authors.size() ? authors[i] : QString());
        if (isDraft) {
            QFont font = item->font(0);
            font.setItalic(true);
            for (int column = 0; column < item->columnCount(); ++column)
                item->setFont(column, font);
        }
    }
    m_ui->versionList->resizeColumnToContents(0);
    selectVersion(m_versions.size() > 1 ? 1 : 0);
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::selectVersion(int row)
{
    m_ui->versionList->setCurrentItem(m_ui->versionList->topLevelItem(row));
}

void HistoryWindow::showDifferences(int row)
{
    m_ui->restoreButton->setEnabled(row >= 1);
    m_ui->differenceView->clear();
    if (row < 0)
        return;
    const BlockVersion &version = m_versions[size_t(row)];
    QTextCursor cursor(m_ui->differenceView->document());
    for (const TextChange &change : textChanges(shown(m_versions.front().translation), shown(version.translation))) {
        QTextCharFormat format;
        if (change.kind == TextChange::Removed) {
            format.setForeground(QColor(0xb0, 0x20, 0x20));
            format.setFontStrikeOut(true);
        } else if (change.kind == TextChange::Added) {
            format.setForeground(QColor(0x10, 0x80, 0x30));
            format.setFontUnderline(true);
        }
        cursor.insertText(change.text, format);
    }
    m_ui->commentLabel->setText(u"Comment: %1\nRevised: %2"_s.arg(version.comment.isEmpty() ? u"(none)"_s
                                                                                            : shown(version.comment),
                                                                 version.revised ? u"yes"_s : u"no"_s));
}
