#pragma once

#include "memory/blockcontext.h"
#include "memory/translationmemory.h"

#include <QStringList>
#include <QWidget>

#include <utility>
#include <vector>

class QPushButton;
class QTabWidget;
class QTextBrowser;

// The panel beside the editors: the translation memory's matches for the
// open block (tab "Matches") and the blocks around it (tab "Context").
// It only shows; what a click means is the controller's business.
class MemoryPanel : public QWidget
{
    Q_OBJECT

public:
    explicit MemoryPanel(QWidget *parent = nullptr);

    // `current` is the open block's original as the editors show it.
    void showMatches(const QString &current, const std::vector<MemoryMatch> &matches);
    // A sentence instead of matches: no block open, or the memory is out of use.
    void showNote(const QString &text);
    // Below the matches: the machine draft, inserted by Ctrl+`number`, its
    // unknown words (start, length) marked; or a sentence in its place.
    void showDraft(int number, const QString &draft, const std::vector<std::pair<qsizetype, qsizetype>> &unknown);
    void showDraftNote(const QString &text);
    void showContext(const Result<BlockContext> &context);

    QTextBrowser *matchesView() const { return m_matches; }
    QTextBrowser *contextView() const { return m_context; }
    QPushButton *repeatsButton() const { return m_repeats; }

signals:
    // The translation of match `index` (0 to 4) is to go into the editor.
    void insertRequested(int index);
    void blockRequested(const QString &key);
    void repeatsRequested();

private:
    QTabWidget *m_tabs = nullptr;
    QTextBrowser *m_matches = nullptr;
    QTextBrowser *m_context = nullptr;
    QPushButton *m_repeats = nullptr;
    QStringList m_contextKeys;
    QString m_matchesPage;
    QString m_draftPage;
    void showPages();
};
