// The entries a displayed description names after "βλ.", which the reader can follow.
#pragma once

#include "lib/text.h"

#include <functional>
#include <vector>

namespace termdex {

struct EntryLink
{
    Cp1253 text;        // the headword as the description writes it
    int record = 0;     // the English record it names
    size_t offset = 0;  // where it stands in the description's plain text (CR LF line ends)
    bool operator==(const EntryLink &) const = default;
};

// The bold runs of an RTF document that follow "βλ." up to the closing parenthesis (or the end
// of the paragraph), split at commas, each trimmed; those that recordOf finds (an English
// record, 0 for none) become links, in text order. Offsets are those of RtfToPlainText.
std::vector<EntryLink> FindEntryLinks(Cp1253View rtfDocument,
                                      const std::function<int(Cp1253View)> &recordOf);

} // namespace termdex
