#include "tests/support/clirun.h"

#include <QProcess>

using namespace Qt::StringLiterals;

CliRun runCli(const QString &home, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_LOGGING_RULES"_s, u"*.debug=false"_s);
    process.setProcessEnvironment(environment);
    process.start(QString::fromUtf8(TALLOWPEN_CLI_PATH), QStringList{u"--home"_s, home} + arguments);
    if (!process.waitForFinished(60000))
        return {};
    const QByteArray out = process.readAllStandardOutput();
    return {process.exitCode(), QString::fromUtf8(out), QString::fromUtf8(process.readAllStandardError()), out};
}
