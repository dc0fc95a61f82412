#include "scripts/scriptexport.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_SafeWrite : public QObject
{
    Q_OBJECT

private slots:
    void fullDisk_data();
    void fullDisk();
    void symlink_data();
    void symlink();

private:
    // `count` translated scripts of one block whose text is `size` letters `fill`.
    void storeScripts(TestHome &home, int count, int size, char fill);
    ExportResult exportAll(TestHome &home);
};

namespace {

QMap<QString, QByteArray> filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(QDir(folder).filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }
    return files;
}

} // namespace

void tst_SafeWrite::storeScripts(TestHome &home, int count, int size, char fill)
{
    Database db;
    QVERIFY(openStore(db, home.storePath()) && db.begin() && db.execute(u"DELETE FROM field"_s));
    const QString text = QString(size, QChar::fromLatin1(fill));
    for (int i = 0; i < count; ++i)
        QVERIFY(db.execute(u"INSERT INTO field VALUES ('%1.txt', 1, 'o', 24, 2, '', 1, 0, '%2', 0, 0)"_s.arg(i).arg(text)));
    QVERIFY(db.commit());
}

ExportResult tst_SafeWrite::exportAll(TestHome &home)
{
    Database db;
    std::vector<ExportListRow> rows;
    if (!openStore(db, home.storePath()) || !fillExportList(db, 0, false, rows, nullptr))
        return {false, 0, u"store"_s, {}, {}};
    return exportScripts(db, home.path(), rows, false, false);
}

void tst_SafeWrite::fullDisk_data()
{
    QTest::addColumn<bool>("earlierExport");
    QTest::newRow("first export") << false;
    QTest::newRow("over an earlier export") << true;
}

void tst_SafeWrite::fullDisk()
{
    QFETCH(bool, earlierExport);
    if (::geteuid() != 0)
        QSKIP("Only root can mount the small tmpfs that stands for a full disk.");
    TestHome home(TestHome::StoreOnly);
    const QString folder = home.filePath(u"Translated/field"_s);
    QVERIFY(QDir().mkpath(folder));
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=2m") != 0)
        QSKIP(qPrintable(u"A tmpfs cannot be mounted here: "_s + QString::fromLocal8Bit(std::strerror(errno))));
    struct Unmount
    {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(folder)};

    QMap<QString, QByteArray> earlier;
    if (earlierExport) {
        storeScripts(home, 250, 1000, 'a');
        QVERIFY(exportAll(home).ok);
        earlier = filesIn(folder);
    }
    storeScripts(home, 250, 9800, 'b');
    const ExportResult full = exportAll(home);
    const QMap<QString, QByteArray> left = filesIn(folder);

    ::umount2(unmount.path.constData(), MNT_DETACH);
    QVERIFY(exportAll(home).ok);
    const QMap<QString, QByteArray> whole = filesIn(folder);
    QCOMPARE(whole.size(), 250);
    for (auto it = left.begin(); it != left.end(); ++it) {
        QVERIFY2(whole.contains(it.key()), qPrintable(it.key() + u" is no script"_s));
        QVERIFY2(it.value() == whole[it.key()] || it.value() == earlier.value(it.key()),
                 qPrintable(it.key() + u" is cut"_s));
    }
    QCOMPARE(left.size(), earlierExport ? 250 : full.written);
    QVERIFY(!full.ok);
    // The scripts after a full one are still tried: one may fit.
    QCOMPARE(full.written + full.failures.size(), 250);
}

void tst_SafeWrite::symlink_data()
{
    QTest::addColumn<QString>("link");   // under Translated/
    QTest::addColumn<QString>("target"); // outside the program folder
    QTest::newRow("script file") << u"field/0.txt"_s << u"victim.txt"_s;
    QTest::newRow("folder") << u"field"_s << u"."_s;
}

void tst_SafeWrite::symlink()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    TestHome home(TestHome::StoreOnly);
    QTemporaryDir outside;
    QFile victim(outside.filePath(u"victim.txt"_s));
    QVERIFY(victim.open(QIODevice::WriteOnly) && victim.write("keep") == 4);
    victim.close();
    QVERIFY(QDir().mkpath(home.filePath(u"Translated/field"_s).section(u'/', 0, -1 - int(link == u"field"))));
    QVERIFY(QFile::link(QDir(outside.path()).filePath(target), home.filePath(u"Translated/"_s + link)));
    storeScripts(home, 1, 10, 'c');

    const ExportResult result = exportAll(home);
    QVERIFY(!result.ok);
    QVERIFY2(result.message.contains(u"symbolic link"_s), qPrintable(result.message));
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files), QStringList{u"victim.txt"_s});
    QVERIFY(victim.open(QIODevice::ReadOnly));
    QCOMPARE(victim.readAll(), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(tst_SafeWrite)
#include "tst_safewrite.moc"
