#include "editor/windowresize.h"
#include "tests/support/tablefile.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WindowResize : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void resize_data();
    void resize();
};

void tst_WindowResize::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("expected"); // ResizeKey, or -1
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    QTest::newRow("Alt+Left") << int(Qt::Key_Left) << alt << int(ResizeKey::Left);
    QTest::newRow("Alt+Up") << int(Qt::Key_Up) << alt << int(ResizeKey::Up);
    QTest::newRow("Alt+Right") << int(Qt::Key_Right) << alt << int(ResizeKey::Right);
    QTest::newRow("Alt+Down on the keypad") << int(Qt::Key_Down) << (alt | Qt::KeypadModifier) << int(ResizeKey::Down);
    QTest::newRow("plain arrow") << int(Qt::Key_Left) << Qt::KeyboardModifiers() << -1;
    QTest::newRow("Alt+Shift") << int(Qt::Key_Left) << (alt | Qt::ShiftModifier) << -1;
    QTest::newRow("Ctrl+Alt") << int(Qt::Key_Up) << (alt | Qt::ControlModifier) << -1;
    QTest::newRow("Alt+letter") << int(Qt::Key_A) << alt << -1;
}

void tst_WindowResize::keys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, expected);
    const auto resizeKey = resizeKeyFor(key, modifiers);
    QCOMPARE(resizeKey ? int(*resizeKey) : -1, expected);
}

void tst_WindowResize::resize_data()
{
    TableFile::addRows(QFINDTESTDATA("data/resize.txt"), {"table", "before", "key", "after"});
}

void tst_WindowResize::resize()
{
    QFETCH(QString, table);
    QFETCH(QString, before);
    QFETCH(QString, key);
    QFETCH(QString, after);
    const QStringList keys{u"Left"_s, u"Up"_s, u"Right"_s, u"Down"_s};
    const QStringList size = before.split(u' ');
    const WindowResize result = resizeWindow(BlockAddress{table, u"town 01.txt"_s, 17}, size[0], size[1],
                                             ResizeKey(keys.indexOf(key)));
    const QStringList expected = after == u"none" ? size : after.split(u' ');
    QCOMPARE(QStringList({result.width, result.height}), expected);
    QCOMPARE(result.statement, after == u"none" ? QString()
                                                : u"UPDATE "_s + table + u" SET new_width = "_s + expected[0]
                                                      + u", new_height = "_s + expected[1]
                                                      + u" WHERE file_name = 'town 01.txt' AND dialogue_id = 17;"_s);
}

QTEST_APPLESS_MAIN(tst_WindowResize)
#include "tst_windowresize.moc"
