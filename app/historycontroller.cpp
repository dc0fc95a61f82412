#include "app/historycontroller.h"

#include "app/editortext.h"
#include "store/nodekey.h"
#include "store/widgets/historywindow.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

QString editorLines(const QString &text)
{
    return QString(text).replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

HistoryController::HistoryController(const Controls &controls, const QString &storePath, QWidget &window)
    : QObject(&window)
    , m_c(controls)
    , m_storePath(storePath)
    , m_window(window)
{
    m_c.historyEntry->setEnabled(false);
}

void HistoryController::setOpenBlock(const QString &key)
{
    m_openKey = key;
    m_c.historyEntry->setEnabled(!key.isEmpty());
}

void HistoryController::openHistory()
{
    const std::optional<BlockAddress> address = parseBlockKey(m_openKey);
    if (!address)
        return;
    const BlockVersion now{QDateTime::currentDateTime(), ShownText::documentText(m_c.translation->document()),
                           ShownText::documentText(m_c.comment->document()), m_c.revised->isChecked()};
    HistoryWindow history(m_storePath, *address, now, &m_window);
    if (history.exec() == QDialog::Accepted && history.chosenVersion())
        applyVersion(*history.chosenVersion());
}

void HistoryController::applyVersion(const BlockVersion &version)
{
    // One step of the translated editor's undo, as a paste would be.
    QTextCursor cursor(m_c.translation->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(editorLines(version.translation));
    cursor.endEditBlock();
    m_c.comment->setPlainText(editorLines(version.comment));
    m_c.revised->setChecked(version.revised);
}
