#include "files/safefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_SafeFile : public QObject
{
    Q_OBJECT
private slots:
    void batchReplacesEachWholeOrNot_data();
    void batchReplacesEachWholeOrNot();
};

void tst_SafeFile::batchReplacesEachWholeOrNot_data()
{
    QTest::addColumn<bool>("committed");
    QTest::addColumn<bool>("secondBecomesFolder"); // between its writing and the commit
    QTest::addColumn<QStringList>("expected");     // the contents of 1.txt and 2.txt after
    QTest::newRow("both replaced") << true << false << QStringList{u"new 1"_s, u"new 2"_s};
    QTest::newRow("a target made a folder meanwhile") << true << true << QStringList{u"new 1"_s, u"folder"_s};
    QTest::newRow("dropped without a commit") << false << false << QStringList{u"old 1"_s, u"old 2"_s};
}

void tst_SafeFile::batchReplacesEachWholeOrNot()
{
    QFETCH(bool, committed);
    QFETCH(bool, secondBecomesFolder);
    QFETCH(QStringList, expected);
    QTemporaryDir home;
    const QString paths[2] = {home.filePath(u"1.txt"_s), home.filePath(u"2.txt"_s)};
    for (int i = 0; i < 2; ++i) {
        QFile file(paths[i]);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old " + QByteArray::number(i + 1));
    }
    std::vector<QString> outcome;
    {
        SafeFile::ReplacementBatch batch(home.path());
        for (int i = 0; i < 2; ++i)
            QVERIFY(batch.add(paths[i], "new " + QByteArray::number(i + 1)).ok());
        if (secondBecomesFolder)
            QVERIFY(QFile::remove(paths[1]) && QDir().mkdir(paths[1]));
        if (committed)
            outcome = batch.commit();
    }
    QStringList contents;
    for (const QString &path : paths) {
        QFile file(path);
        contents << (file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : u"folder"_s);
    }
    QCOMPARE(contents, expected);
    if (committed)
        QCOMPARE(outcome[1].isEmpty(), !secondBecomesFolder);
    // No temporary is left beside the targets, whatever became of them.
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
}

QTEST_APPLESS_MAIN(tst_SafeFile)
#include "tst_safefile.moc"
