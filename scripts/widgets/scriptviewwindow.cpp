#include "scripts/widgets/scriptviewwindow.h"

#include "ui/messages.h"
#include "scripts/scriptview.h"
#include "ui_scriptviewwindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

ScriptViewWindow::ScriptViewWindow(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ScriptViewWindow>())
{
    m_ui->setupUi(this);
    QFont mono(u"Courier New"_s);
    mono.setStyleHint(QFont::TypeWriter);
    m_ui->rtxtView->setFont(mono);
    m_ui->rtxtView->viewport()->installEventFilter(this);
}

ScriptViewWindow::ScriptViewWindow(const QString &storePath, const QString &selectedKey, QWidget *parent)
    : ScriptViewWindow(parent)
{
    if (const Result<Done> opened = openStore(m_db, storePath); !opened) {
        Messages::inform(this, opened.error().message);
        return;
    }
    if (const auto script = viewedScript(selectedKey))
        showText(script->script, scriptViewText(m_db, *script));
}

ScriptViewWindow::ScriptViewWindow(ProjectStore &store, const QString &selectedKey, QWidget *parent)
    : ScriptViewWindow(parent)
{
    if (const auto script = viewedScript(selectedKey))
        showText(script->script, scriptViewText(store, *script));
}

void ScriptViewWindow::showText(const QString &script, Result<QString> text)
{
    if (!text) {
        Messages::inform(this, u"The script %1 could not be read: %2"_s.arg(script, text.error().message));
        return;
    }
    m_text = std::move(*text);
    m_ui->rtxtView->setPlainText(m_text);
}

ScriptViewWindow::~ScriptViewWindow() = default;

bool ScriptViewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->rtxtView->viewport() && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        copyScriptText();
    return QDialog::eventFilter(watched, event);
}

void ScriptViewWindow::copyScriptText()
{
    // The built text, not the box's rendering of it: its CR LF line ends
    // are what a script file holds.
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    auto *data = new QMimeData;
    data->setText(m_text);
    clipboard->setMimeData(data);
}

void ScriptViewWindow::done(int result)
{
    m_db.close();
    QDialog::done(result);
}
