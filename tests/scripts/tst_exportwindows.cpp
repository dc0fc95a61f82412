#include "scripts/widgets/exportwindow.h"
#include "scripts/widgets/scriptviewwindow.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The two windows reach their logic: the export window's controls refill,
// tick and export; the view shows its script and copies it on a click.
class tst_ExportWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void refillsLoseTheTicks();
    void buttonsSelectClearAndExport();
    void cancelReleasesTheStore();
    void viewShowsAndCopiesTheScript();

private:
    template<typename T>
    T *control(QWidget &window, const char *name) { return window.findChild<T *>(QLatin1StringView(name)); }
    static QStringList listed(const ExportWindow &window);
    std::unique_ptr<TestHome> m_home;
};

void tst_ExportWindows::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    StoredBlock b;
    b.file = u"a.txt"_s;
    b.id = 1;
    b.translated = b.revised = 1;
    b.textT = u"Uno `1`<End of Block>"_s;
    QVERIFY(insertBlock(*m_home, b));
    b.id = 2;
    b.translated = b.revised = 0;
    b.text = u"Two`s\r\n<End of Block>"_s;
    QVERIFY(insertBlock(*m_home, b));
    b.table = u"battle_script"_s;
    b.file = u"b.txt"_s;
    b.translated = 1;
    QVERIFY(insertBlock(*m_home, b));
}

QStringList tst_ExportWindows::listed(const ExportWindow &window)
{
    QStringList names;
    for (const ExportListRow &row : window.listedRows())
        names << row.script;
    return names;
}

void tst_ExportWindows::refillsLoseTheTicks()
{
    ExportWindow window(m_home->path(), m_home->storePath());
    QCOMPARE(listed(window), QStringList({u"b.txt"_s, u"a.txt"_s})); // opening lists every folder
    window.selectAll();
    control<QComboBox>(window, "cmbFolder")->setCurrentIndex(3);
    QCOMPARE(listed(window), QStringList{u"a.txt"_s});
    QVERIFY(window.tickedRows().empty());
    window.selectAll();
    control<QCheckBox>(window, "chkRevised")->click();
    QVERIFY(window.tickedRows().empty());
    control<QComboBox>(window, "cmbFolder")->setCurrentIndex(2);
    QVERIFY(listed(window).isEmpty()); // b.txt is not revised
    control<QComboBox>(window, "cmbFolder")->setCurrentIndex(0);
    window.selectAll();
    control<QCheckBox>(window, "chkInclude")->click(); // the other box does not refill
    QCOMPARE(window.tickedRows().size(), size_t(1));
}

void tst_ExportWindows::buttonsSelectClearAndExport()
{
    MessageRecorder messages;
    ExportWindow window(m_home->path(), m_home->storePath());
    control<QPushButton>(window, "cmdSelect")->click();
    QCOMPARE(window.tickedRows().size(), size_t(2));
    control<QPushButton>(window, "cmdClear")->click();
    QVERIFY(window.tickedRows().empty());
    control<QPushButton>(window, "cmdExport")->click();
    QCOMPARE(messages.texts(), QStringList{u"Nothing to export, make selection fisrt please"_s});

    window.setTicked(1, true);
    control<QCheckBox>(window, "chkInclude")->click();
    control<QPushButton>(window, "cmdExport")->click();
    QCOMPARE(messages.texts().last(),
             u" 1 scripts were exported, check the 'Translated' folder at the application path"_s);
    QFile file(m_home->filePath(u"Translated/field/a.txt"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("<TextBlock 1 w:24 h:2>\r\nUno '1'<End of Block>\r\n"
                                        "<TextBlock 2 w:24 h:2>\r\nTwo's\r\n<End of Block>\r\n"));
    QVERIFY(control<QPushButton>(window, "cmdExport")->isEnabled());
}

void tst_ExportWindows::cancelReleasesTheStore()
{
    ExportWindow window(m_home->path(), m_home->storePath());
    window.show();
    control<QPushButton>(window, "cmdCancel")->click();
    QVERIFY(!window.isVisible());
    MessageRecorder messages; // a released store lists nothing and says why
    window.fillExportList();
    QCOMPARE(messages.messages.size(), 1);
    QVERIFY(listed(window).isEmpty());
}

void tst_ExportWindows::viewShowsAndCopiesTheScript()
{
    for (const QString &key : {u"Root"_s, u"field:a.txt"_s}) {
        ScriptViewWindow empty(m_home->storePath(), key);
        QVERIFY(control<QPlainTextEdit>(empty, "rtxtView")->toPlainText().isEmpty());
    }
    ScriptViewWindow view(m_home->storePath(), u"field:a.txt;2"_s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto *box = control<QPlainTextEdit>(view, "rtxtView");
    QCOMPARE(box->toPlainText(), u"<TextBlock 1 w:24 h:2>\nUno '1'<End of Block>\n<TextBlock 2 w:24 h:2>\nTwo's\n"
                                 "<End of Block>\n"_s);
    QGuiApplication::clipboard()->setText(u"before"_s);
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->formats(), QStringList{u"text/plain"_s});
        QCOMPARE(data->text(), QString(box->toPlainText()).replace(u'\n', u"\r\n"_s));
    }
}

QTEST_MAIN(tst_ExportWindows)
#include "tst_exportwindows.moc"
