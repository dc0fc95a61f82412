#pragma once

#include "links/linkstore.h"
#include "store/database.h"

#include <QDialog>

#include <array>
#include <memory>

class QLineEdit;
namespace Ui {
class LinkDialog;
}

// The link dialog: adds a link to `hoverWord` (INSERT) or, in edit mode,
// rewrites its row (UPDATE). It holds a database instance of its own from
// load to unload, on the same file as the main window.
class LinkDialog : public QDialog
{
    Q_OBJECT

public:
    LinkDialog(const QString &storePath, const QString &hoverWord, bool editLinkMode, QWidget *parent = nullptr);
    ~LinkDialog() override;

    // txtWord(0..4) and txtComment, for filling before the dialog shows.
    void setFields(const LinkFields &fields);
    LinkFields fields() const;
    QLineEdit *wordBox(int index) const { return m_wordBoxes.at(size_t(index)); }
    QLineEdit *commentBox() const;

    // Set by a successful OK; the five words and the comment as typed.
    bool linkAccepted() const { return m_linkAccepted; }
    const LinkFields &acceptedLink() const { return m_acceptedLink; }

    void acceptLink();
    void cancel();

    // OK, Cancel, Escape and the window frame all end here.
    void done(int result) override;

private:
    void loadStore(const QString &storePath);
    void closeStore();

    std::unique_ptr<Ui::LinkDialog> m_ui;
    std::array<QLineEdit *, 5> m_wordBoxes{};
    Database m_db;
    QString m_hoverWord;
    bool m_editLinkMode = false;
    bool m_linkAccepted = false;
    LinkFields m_acceptedLink;
};
