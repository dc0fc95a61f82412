#pragma once

#include <QString>

// The system clipboard as the spell check uses it: plain text in, plain
// text out, and cleared. Tests put a fake in its place.
class TextClipboard
{
public:
    virtual ~TextClipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString &text) = 0;
    virtual QString text() const = 0;
};

// The application's clipboard (needs a QGuiApplication).
class SystemClipboard : public TextClipboard
{
public:
    void clear() override;
    void setText(const QString &text) override;
    QString text() const override;
};
