#include "tests/support/testhome.h"

#include "store/database.h"
#include "store/layout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

TestHome::TestHome(Content content)
{
    if (!m_dir.isValid()) {
        m_ok = false;
        return;
    }
    if (content == StoreAndFont || content == StoreOnly)
        m_ok = createStore(storePath()).ok();
    if (content == StoreAndFont || content == FontOnly)
        m_ok = m_ok && writeFont();
}

QString TestHome::storePath() const
{
    return m_dir.filePath(StoreFileName);
}

bool TestHome::execute(const QString &statement) const
{
    Database db;
    return openStore(db, storePath()) && db.execute(statement);
}

bool TestHome::write(const QString &relative, const QByteArray &bytes) const
{
    QFile file(filePath(relative));
    return QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool TestHome::writeFont(int width) const
{
    if (!QDir(m_dir.path()).mkpath(u"font"_s))
        return false;
    // Each cell gets a distinct grey so a test can tell which code was drawn.
    QImage font(width, 11, QImage::Format_RGB32);
    font.fill(Qt::black);
    for (int code = 0; code * 8 < width; ++code) {
        for (int y = 1; y < 10; ++y)
            for (int x = 1; x < 7; ++x)
                font.setPixel(code * 8 + x, y, qRgb(code, code, 255 - code));
    }
    return font.save(m_dir.filePath(u"font/font.bmp"_s), "BMP");
}
