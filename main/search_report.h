// What the window says after the criteria search and the full-text search: how many entries the
// list received, or that none did, and why a search ended early. Code page 1253, one line.
#pragma once

#include "lib/text.h"

namespace termdex {

enum class SearchKind { Criteria, Descriptions };

struct SearchOutcome
{
    SearchKind kind = SearchKind::Criteria;
    int found = 0;        // entries listed
    bool limited = false; // the list stopped at its limit
    bool nearest = false; // nothing began with the text: the list holds the nearest headwords
    bool cancelled = false;
    bool failed = false; // a description could not be read and the search ended there
    Cp1253 word;         // the full-text search's word as the entry field shows it
};

constexpr size_t kReportWordLimit = 40; // characters of the word quoted at most

Cp1253 SearchReport(const SearchOutcome &outcome);

} // namespace termdex
