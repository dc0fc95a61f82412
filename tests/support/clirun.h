#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One run of the real tallowpen-cli on a program folder, as other programs
// run it: exit status and both streams (debug logging off).
struct CliRun
{
    int status = -1; // -1 when it did not finish in time
    QString out;
    QString err;
    QByteArray bytes; // stdout as written, for output that is not UTF-8
};
CliRun runCli(const QString &home, const QStringList &arguments);
