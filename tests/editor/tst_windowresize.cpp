#include "editor/windowresize.h"

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
    QTest::newRow("Alt+Down") << int(Qt::Key_Down) << alt << int(ResizeKey::Down);
    QTest::newRow("keypad arrow") << int(Qt::Key_Down) << (alt | Qt::KeypadModifier) << int(ResizeKey::Down);
    QTest::newRow("plain arrow") << int(Qt::Key_Left) << Qt::KeyboardModifiers() << -1;
    QTest::newRow("Alt+Shift") << int(Qt::Key_Left) << (alt | Qt::ShiftModifier) << -1;
    QTest::newRow("Ctrl+Alt") << int(Qt::Key_Up) << (alt | Qt::ControlModifier) << -1;
    QTest::newRow("Alt+letter") << int(Qt::Key_A) << alt << -1;
    QTest::newRow("Alt alone") << int(Qt::Key_Alt) << alt << -1;
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
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("newWidth");
    QTest::addColumn<QString>("newHeight");
    QTest::addColumn<QString>("statement");

    const QString field = u"field"_s;
    const auto update = [](const char *sizes) {
        return u"UPDATE field SET %1 WHERE file_name = 'town 01.txt' AND dialogue_id = 17;"_s.arg(
            QLatin1StringView(sizes));
    };
    QTest::newRow("left narrows by 2") << field << u"56"_s << u"3"_s << int(ResizeKey::Left) << u"54"_s << u"3"_s
                                       << update("new_width = 54, new_height = 3");
    QTest::newRow("left from 2 reaches 0") << field << u"2"_s << u"3"_s << int(ResizeKey::Left) << u"0"_s << u"3"_s
                                           << update("new_width = 0, new_height = 3");
    QTest::newRow("left at 0 does nothing") << field << u"0"_s << u"3"_s << int(ResizeKey::Left) << u"0"_s << u"3"_s
                                            << QString();
    QTest::newRow("left from 1 goes below 0") << field << u"1"_s << u"3"_s << int(ResizeKey::Left) << u"-1"_s
                                              << u"3"_s << update("new_width = -1, new_height = 3");
    QTest::newRow("left below 0 does nothing") << field << u"-1"_s << u"3"_s << int(ResizeKey::Left) << u"-1"_s
                                               << u"3"_s << QString();
    QTest::newRow("right widens by 2") << field << u"56"_s << u"3"_s << int(ResizeKey::Right) << u"58"_s << u"3"_s
                                       << update("new_width = 58, new_height = 3");
    QTest::newRow("right from 0") << field << u"0"_s << u"0"_s << int(ResizeKey::Right) << u"2"_s << u"0"_s
                                  << update("new_width = 2, new_height = 0");
    QTest::newRow("right stops at 16 bits") << field << u"32766"_s << u"3"_s << int(ResizeKey::Right) << u"32766"_s
                                            << u"3"_s << QString();
    QTest::newRow("up lowers by 1") << field << u"56"_s << u"3"_s << int(ResizeKey::Up) << u"56"_s << u"2"_s
                                    << update("new_width = 56, new_height = 2");
    QTest::newRow("up at 0 does nothing") << field << u"56"_s << u"0"_s << int(ResizeKey::Up) << u"56"_s << u"0"_s
                                          << QString();
    QTest::newRow("down raises by 1") << field << u"56"_s << u"200"_s << int(ResizeKey::Down) << u"56"_s
                                      << u"201"_s << update("new_width = 56, new_height = 201");
    QTest::newRow("sizes written as plain numbers") << field << u" 56"_s << u"3.0"_s << int(ResizeKey::Down)
                                                    << u"56"_s << u"4"_s << update("new_width = 56, new_height = 4");
    QTest::newRow("a text that is not a number reads 0") << field << u"wide"_s << u"3"_s << int(ResizeKey::Right)
                                                         << u"2"_s << u"3"_s << update("new_width = 2, new_height = 3");
    QTest::newRow("battle_script keeps its size") << u"battle_script"_s << u"56"_s << u"3"_s
                                                  << int(ResizeKey::Right) << u"56"_s << u"3"_s << QString();
    QTest::newRow("battling_arena keeps its size") << u"battling_arena"_s << u"56"_s << u"3"_s
                                                   << int(ResizeKey::Down) << u"56"_s << u"3"_s << QString();
}

void tst_WindowResize::resize()
{
    QFETCH(QString, table);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, key);
    QFETCH(QString, newWidth);
    QFETCH(QString, newHeight);
    QFETCH(QString, statement);
    const WindowResize result =
        resizeWindow(BlockAddress{table, u"town 01.txt"_s, 17}, width, height, ResizeKey(key));
    QCOMPARE(result.statement, statement);
    QCOMPARE(result.width, newWidth);
    QCOMPARE(result.height, newHeight);
}

QTEST_APPLESS_MAIN(tst_WindowResize)
#include "tst_windowresize.moc"
