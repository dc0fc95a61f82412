#pragma once

#include <QString>

// A fresh, empty database on the test server, dropped at the end. The
// server is named by $TALLOWPEN_TEST_SERVER as key=value words
// ("host=/tmp/x user=postgres dbname=postgres"), which tools/tallowpen.sh
// test sets for the throwaway cluster it starts; without it there is none.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    static QString serverAddress();
    // Why no database could be made; empty when it was.
    const QString &problem() const { return m_problem; }
    QString address() const;
    // Runs a statement of the test's own on this database.
    bool execute(const QString &statement) const;

private:
    QString m_name;
    QString m_problem;
};
