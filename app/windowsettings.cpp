#include "app/windowsettings.h"

#include "editor/previewzoom.h"
#include "editor/widgets/previewwidget.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QScreen>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QSplitter>

using namespace Qt::StringLiterals;

namespace {

const QString GeometryKey = u"mainWindow/geometry"_s;
const QString StateKey = u"mainWindow/state"_s;
const QString SplitterKey = u"mainWindow/splitter"_s;
const QString ZoomKey = u"preview/zoom"_s;

void fitToScreen(QMainWindow &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    const QRect place = firstStartFrame(window.size(), frame, window.minimumSizeHint(), screen->availableGeometry());
    window.resize(place.size() - frame);
    window.move(place.topLeft());
}

} // namespace

QRect firstStartFrame(const QSize &designed, const QSize &frame, const QSize &minimum, const QRect &room)
{
    const QSize size = designed.boundedTo(room.size() - frame).expandedTo(minimum) + frame;
    QRect place(room.center() - QPoint(size.width(), size.height()) / 2, size);
    // Too big for the screen even at its minimum: the title bar and the menus
    // stay reachable rather than the window centred off both edges.
    place.moveTopLeft(QPoint(std::max(place.left(), room.left()), std::max(place.top(), room.top())));
    return place;
}

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(u"Tallowpen"_s);
    QCoreApplication::setOrganizationDomain(u"tallowpen.org"_s);
    QCoreApplication::setApplicationName(u"Tallowpen"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLOWPEN_VERSION));
    // No display name: the platform would add it to a title that already names the program.
    // The desktop file's name, so the window is matched to its entry and icon.
    QGuiApplication::setDesktopFileName(u"org.tallowpen.Tallowpen"_s);
}

WindowSettings::WindowSettings(QMainWindow &window, QSplitter &splitter, PreviewWidget &preview)
    : QObject(&window)
    , m_window(window)
    , m_splitter(splitter)
    , m_preview(preview)
{
    auto *zoom = new QMenu(u"Preview Zoom"_s, &window);
    m_zoomMenu = zoom;
    zoom->setObjectName(u"zoomMenu"_s);
    m_factors = new QActionGroup(this);
    for (int factor = PreviewZoom::MinimumFactor; factor <= PreviewZoom::MaximumFactor; ++factor) {
        QAction *entry = zoom->addAction(u"%1×"_s.arg(factor));
        entry->setObjectName(u"zoom%1Action"_s.arg(factor));
        entry->setCheckable(true);
        entry->setChecked(factor == preview.zoom());
        m_factors->addAction(entry);
        connect(entry, &QAction::triggered, &preview, [&preview, factor] { preview.setZoom(factor); });
    }
    zoom->addSeparator();
    // Ctrl and the keys of + and -, as browsers and viewers zoom; Ctrl+= too,
    // since + needs Shift on many keyboards.
    QAction *in = zoom->addAction(u"Zoom In"_s);
    in->setObjectName(u"zoomInAction"_s);
    in->setShortcuts({QKeySequence(u"Ctrl++"_s), QKeySequence(u"Ctrl+="_s)});
    connect(in, &QAction::triggered, &preview, [&preview] { preview.setZoom(preview.zoom() + 1); });
    QAction *out = zoom->addAction(u"Zoom Out"_s);
    out->setObjectName(u"zoomOutAction"_s);
    out->setShortcut(QKeySequence(u"Ctrl+-"_s));
    connect(out, &QAction::triggered, &preview, [&preview] { preview.setZoom(preview.zoom() - 1); });
    connect(&preview, &PreviewWidget::zoomChanged, this, [this](int factor) {
        m_factors->actions().at(factor - PreviewZoom::MinimumFactor)->setChecked(true);
        givePreviewItsWidth();
    });
}

// A zoom widens the preview as far as the editors can give way, and no
// further: the window keeps its size, and the rest scrolls across.
void WindowSettings::givePreviewItsWidth()
{
    QList<int> sizes = m_splitter.sizes();
    if (sizes.size() != 3)
        return;
    const int editorsMinimum = m_splitter.widget(1)->minimumSizeHint().width();
    const int wanted = m_preview.wantedContainerWidth();
    const int change = std::min(wanted - sizes[2], sizes[1] - std::max(editorsMinimum, m_splitter.widget(1)->minimumWidth()));
    sizes[2] += change;
    sizes[1] -= change;
    m_splitter.setSizes(sizes);
}

void WindowSettings::restore()
{
    const QSettings settings;
    m_preview.setZoom(settings.value(ZoomKey, 1).toInt());
    if (!m_window.restoreGeometry(settings.value(GeometryKey).toByteArray()))
        fitToScreen(m_window);
    m_window.restoreState(settings.value(StateKey).toByteArray());
    m_splitter.restoreState(settings.value(SplitterKey).toByteArray());
}

void WindowSettings::save() const
{
    QSettings settings;
    settings.setValue(GeometryKey, m_window.saveGeometry());
    settings.setValue(StateKey, m_window.saveState());
    settings.setValue(SplitterKey, m_splitter.saveState());
    settings.setValue(ZoomKey, m_preview.zoom());
}
