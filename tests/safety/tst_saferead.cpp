#include "store/safefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_SafeRead : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
};

void tst_SafeRead::refused_data()
{
    QTest::addColumn<QString>("kind"); // what the path is made of
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("reason");
    QTest::newRow("link to a device") << u"device"_s << SafeFile::ReadLimit << u"device"_s;
    QTest::newRow("link to a FIFO") << u"fifo"_s << SafeFile::ReadLimit << u"FIFO"_s;
    QTest::newRow("folder") << u"folder"_s << SafeFile::ReadLimit << u"folder"_s;
    QTest::newRow("over the limit") << u"big"_s << qint64(16) << u"larger than 16 bytes"_s;
    QTest::newRow("the store's journal") << u"journal"_s << SafeFile::ReadLimit << u"database file"_s;
}

void tst_SafeRead::refused()
{
    QFETCH(QString, kind);
    QFETCH(qint64, limit);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath(u"x.txt"_s);
    if (kind == u"device") {
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pipe"_s)).constData(), 0600), 0);
        QVERIFY(QFile::link(dir.filePath(u"pipe"_s), path));
    } else if (kind == u"folder") {
        path = dir.path();
    } else {
        if (kind == u"journal")
            path = dir.filePath(u"tallowpen.db-wal"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(17, 'a')) == 17);
    }

    // A reader stuck opening the FIFO is set free by a writer opening its
    // other end, so a fault here fails the test instead of hanging it.
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(10), [&] { return done; }) && kind == u"fifo") {
            const int fd = ::open(QFile::encodeName(dir.filePath(u"pipe"_s)).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    });
    QByteArray bytes;
    QString why;
    const bool read = SafeFile::readRegular(path, bytes, &why, limit);
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
    QVERIFY(!read);
    QVERIFY2(why.contains(reason), qPrintable(why));
    QVERIFY(bytes.isEmpty());
}

QTEST_APPLESS_MAIN(tst_SafeRead)
#include "tst_saferead.moc"
