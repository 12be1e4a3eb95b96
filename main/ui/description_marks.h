// The marks the window puts on a displayed description: the entries it names as links, and the
// places of a full-text search's word as highlights.
#pragma once

#include "main/descr_search.h"
#include "main/entry_links.h"

#include <QPoint>

class QTextDocument;
class QTextEdit;

namespace termdex {

// Turns each link's text in the loaded document into an anchor to its record. The links'
// offsets are those of plain, the document's text with CR LF line ends.
void MarkEntryLinks(QTextDocument &document, Cp1253View plain, const std::vector<EntryLink> &links);
// The record of the link under a point of the view's viewport, 0 for none.
int LinkRecordAt(const QTextEdit &view, QPoint viewportPosition);
// Highlights every whole-word place of the folded word (none for an empty word) and scrolls the
// first into view.
void HighlightSearchWord(QTextEdit &view, const Cp1253 &foldedWord, bool greek);

} // namespace termdex
