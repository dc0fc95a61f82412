#include "memory/widgets/memorypanel.h"

#include "memory/similarity.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString html(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    return escaped.replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s);
}

// The match's original with the words that differ from the open block's on
// a coloured ground.
QString markedOriginal(const QString &current, const QString &other)
{
    QString out;
    qsizetype at = 0;
    for (const TextSpan &span : differingWords(current, other)) {
        out += html(other.mid(at, span.start - at)) + u"<span style=\"background-color:#ffd966\">"_s
            + html(other.mid(span.start, span.length)) + u"</span>"_s;
        at = span.start + span.length;
    }
    return out + html(other.mid(at));
}

QString where(const MemoryMatch &match)
{
    if (!match.origin.isEmpty())
        return QString(u"from another memory · "_s + match.origin).toHtmlEscaped();
    const BlockAddress &block = match.address;
    return QString(block.table + u" · "_s + block.fileName + u" · "_s + QString::number(block.number)).toHtmlEscaped();
}

} // namespace

MemoryPanel::MemoryPanel(QWidget *parent)
    : QWidget(parent)
    , m_tabs(new QTabWidget(this))
    , m_matches(new QTextBrowser)
    , m_context(new QTextBrowser)
    , m_repeats(new QPushButton(u"Exact Repeats..."_s))
{
    setObjectName(u"memoryPanel"_s);
    m_matches->setObjectName(u"memoryMatches"_s);
    m_context->setObjectName(u"memoryContext"_s);
    m_repeats->setObjectName(u"memoryRepeats"_s);
    m_repeats->setToolTip(u"Every other block with exactly this original, and the current translation applied to them"_s);
    for (QTextBrowser *view : {m_matches, m_context})
        view->setOpenLinks(false);

    auto *matchesPage = new QWidget;
    auto *matchesLayout = new QVBoxLayout(matchesPage);
    matchesLayout->setContentsMargins(0, 0, 0, 0);
    matchesLayout->addWidget(m_matches, 1);
    matchesLayout->addWidget(m_repeats, 0, Qt::AlignRight);
    m_tabs->addTab(matchesPage, u"Matches"_s);
    m_tabs->addTab(m_context, u"Context"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);

    connect(m_repeats, &QPushButton::clicked, this, &MemoryPanel::repeatsRequested);
    connect(m_matches, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        emit insertRequested(link.path().toInt());
    });
    connect(m_context, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        const int row = link.path().toInt();
        if (row >= 0 && row < m_contextKeys.size())
            emit blockRequested(m_contextKeys[row]);
    });
    showNote(QString());
}

void MemoryPanel::showMatches(const QString &current, const std::vector<MemoryMatch> &matches)
{
    m_repeats->setEnabled(true);
    m_draftPage.clear();
    QString &page = m_matchesPage;
    page.clear();
    if (matches.empty()) {
        page = u"<p>No earlier translation has an original 60% or more like this one.</p>"_s;
        return showPages();
    }
    for (size_t i = 0; i < matches.size(); ++i) {
        const MemoryMatch &match = matches[i];
        QString grade = QString::number(match.similarity) + u'%';
        if (match.similarity == 100)
            grade += match.original == current ? u" — exact match"_s : u" — same words, other tags"_s;
        page += u"<p><b>Ctrl+%1 &nbsp; %2</b> &nbsp; <a href=\"insert:%3\">Insert</a><br><small>%4</small><br>"
                "%5<br><span style=\"color:#1f4e99\">%6</span></p>"_s.arg(QString::number(i + 1), grade,
                                                                          QString::number(i), where(match),
                                                                          markedOriginal(current, match.original),
                                                                          html(match.translation));
    }
    showPages();
}

void MemoryPanel::showDraft(int number, const QString &draft,
                            const std::vector<std::pair<qsizetype, qsizetype>> &unknown)
{
    QString text;
    qsizetype at = 0;
    for (const auto &[start, length] : unknown) {
        text += html(draft.mid(at, start - at)) + u"<span style=\"color:#b00000; text-decoration:underline\">*"_s
            + html(draft.mid(start, length)) + u"</span>"_s;
        at = start + length;
    }
    text += html(draft.mid(at));
    m_draftPage = u"<hr><p><b>Ctrl+%1 &nbsp; Machine draft</b> (Apertium, not checked by anyone) &nbsp; "
                  "<a href=\"insert:%2\">Insert</a><br><span style=\"color:#5a5a5a\">%3</span></p>"_s.arg(
                      QString::number(number), QString::number(number - 1), text);
    if (!unknown.empty())
        m_draftPage += u"<p><small>Words marked * are unknown to the engine and were left as they are.</small></p>"_s;
    showPages();
}

void MemoryPanel::showDraftNote(const QString &text)
{
    m_draftPage = u"<hr><p><small>"_s + html(text) + u"</small></p>"_s;
    showPages();
}

void MemoryPanel::showPages()
{
    m_matches->setHtml(m_matchesPage + m_draftPage);
}

void MemoryPanel::showNote(const QString &text)
{
    m_repeats->setEnabled(false);
    m_matchesPage = u"<p>"_s + html(text) + u"</p>"_s;
    m_draftPage.clear();
    showPages();
    m_context->clear();
    m_contextKeys.clear();
}

void MemoryPanel::showContext(const Result<BlockContext> &context)
{
    m_contextKeys.clear();
    if (!context)
        return m_context->setHtml(u"<p>"_s + html(context.error().message) + u"</p>"_s);
    QString page = u"<table cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"_s;
    for (const ContextBlock &block : context->blocks) {
        const QString row = QString::number(m_contextKeys.size());
        m_contextKeys << blockKey(block.address.table, block.address.fileName, block.address.number);
        const QString number = block.current ? u"<b>%1</b>"_s.arg(block.address.number)
                                             : u"<a href=\"open:%1\">%2</a>"_s.arg(row).arg(block.address.number);
        page += u"<tr%1><td valign=\"top\">%2</td><td valign=\"top\"><b>%3</b></td><td>%4<br>"
                "<span style=\"color:#1f4e99\">%5</span></td></tr>"_s.arg(
                    block.current ? u" style=\"background-color:#e8eef8\""_s : QString(), number,
                    block.speaker.toHtmlEscaped(), html(block.original), html(block.translation));
    }
    m_context->setHtml(page + u"</table>"_s);
}
