#pragma once

class LinkGlossary;
class QPlainTextEdit;

// highlightLinks and highlightLinksInLine on an editor: every glossary word
// bold and blue (0, 0, 255), the rest of the text as it is (black, not bold).
//
// The marks are the editor's extra selections, not formats of the document:
// marking is no edit of the user's, so it makes no undo step, leaves the undo
// history alone, reports no text change and keeps the modified flag. Other
// extra selections of the editor stay.
void highlightLinks(QPlainTextEdit *editor, const LinkGlossary &glossary);
// Only the line (paragraph) that holds the start of the selection.
void highlightLinksInLine(QPlainTextEdit *editor, const LinkGlossary &glossary);
