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
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class tst_ExportWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exportControls_data();
    void exportControls();
    void exportListColumns();
    void refillsLoseTheTicks();
    void selectClearAndExport();
    void cancelClosesTheStore();
    void viewShowsTheScript();
    void viewClickCopiesEverything();
    void viewOfANodeThatIsNotABlock();

private:
    template<typename T>
    T *control(QWidget &window, const char *name)
    {
        return window.findChild<T *>(QLatin1StringView(name));
    }
    QStringList listed(ExportWindow &window);

    std::unique_ptr<TestHome> m_home;
};

void tst_ExportWindows::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    StoredBlock b;
    b.file = u"a.txt"_s;
    b.id = 1;
    b.translated = 1;
    b.revised = 1;
    b.textT = u"Uno `1`<End of Block>"_s;
    b.newWidth = 26;
    b.newHeight = 3;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.file = u"a.txt"_s;
    b.id = 2;
    b.text = u"Two`s\r\n<End of Block>"_s;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.table = u"battle_script"_s;
    b.file = u"b.txt"_s;
    b.translated = 1;
    b.textT = u"Be<End of Block>"_s;
    QVERIFY(insertBlock(*m_home, b));
}

QStringList tst_ExportWindows::listed(ExportWindow &window)
{
    QStringList names;
    for (const ExportListRow &row : window.listedRows())
        names << row.script;
    return names;
}

void tst_ExportWindows::exportControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("chkRevised") << u"chkRevised"_s << u"Only revised"_s;
    QTest::newRow("chkInclude") << u"chkInclude"_s << u"Include blocks without translation"_s;
    QTest::newRow("cmdSelect") << u"cmdSelect"_s << u"Select All"_s;
    QTest::newRow("cmdClear") << u"cmdClear"_s << u"Clear Selection"_s;
    QTest::newRow("cmdExport") << u"cmdExport"_s << u"Export"_s;
    QTest::newRow("cmdCancel") << u"cmdCancel"_s << u"Cancel"_s;
}

void tst_ExportWindows::exportControls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    ExportWindow window(m_home->path(), m_home->storePath());
    QCOMPARE(window.windowTitle(), u"Please Select the Script(s) to Export..."_s);
    auto *button = window.findChild<QAbstractButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QVERIFY(button->isEnabled());
}

void tst_ExportWindows::exportListColumns()
{
    ExportWindow window(m_home->path(), m_home->storePath());
    auto *folders = control<QComboBox>(window, "cmbFolder");
    QStringList items;
    for (int i = 0; i < folders->count(); ++i)
        items << folders->itemText(i);
    QCOMPARE(items, QStringList({u"All Folders"_s, u"battling_arena"_s, u"battle_script"_s, u"field"_s}));
    QCOMPARE(folders->currentIndex(), 0);

    auto *list = control<QTreeWidget>(window, "lstExport");
    QCOMPARE(list->headerItem()->text(0), u"Script"_s);
    QCOMPARE(list->headerItem()->text(1), u"Folder"_s);
    QCOMPARE(list->headerItem()->text(2), u"First Block Overview"_s);
    const double dpi = window.logicalDpiX();
    QCOMPARE(list->columnWidth(0), qRound(1000 * dpi / 1440));
    QCOMPARE(list->columnWidth(1), qRound(1500 * dpi / 1440));
    QCOMPARE(list->columnWidth(2), qRound(10000 * dpi / 1440));
    QCOMPARE(window.twipsToPixels(1440), qRound(dpi));

    // Opening fills the list with every folder's translated scripts.
    QCOMPARE(listed(window), QStringList({u"b.txt"_s, u"a.txt"_s}));
    QCOMPARE(list->topLevelItem(0)->text(1), u"battle_script"_s);
    QCOMPARE(list->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

void tst_ExportWindows::refillsLoseTheTicks()
{
    ExportWindow window(m_home->path(), m_home->storePath());
    window.selectAll();
    control<QComboBox>(window, "cmbFolder")->setCurrentIndex(3);
    QCOMPARE(listed(window), QStringList{u"a.txt"_s});
    QVERIFY(window.tickedRows().empty());

    window.selectAll();
    control<QCheckBox>(window, "chkRevised")->click();
    QCOMPARE(listed(window), QStringList{u"a.txt"_s});
    QVERIFY(window.tickedRows().empty());
    control<QComboBox>(window, "cmbFolder")->setCurrentIndex(2);
    QVERIFY(listed(window).isEmpty()); // b.txt is not revised

    // The other box does not refill.
    control<QComboBox>(window, "cmbFolder")->setCurrentIndex(0);
    window.selectAll();
    control<QCheckBox>(window, "chkInclude")->click();
    QCOMPARE(window.tickedRows().size(), size_t(1));
}

void tst_ExportWindows::selectClearAndExport()
{
    MessageRecorder messages;
    ExportWindow window(m_home->path(), m_home->storePath());
    window.selectAll();
    QCOMPARE(window.tickedRows().size(), size_t(2));
    window.unselectAll();
    QVERIFY(window.tickedRows().empty());

    control<QPushButton>(window, "cmdExport")->click();
    QCOMPARE(messages.texts(), QStringList{u"Nothing to export, make selection fisrt please"_s});
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated"_s)));

    window.setTicked(1, true);
    control<QCheckBox>(window, "chkInclude")->click();
    control<QPushButton>(window, "cmdExport")->click();
    QCOMPARE(messages.texts().last(),
             u" 1 scripts were exported, check the 'Translated' folder at the application path"_s);
    QFile file(m_home->filePath(u"Translated/field/a.txt"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("<TextBlock 1 w:26 h:3>\r\nUno '1'<End of Block>\r\n"
                                        "<TextBlock 2 w:24 h:2>\r\nTwo's\r\n<End of Block>\r\n"));
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated/battle_script/b.txt"_s)));
    QVERIFY(window.isEnabled() && control<QPushButton>(window, "cmdExport")->isEnabled());
}

void tst_ExportWindows::cancelClosesTheStore()
{
    ExportWindow window(m_home->path(), m_home->storePath());
    window.show();
    control<QPushButton>(window, "cmdCancel")->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    // A closed store lists nothing and says why.
    MessageRecorder messages;
    window.fillExportList();
    QCOMPARE(messages.messages.size(), 1);
    QVERIFY(listed(window).isEmpty());
}

void tst_ExportWindows::viewShowsTheScript()
{
    ScriptViewWindow view(m_home->storePath(), u"field:a.txt;2"_s);
    QCOMPARE(view.windowTitle(),
             u"View Translated Script(Click on the Textbox to copy to the Clipboard, simple huh?)"_s);
    const QString expected = u"<TextBlock 1 w:26 h:3>\r\nUno '1'<End of Block>\r\n"
                             "<TextBlock 2 w:24 h:2>\r\nTwo's\r\n<End of Block>\r\n"_s;
    QCOMPARE(view.text(), expected);
    auto *box = control<QPlainTextEdit>(view, "rtxtView");
    QCOMPARE(box->toPlainText(), QString(expected).replace(u"\r\n"_s, u"\n"_s));
}

void tst_ExportWindows::viewClickCopiesEverything()
{
    ScriptViewWindow view(m_home->storePath(), u"field:a.txt;1"_s);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QGuiApplication::clipboard()->setText(u"before"_s);
    auto *box = control<QPlainTextEdit>(view, "rtxtView");
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->formats(), QStringList{u"text/plain"_s});
        QCOMPARE(data->text(), view.text());
    }
}

void tst_ExportWindows::viewOfANodeThatIsNotABlock()
{
    for (const QString &key : {u"Root"_s, u"field"_s, u"a.txt"_s, u"field:a.txt"_s}) {
        ScriptViewWindow view(m_home->storePath(), key);
        QVERIFY(view.text().isEmpty());
        QVERIFY(control<QPlainTextEdit>(view, "rtxtView")->toPlainText().isEmpty());
    }
}

QTEST_MAIN(tst_ExportWindows)
#include "tst_exportwindows.moc"
