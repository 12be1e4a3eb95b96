// import: another dictionary's files into a complete program folder, through an authoring text
// and the same build the shipped dictionary goes through.
#pragma once

#include "tools/import/entries.h"

#include <filesystem>
#include <string>
#include <vector>

namespace termdex {

struct ImportReport
{
    enum class Outcome { Ok, Refused, Failed };
    Outcome outcome = Outcome::Failed;
    std::string error;
    size_t records = 0;
    std::string name; // what the rights text is headed with: --name, else the source's title
    std::vector<import::Note> skipped;
    std::vector<std::string> warnings;
};

// FORMAT is tsv, csv, dictd, stardict, tbx or tei. Refused (nothing written): an unknown
// format, an unreadable source, more entries than a dictionary holds, or a folder that holds
// something other than an earlier import, or a name IsDictionaryName refuses. The folder's
// marker keeps name (or, when none is given, the name of the import it replaces) so that the
// dictionary's settings and reader's entries are found by every later run.
ImportReport ImportDictionary(const std::string &format,
                              const std::vector<std::filesystem::path> &sources,
                              const std::filesystem::path &folder, const std::string &name);

} // namespace termdex
