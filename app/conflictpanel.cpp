#include "app/conflictpanel.h"

#include "keeping/history.h"
#include "store/nodekey.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Their text, what mine lacks on a green ground and what only mine has struck through in red.
QString marked(const QString &mine, const QString &theirs)
{
    QString html;
    for (const TextChange &change : textChanges(mine, theirs)) {
        const QString text = change.text.toHtmlEscaped().replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s);
        if (change.kind == TextChange::Added)
            html += u"<span style=\"background-color:#c6efc6\">"_s + text + u"</span>"_s;
        else if (change.kind == TextChange::Removed)
            html += u"<s style=\"color:#b00000\">"_s + text + u"</s>"_s;
        else
            html += text;
    }
    return html;
}

} // namespace

ConflictPanel::ConflictPanel(QWidget *parent)
    : QWidget(parent)
    , m_who(new QLabel(this))
    , m_theirs(new QTextEdit(this))
    , m_mine(new QPlainTextEdit(this))
{
    setObjectName(u"conflictPanel"_s);
    m_who->setObjectName(u"conflictWho"_s);
    m_who->setWordWrap(true);
    m_theirs->setObjectName(u"conflictTheirs"_s);
    m_theirs->setReadOnly(true);
    m_mine->setObjectName(u"conflictMine"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_who);
    layout->addWidget(new QLabel(u"Theirs (what yours lacks marked green, what only yours has struck through):"_s, this));
    layout->addWidget(m_theirs);
    layout->addWidget(new QLabel(u"Mine (edit it, then Save Edited):"_s, this));
    layout->addWidget(m_mine);
    const auto button = [this, layout](const QString &caption, const char *name, void (ConflictPanel::*chosen)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, chosen);
        layout->addWidget(b);
    };
    button(u"Keep Mine"_s, "keepMineButton", &ConflictPanel::keepMine);
    button(u"Take Theirs"_s, "takeTheirsButton", &ConflictPanel::takeTheirs);
    button(u"Save Edited"_s, "saveEditedButton", &ConflictPanel::saveEdited);
}

void ConflictPanel::showConflict(const QString &key, const QString &who, const QString &when,
                                 const BlockEdits &theirs, const BlockEdits &mine)
{
    m_mineShown = mine;
    const auto at = parseBlockKey(key);
    const QString block = at ? u"block %1 of %2"_s.arg(QString::number(at->number), at->fileName) : key;
    m_who->setText(u"%1 saved %2 at %3 while you edited it. Keep Mine saves yours over theirs as a new "
                   "version; Take Theirs keeps yours as a draft of the block."_s.arg(who, block, when));
    QString html = marked(mine.translation, theirs.translation);
    if (theirs.comment != mine.comment)
        html += u"<hr>Comment: "_s + marked(mine.comment, theirs.comment);
    m_theirs->setHtml(html);
    m_mine->setPlainText(QString(mine.translation).replace(u"\r\n"_s, u"\n"_s));
}

BlockEdits ConflictPanel::mine() const
{
    BlockEdits edits = m_mineShown;
    edits.translation = m_mine->toPlainText().replace(u'\n', u"\r\n"_s);
    return edits;
}
