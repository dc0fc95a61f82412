#include "store/programfolder.h"

#include <QCoreApplication>
#include <QDir>

QString resolveProgramFolder(const QString &homeOption)
{
    if (!homeOption.isEmpty())
        return QDir(homeOption).absolutePath();
    const QString fromEnvironment = qEnvironmentVariable("TALLOWPEN_HOME");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();
    return QCoreApplication::applicationDirPath();
}

QString programPath(const QString &programFolder, const QString &relative)
{
    QString cleaned = relative;
    cleaned.replace(u'\\', u'/');
    while (cleaned.startsWith(u'/'))
        cleaned.remove(0, 1);
    return QDir::cleanPath(programFolder + u'/' + cleaned);
}
