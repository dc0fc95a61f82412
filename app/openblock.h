#pragma once

#include "app/windowsize.h"

#include <QObject>
#include <QString>

// The block open in the editors as every feature sees it: its key and its
// dialogue window size, held once. The block editing sets both when it loads
// a block and resets the size; the Alt+arrow resize changes the size. The
// preview, the checks and the fit read the size here at every use.
//
// Thread contract: GUI thread.
class OpenBlock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Empty when no block is open.
    const QString &key() const { return m_key; }
    // As the store holds it (currentWidth, currentHeight).
    const WindowSize &windowSize() const { return m_size; }

    // A load set the open block; an empty key closes it and keeps the size.
    void setKey(const QString &key) { m_key = key; }
    void setWindowSize(const WindowSize &size) { m_size = size; }

private:
    QString m_key;
    WindowSize m_size;
};
