#pragma once

#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "ui/folderpicker.h"
#include "editor/preview.h"
#include "store/database.h"
#include "store/nodekey.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QTreeView>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

// The blocks of startWithBlocks(), 24 x 2 unless said otherwise.
inline const QString Translated = u"field:0012.txt;1"_s; // with a comment
inline const QString Untranslated = u"field:0012.txt;2"_s;
inline const QString Battle = u"battle_script:b.txt;1"_s; // resized to 26 x 3
inline const QString Duplicate = u"field:dup.txt;1"_s;    // two rows

// A main window on a scratch program folder, as every app test starts from
// it: message boxes answered, the folder picker answered with `pickerAnswer`
// (empty: Cancel) and `atPick` run while it shows.
struct AppFixture
{
    explicit AppFixture(TestHome::Content content = TestHome::StoreAndFont)
        : home(content)
    {
        m_previousPicker = FolderPicker::setHandler([this](QWidget *, const QString &title) {
            pickerTitles << title;
            if (atPick)
                atPick();
            return pickerAnswer;
        });
    }
    ~AppFixture()
    {
        window.reset();
        FolderPicker::setHandler(m_previousPicker);
    }

    // Runs the statements on the store, then makes the window and loads it.
    bool start(const QStringList &statements = {})
    {
        for (const QString &statement : statements) {
            if (!home.execute(statement))
                return false;
        }
        window = std::make_unique<MainWindow>(home.path());
        return window->load();
    }
    // A block of every table and kind; "tarde" and "late" are linked words.
    bool startWithBlocks()
    {
        return start({block(Translated, u"It`s late.<End of Block>"_s, u"Es tarde.<End of Block>"_s),
                      block(Untranslated, u"Line one\r\nLine two"_s), block(Battle, u"Very late!"_s),
                      block(u"battling_arena:a.txt;1"_s, u"Go!"_s), block(Duplicate, u"A"_s), block(Duplicate, u"A"_s),
                      u"UPDATE field SET comments = 'keep `it` short' WHERE dialogue_id = 1"_s,
                      u"UPDATE battle_script SET new_width = 26, new_height = 3"_s,
                      u"INSERT INTO suggestion (word, suggest1) VALUES ('tarde', 'late'), ('late', 'tarde')"_s});
    }
    // An INSERT of a 24 x 2 block named by its node key.
    static QString block(const QString &key, const QString &original, const QString &translation = {})
    {
        const BlockAddress at = parseBlockKey(key).value_or(BlockAddress{});
        return u"INSERT INTO %1 VALUES ('%2', %3, '%4', 24, 2, '', %5, 0, '%6', 0, 0);"_s.arg(
            at.table, at.fileName, QString::number(at.number), original, QString::number(!translation.isEmpty()),
            translation);
    }

    template<typename T = QWidget>
    T *control(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    template<typename T>
    T &feature() const
    {
        return *window->findChild<T *>();
    }
    // Selects the node and loads it as a click does; false when it did not open.
    bool open(const QString &key) const
    {
        auto *tree = control<QTreeView>(u"Scripts"_s);
        if (!ScriptTree::selectKey(*tree, key))
            return false;
        feature<BlockEditController>().openBlock(tree->currentIndex());
        return ScriptTree::selectedKey(*tree) == key;
    }
    // One value, read through a connection of its own.
    QVariant value(const QString &select) const
    {
        Database db;
        if (!openStore(db, home.storePath()))
            return {};
        Result<ResultSet> rows = db.query(select);
        return rows && rows->next() ? rows->value(0) : QVariant();
    }

    // A column (or an expression of columns) of the block.
    QString stored(const QString &column, const QString &key) const
    {
        const BlockAddress at = *parseBlockKey(key);
        return value(u"SELECT %1 FROM %2 WHERE file_name = '%3' AND dialogue_id = %4"_s.arg(
                         column, at.table, at.fileName, QString::number(at.number)))
            .toString();
    }
    // `text` previewed at a size "WxH" with the folder's font; no size: the cleared surface.
    QImage drawn(const QString &text, const QString &size) const
    {
        PreviewCanvas canvas;
        canvas.font = QImage(home.filePath(u"font/font.bmp"_s)).convertToFormat(QImage::Format_RGB32);
        canvas.frame = defaultFrameStrip();
        canvas.currentWidth = size.section(u'x', 0, 0);
        canvas.currentHeight = size.section(u'x', 1, 1);
        clearPreview(canvas);
        if (!size.isEmpty())
            showPreview(text, canvas);
        return canvas.surface;
    }

    TestHome home;
    MessageRecorder messages;
    std::unique_ptr<MainWindow> window;
    QString pickerAnswer;
    QStringList pickerTitles;
    std::function<void()> atPick;

private:
    FolderPicker::Handler m_previousPicker;
};
