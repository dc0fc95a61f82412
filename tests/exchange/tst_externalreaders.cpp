#include "exchange/po.h"
#include "exchange/tmx.h"
#include "exchange/xliff.h"
#include "tests/exchange/corpus.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What we write, read by programs no one here wrote.
class tst_ExternalReaders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reads_data();
    void reads();

private:
    QTemporaryDir m_dir;
    QStringList m_poFiles;
};

void tst_ExternalReaders::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const auto write = [this](const QString &name, const QByteArray &bytes) {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write(u"out.xlf"_s, writeXliff(exchangeCorpus())));
    QVERIFY(write(u"out.tmx"_s, writeTmx(exchangeCorpus())));
    for (const auto &[name, bytes] : writePoFiles(exchangeCorpus())) {
        QVERIFY(write(name, bytes));
        m_poFiles << m_dir.filePath(name);
    }
    QCOMPARE(m_poFiles.size(), 2);
}

void tst_ExternalReaders::reads_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("arguments"); // "PO" stands for each exported PO file in turn
    QTest::addColumn<QString>("output");        // a file the run must leave holding `expected`
    QTest::addColumn<QString>("expected");
    QTest::newRow("msgfmt --check on every PO")
        << u"msgfmt"_s << u"gettext"_s << QStringList{u"--check"_s, u"-o"_s, u"/dev/null"_s, u"PO"_s} << QString()
        << QString();
    QTest::newRow("xmllint: the XLIFF is well-formed")
        << u"xmllint"_s << u"libxml2-utils"_s << QStringList{u"--noout"_s, u"out.xlf"_s} << QString() << QString();
    QTest::newRow("xmllint: the TMX is well-formed")
        << u"xmllint"_s << u"libxml2-utils"_s << QStringList{u"--noout"_s, u"out.tmx"_s} << QString() << QString();
    QTest::newRow("pocount reads the XLIFF")
        << u"pocount"_s << u"translate-toolkit"_s << QStringList{u"out.xlf"_s} << QString() << QString();
    QTest::newRow("pocount reads every PO")
        << u"pocount"_s << u"translate-toolkit"_s << QStringList{u"PO"_s} << QString() << QString();
    QTest::newRow("xliff2po finds the texts and tags")
        << u"xliff2po"_s << u"translate-toolkit"_s << QStringList{u"out.xlf"_s, u"from-xliff.po"_s}
        << u"from-xliff.po"_s << u"msgstr \"¡Ya!<&><End of Block>\""_s;
    QTest::newRow("po2xliff finds the texts")
        << u"po2xliff"_s << u"translate-toolkit"_s << QStringList{u"PO"_s, u"from-po.xlf"_s} << u"from-po.xlf"_s
        << u"Empieza abajo."_s;
}

void tst_ExternalReaders::reads()
{
    QFETCH(QString, program);
    QFETCH(QString, package);
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);
    QFETCH(QString, expected);
    if (QStandardPaths::findExecutable(program).isEmpty())
        QSKIP(qPrintable(u"%1 is not installed (Debian package %2)"_s.arg(program, package)));
    const bool eachPo = arguments.contains(u"PO"_s);
    for (const QString &po : eachPo ? m_poFiles : QStringList{QString()}) {
        QStringList words = arguments;
        words.replaceInStrings(u"PO"_s, po);
        QProcess run;
        run.setWorkingDirectory(m_dir.path());
        run.start(program, words);
        QVERIFY(run.waitForFinished(60000));
        const QString errors = QString::fromUtf8(run.readAllStandardError());
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0 && !errors.contains(u"rror"_s),
                 qPrintable(po + u": "_s + errors));
        if (output.isEmpty())
            continue;
        QFile left(m_dir.filePath(output));
        QVERIFY(left.open(QIODevice::ReadOnly));
        if (QString::fromUtf8(left.readAll()).contains(expected))
            return;
    }
    QVERIFY2(output.isEmpty(), qPrintable(expected + u" was not found"_s));
}

QTEST_GUILESS_MAIN(tst_ExternalReaders)
#include "tst_externalreaders.moc"
