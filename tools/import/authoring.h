// Turns imported entries into an authoring text the build takes: headwords in code page 1253,
// equal headwords merged, entries in the order of the English lookup.
#pragma once

#include "tools/import/entries.h"

#include <string>
#include <vector>

namespace termdex::import {

// The rich-text header every description is read behind, as the shipped authoring text has it.
std::string ShippedPreamble();

struct AuthoringResult
{
    bool ok = false;
    bool tooManyEntries = false;
    std::string error;
    std::string text; // code page 1253 (in practice ASCII), lines ending in CR LF
    size_t records = 0;
    std::vector<Note> skipped;
    std::vector<std::string> warnings;
};

AuthoringResult MakeAuthoringText(std::vector<Entry> entries);

} // namespace termdex::import
