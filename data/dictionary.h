// One dictionary as a program holds it: where its files are, the two tables of its last load
// and what the lookup derives from them. The window's core, the command line and any program
// that wants two dictionaries at once each hold their own.
#pragma once

#include "data/entry_index.h"
#include "data/folded_headwords.h"
#include "data/index_snapshot.h"
#include "data/paths.h"
#include "lib/text.h"

#include <string>
#include <vector>

namespace termdex {

struct Dictionary
{
    // An empty dictionary until the first load.
    explicit Dictionary(ProgramPaths programPaths = {});
    // The folded headwords point into the tables.
    Dictionary(const Dictionary &) = delete;
    Dictionary &operator=(const Dictionary &) = delete;

    ProgramPaths paths;
    IndexCache cache; // where loads keep their snapshots (none by default)
    EntryIndex index;
    std::vector<std::string> supplementRefs; // one 13-character reference per supplement line
    IndexLoadStatus status;                  // where the last load stopped
    LetterStarts letterStarts;
    FoldedHeadwords folded;
    Cp1253 preamble; // the RTF header that every description document begins with
};

// Fills the tables anew (through a snapshot when cache names a folder) and recomputes what
// follows from them; the preamble is left as it is.
IndexLoadStatus LoadEntryIndex(Dictionary &dictionary);

// Reads the preamble; false (preamble unchanged) when the description file has none.
bool LoadPreamble(Dictionary &dictionary);

} // namespace termdex
