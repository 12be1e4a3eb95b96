// The entries a displayed description names after "βλ.", which the reader can follow.
#pragma once

#include "lib/text.h"

#include <functional>
#include <vector>

namespace termdex {

struct EntryLink
{
    Cp1253 text;       // the headword as the description writes it
    int record = 0;    // the English record it names
    size_t offset = 0; // where it stands in the description's plain text (CR LF line ends)
    bool operator==(const EntryLink &) const = default;
};

// The bold runs of an RTF document that follow "βλ." up to the closing parenthesis (or the end
// of the paragraph), each trimmed: a run that recordOf finds (an English record, 0 for none) is
// one link, as "First in, first out (FIFO)" is; otherwise each of its comma-separated pieces
// that recordOf finds is. Links come in text order, with offsets of RtfToPlainText. The pieces
// that name no record go to unmatched when it is given (the content check reports them).
std::vector<EntryLink> FindEntryLinks(Cp1253View rtfDocument,
                                      const std::function<int(Cp1253View)> &recordOf,
                                      std::vector<Cp1253> *unmatched = nullptr);

} // namespace termdex
