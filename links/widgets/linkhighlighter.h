#pragma once

class LinkGlossary;
class QTextEdit;

// highlightLinks and highlightLinksInLine on an editor: every glossary word
// bold and blue (0, 0, 255), the rest of the range black and not bold.
//
// Marking is no edit of the user's: the editor neither redraws halfway nor
// reports a text change, its selection and modified flag stay as they were,
// and no undo step is made of it (the document's undo is off meanwhile,
// which also empties its history).
void highlightLinks(QTextEdit *editor, const LinkGlossary &glossary);
// Only the line (paragraph) that holds the start of the selection.
void highlightLinksInLine(QTextEdit *editor, const LinkGlossary &glossary);
