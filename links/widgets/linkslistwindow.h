#pragma once

#include "links/linkstore.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class LinksModel;
class ProjectStore;
class QLineEdit;
class QTreeView;
namespace Ui {
class LinksListWindow;
}

// The list of every link of the open store, with a type-ahead search box. A click hands the
// line's word to `editLink` (the main window's Modify link, which opens the
// link dialog) and rewrites the line with what the dialog accepted.
class LinksListWindow : public QDialog
{
    Q_OBJECT

public:
    // The accepted five words and comment, or nullopt when cancelled.
    using EditLink = std::function<std::optional<LinkFields>(const QString &word)>;

    LinksListWindow(ProjectStore &store, EditLink editLink, QWidget *parent = nullptr);
    ~LinksListWindow() override;

    LinksModel *model() const { return m_model; }
    QTreeView *linksView() const;
    QLineEdit *searchBox() const;

    void filterLinks(const QString &text);
    void editClickedLink(const QModelIndex &index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillList(ProjectStore &store);

    std::unique_ptr<Ui::LinksListWindow> m_ui;
    LinksModel *m_model = nullptr;
    EditLink m_editLink;
    bool m_commentWidthSet = false;
};
