#pragma once

#include "store/database.h"
#include "store/layout.h"

#include <QString>
#include <QTemporaryDir>

// A small store for the search tests: a few blocks in each table, put in
// through the same door the program uses.
struct SearchRow
{
    QString table;
    QString file;
    int id;
    QString original;
    QString translation;
    int translated;
    QString comment;
};

inline bool addRow(Database &db, const SearchRow &r)
{
    using namespace Qt::StringLiterals;
    return db.execute(u"INSERT INTO %1 VALUES ('%2', %3, '%4', 28, 3, '%5', %6, 0, '%7', 0, 0);"_s.arg(
        r.table, r.file, QString::number(r.id), r.original, r.comment, QString::number(r.translated), r.translation)).ok();
}

inline QList<SearchRow> searchRows()
{
    using namespace Qt::StringLiterals;
    return {
        {u"battling_arena"_s, u"arena01"_s, 1, u"The sword"_s, u"La espada"_s, 1, u""_s},
        {u"battling_arena"_s, u"arena01"_s, 2, u"A shield"_s, u"Un escudo de ESPADA"_s, 0, u"revisar espada"_s},
        {u"battle_script"_s, u"boss01"_s, 1, u"Sword of fire"_s, u"Espada de fuego"_s, 1, u""_s},
        {u"battle_script"_s, u"boss01"_s, 2, u"Kid`s toy"_s, u"El juguete del niño"_s, 1, u"el NIÑO"_s},
        {u"field"_s, u"town01"_s, 7, u"abc and axc"_s, u"Árbol viejo"_s, 1, u"nota"_s},
        {u"field"_s, u"town01"_s, 8, u"ac only"_s, u"árbol joven"_s, 1, u""_s},
        {u"field"_s, u"town02"_s, 3, u"100% sure"_s, u""_s, 0, u""_s},
    };
}

inline bool makeSearchStore(const QTemporaryDir &dir, QString *path)
{
    *path = dir.filePath(StoreFileName);
    Database db;
    if (!createStore(*path) || !openStore(db, *path))
        return false;
    const QList<SearchRow> rows = searchRows();
    return std::all_of(rows.begin(), rows.end(), [&db](const SearchRow &row) { return addRow(db, row); });
}
