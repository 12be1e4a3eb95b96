// Fuzzes the index snapshot's reader: the input follows the name, the size and the stamps that
// a fixed set of sources gives, so every size of the directory and every offset read in place is
// the fuzzer's. Whatever is accepted, reading every record, every folded form and the exact
// searches stays within the input.
#include "data/index_snapshot.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace termdex;
    const IndexSources sources; // five stamps of no file
    std::string bytes = "TDXIDX04";
    std::string payload;
    for (int i = 0; i < 5; ++i)
        payload.append(4 + 1 + 5 * 8, '\0'); // an empty path, not there, zero numbers
    payload.append(reinterpret_cast<const char *>(data), size);
    const uint64_t length = payload.size();
    bytes.append(reinterpret_cast<const char *>(&length), sizeof length);
    bytes += payload;
    auto held = std::make_shared<const std::string>(std::move(bytes));

    EntryIndex index;
    std::vector<std::string> refs = {"0000000100001"};
    SnapshotExtras extras;
    if (!ReadIndexSnapshotBytes(*held, held, sources, index, refs, &extras))
        return 0;
    size_t sum = 0;
    for (const RecordTable *table : {&index.english, &index.greek})
        for (size_t r = 0; r <= kTableSlots; ++r) {
            const IndexRecord record = (*table)[r];
            sum += record.headword.empty() ? 0 : static_cast<unsigned char>(record.headword[0]);
            if (record.greekIndex > index.greekCount || record.englishIndex > index.englishCount ||
                (record.kind == EntryKind::Supplemented &&
                 record.supplementRef >= static_cast<int32_t>(refs.size())))
                __builtin_trap();
        }
    FoldedHeadwords folded;
    folded.Adopt(&index, extras.mapping, extras.forms, extras.englishOrder, extras.greekOrder);
    for (int form = 0; form < kFoldedForms; ++form)
        for (int r = -1; r <= kTableSlots; ++r)
            sum += folded.Form(static_cast<FoldedForm>(form)).At(r).size();
    for (const char *key : {"tax", "\xf6\xef\xf1\xef\xf2", ""})
        for (bool greek : {false, true})
            sum += folded.ExactRecords(key, greek).size();
    const EntryIndex copy = index; // a copy shares the mapping
    sum += copy.english[1].headword.size();
    return sum == 0xFFFFFFFF ? 1 : 0;
}
