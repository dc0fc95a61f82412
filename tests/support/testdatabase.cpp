#include "tests/support/testdatabase.h"

#include "server/connection.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

bool run(const QString &address, const QString &statement, QString *problem = nullptr)
{
    Result<ServerConnection> server = ServerConnection::open(address);
    if (!server) {
        if (problem)
            *problem = server.error().message;
        return false;
    }
    const QByteArray sql = statement.toUtf8();
    Result<Done> done = server->runScript(sql.constData());
    if (!done && problem)
        *problem = done.error().message;
    return done.ok();
}

} // namespace

QString TestDatabase::serverAddress()
{
    return qEnvironmentVariable("TALLOWPEN_TEST_SERVER");
}

TestDatabase::TestDatabase()
{
    if (serverAddress().isEmpty()) {
        m_problem = u"no test server: tools/tallowpen.sh test starts one and names it in $TALLOWPEN_TEST_SERVER"_s;
        return;
    }
    static int made = 0;
    const QString name = u"tallowpen_test_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++made);
    if (run(serverAddress(), u"CREATE DATABASE "_s + name, &m_problem))
        m_name = name;
}

TestDatabase::~TestDatabase()
{
    if (!m_name.isEmpty())
        run(serverAddress(), u"DROP DATABASE "_s + m_name + u" WITH (FORCE)"_s);
}

QString TestDatabase::address() const
{
    // Of two words with the same key, the later one counts.
    return serverAddress() + u" dbname="_s + m_name;
}

bool TestDatabase::execute(const QString &statement) const
{
    return run(address(), statement);
}
