#include "data/dictionary.h"

#include "data/description_store.h"

namespace termdex {

Dictionary::Dictionary(ProgramPaths programPaths)
    : paths(std::move(programPaths)), letterStarts(ComputeLetterStarts(index))
{
    folded.Reset(&index);
}

IndexLoadStatus LoadEntryIndex(Dictionary &dictionary)
{
    dictionary.supplementRefs.clear();
    SnapshotExtras extras;
    dictionary.status = LoadEntryIndexCached(dictionary.paths, dictionary.cache, dictionary.index,
                                             dictionary.supplementRefs, &extras);
    if (extras.mapping) {
        dictionary.letterStarts = extras.starts;
        dictionary.folded.Adopt(&dictionary.index, extras.mapping, extras.forms,
                                extras.englishOrder, extras.greekOrder);
    } else {
        dictionary.letterStarts = ComputeLetterStarts(dictionary.index);
        dictionary.folded.Reset(&dictionary.index);
    }
    return dictionary.status;
}

bool LoadPreamble(Dictionary &dictionary)
{
    auto header = LoadRtfHeader(dictionary.paths);
    if (!header)
        return false;
    dictionary.preamble = std::move(*header);
    return true;
}

} // namespace termdex
