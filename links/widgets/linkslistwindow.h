#pragma once

#include "links/linkstore.h"
#include "store/database.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class LinksModel;
class QLineEdit;
class QTreeView;
namespace Ui {
class LinksListWindow;
}

// The list of every link, with a type-ahead search box. A click hands the
// line's word to `editLink` (the main window's Modify link, which opens the
// link dialog) and rewrites the line with what the dialog accepted.
class LinksListWindow : public QDialog
{
    Q_OBJECT

public:
    // The accepted five words and comment, or nullopt when cancelled.
    using EditLink = std::function<std::optional<LinkFields>(const QString &word)>;

    LinksListWindow(const QString &storePath, EditLink editLink, QWidget *parent = nullptr);
    ~LinksListWindow() override;

    LinksModel *model() const { return m_model; }
    QTreeView *linksView() const;
    QLineEdit *searchBox() const;

    void filterLinks(const QString &text);
    void editClickedLink(const QModelIndex &index);

    // Every way out closes the window's database instance.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadStore(const QString &storePath);
    void fillList();

    std::unique_ptr<Ui::LinksListWindow> m_ui;
    LinksModel *m_model = nullptr;
    EditLink m_editLink;
    Database m_db;
    bool m_commentWidthSet = false;
};
