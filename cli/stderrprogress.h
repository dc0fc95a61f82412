#pragma once

#include "scripts/importprogress.h"

#include <QTextStream>

// An import's progress texts, one a line, on stderr; stdout keeps only the result.
class StderrProgress : public ImportProgress
{
public:
    explicit StderrProgress(QTextStream &err)
        : m_err(err)
    {
    }
    void showText(const QString &text) override { m_err << text << Qt::endl; }

private:
    QTextStream &m_err;
};
