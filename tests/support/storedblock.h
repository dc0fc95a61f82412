#pragma once

#include <QString>
#include <QVariantList>

class Database;
class TestHome;

// One row of a script table as a test writes it; texts in stored form
// (grave accents, CR LF).
struct StoredBlock
{
    QString table = QStringLiteral("field");
    QString file = QStringLiteral("0012.txt");
    int id = 3;
    QString text = QStringLiteral("Hello.<End of Block>");
    int width = 24;
    int height = 2;
    QString comments;
    int translated = 0;
    int revised = 0;
    QString textT;
    int newWidth = 0;
    int newHeight = 0;
};

bool insertBlock(const TestHome &home, const StoredBlock &block);
// The eleven columns of the one row of the block; empty when there is not exactly one.
QVariantList storedRow(Database &db, const QString &table, const QString &file, int id);
inline QVariantList storedRow(Database &db, const StoredBlock &block)
{
    return storedRow(db, block.table, block.file, block.id);
}
