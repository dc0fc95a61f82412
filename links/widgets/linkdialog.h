#pragma once

#include "links/linkstore.h"

#include <QDialog>

#include <array>
#include <memory>

class ProjectStore;
class QLineEdit;
namespace Ui {
class LinkDialog;
}

// The link dialog: adds a link to `hoverWord` or, in edit mode, rewrites its
// rows, on the open store.
class LinkDialog : public QDialog
{
    Q_OBJECT

public:
    LinkDialog(ProjectStore &store, const QString &hoverWord, bool editLinkMode, QWidget *parent = nullptr);
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

private:

    std::unique_ptr<Ui::LinkDialog> m_ui;
    std::array<QLineEdit *, 5> m_wordBoxes{};
    ProjectStore &m_store;
    QString m_hoverWord;
    bool m_editLinkMode = false;
    bool m_linkAccepted = false;
    LinkFields m_acceptedLink;
};
