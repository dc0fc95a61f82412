#include "app/aboutdialog.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

AboutDialog::AboutDialog(const QString &programFolder, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"frmAcerca"_s);
    setWindowTitle(u"About Tallowpen"_s);
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(u"aboutPicture"_s);
    picture->setPixmap(QPixmap(u":/tallowpen/about.png"_s));
    picture->setAlignment(Qt::AlignCenter);
    auto *version = new QLabel(u"Tallowpen "_s + QStringLiteral(TALLOWPEN_VERSION), this);
    version->setObjectName(u"versionLabel"_s);
    QFont big = version->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    version->setFont(big);
    version->setAlignment(Qt::AlignCenter);

    // The credits box scrolls inside a clipping frame.
    auto *viewport = new QWidget(this);
    viewport->setObjectName(u"creditsFrame"_s);
    viewport->setFixedSize(360, 180);
    m_box = new QWidget(viewport);
    m_box->setObjectName(u"Picture2"_s);
    auto *credits = new QVBoxLayout(m_box);
    for (const QString &line : {u"A workbench for translating"_s, u"the dialogue scripts of Brassvale"_s, QString(),
                                u"Script store, preview and word links"_s, u"by the Tallowpen developers"_s, QString(),
                                u"Default font drawn from the public-domain"_s, u"X11 \"fixed\" bitmap fonts"_s, QString(),
                                u"Built with Qt and SQLite"_s}) {
        auto *label = new QLabel(line, m_box);
        label->setAlignment(Qt::AlignCenter);
        credits->addWidget(label);
    }
    // Whole pixels keep the height a multiple of the step, so the box lands
    // exactly on its turning point.
    m_box->setFixedSize(viewport->width(), m_box->sizeHint().height());
    m_box->move(0, m_top / TwipsPerPixel);

    auto *folder = new QLabel(programFolder, this);
    folder->setObjectName(u"programFolderLabel"_s);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder->setAlignment(Qt::AlignCenter);
    folder->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(version);
    layout->addWidget(viewport, 0, Qt::AlignHCenter);
    layout->addWidget(folder);

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"Timer1"_s);
    m_timer->setInterval(1);
    connect(m_timer, &QTimer::timeout, this, &AboutDialog::scrollStep);
    m_timer->start();
}

int AboutDialog::scrollInnerHeight() const
{
    return m_box->height() * TwipsPerPixel;
}

void AboutDialog::scrollStep()
{
    if (m_top != -scrollInnerHeight())
        m_top -= StepTwips;
    else
        m_top = ReentryTwips; // scrolled out above: re-enter from below
    m_box->move(0, m_top / TwipsPerPixel);
}
