#pragma once

#include "keeping/history.h"
#include "store/result.h"

#include <QDialog>

#include <memory>
#include <optional>

// A version a store keeps itself (a server's), with who wrote it.
struct AuthoredVersion
{
    BlockVersion version;
    QString user;
};

namespace Ui {
class HistoryWindow;
}

// The kept versions of the open block, newest first below the editor's
// text as it is now and its unsaved draft, if any (in italics). Choosing one shows what restoring it would change in
// the translated editor; Restore hands it back to the caller, which puts it
// into the editors as an edit, saved like any other.
class HistoryWindow : public QDialog
{
    Q_OBJECT

public:
    // With `authored`, the versions are the store's own (newest first) in
    // place of history.db's, and a "By" column says who wrote each.
    HistoryWindow(const QString &storePath, const BlockAddress &address, const BlockVersion &now,
                  QWidget *parent = nullptr,
                  std::optional<Result<std::vector<AuthoredVersion>>> authored = std::nullopt);
    ~HistoryWindow() override;

    // Set when the window was closed with Restore.
    const std::optional<BlockVersion> &chosenVersion() const { return m_chosen; }
    // Selects a row (0: the text as it is now, then the draft if any, then the versions).
    void selectVersion(int row);

private:
    void showDifferences(int row);

    std::vector<BlockVersion> m_versions; // [0] is the editor's text now
    std::optional<BlockVersion> m_chosen;
    std::unique_ptr<Ui::HistoryWindow> m_ui;
};
