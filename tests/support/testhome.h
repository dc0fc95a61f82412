#pragma once

#include <QString>
#include <QTemporaryDir>

// A scratch program folder: an empty store made as `tallowpen-cli init`
// makes it, and optionally a font image.
class TestHome
{
public:
    enum Content { StoreAndFont, StoreOnly, FontOnly, Nothing };
    explicit TestHome(Content content = StoreAndFont);

    bool isValid() const { return m_dir.isValid() && m_ok; }
    QString path() const { return m_dir.path(); }
    QString storePath() const;
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }
    // Runs statements on the store through a connection of its own.
    bool execute(const QString &statement) const;
    bool writeFont(int width = 2048) const;
    // Writes a file under the folder (its folders made first), replacing it whole.
    bool write(const QString &relative, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
    bool m_ok = true;
};
