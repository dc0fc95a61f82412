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
class frmVinculos;
}

// The list of every link, with a type-ahead search box. A click hands the
// line's word to `editLink` (the main window's Modify link, which opens the
// link dialog) and rewrites the line with what the dialog accepted.
class frmVinculos : public QDialog
{
    Q_OBJECT

public:
    // The accepted five words and comment, or nullopt when cancelled.
    using EditLink = std::function<std::optional<LinkFields>(const QString &word)>;

    frmVinculos(const QString &storePath, EditLink editLink, QWidget *parent = nullptr);
    ~frmVinculos() override;

    LinksModel *model() const { return m_model; }
    QTreeView *lstLinks() const;
    QLineEdit *txtBuscar() const;

    void txtBuscar_Change(const QString &text);
    void lstLinks_ItemClick(const QModelIndex &index);

    // Every way out closes the window's database instance.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load(const QString &storePath);
    void fillList();

    std::unique_ptr<Ui::frmVinculos> m_ui;
    LinksModel *m_model = nullptr;
    EditLink m_editLink;
    Database m_db;
    bool m_commentWidthSet = false;
};
