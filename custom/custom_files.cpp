#include "custom/custom_files.h"

#include "lib/codecs.h"
#include "lib/files.h"
#include "lib/folding.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace termdex {

const char kOwnEntryPrefix[] = "{";
const char kSupplementPrefix[] = "{\\f60\\fs22 ";

namespace {

using L = CustomEnglishLayout;

Cp1253 Digits(IndexColumn column, long long value)
{
    Cp1253 digits;
    AppendNumber(digits, column, value);
    return digits;
}

// Byte-by-byte comparison of code page 1253 text (unsigned, as the keys are compared).
bool ByteGreater(Cp1253View a, Cp1253View b)
{
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

// The line with its position column rewritten.
CustomLine WithPosition(CustomLine line, long long position)
{
    line.text.replace(L::position.first - 1, L::position.width, Digits(L::position, position));
    line.position = position;
    return line;
}

CustomLine NewLine(Cp1253View anchor, long long id, Cp1253View headword, long long position,
                   const Cp1253 &stored)
{
    CustomLine line;
    line.text = FormatCustomEnglishLine(anchor, id, headword, position,
                                        static_cast<long long>(stored.size()));
    long long anchorValue = 0;
    ParseFixedNumber(anchor, anchorValue);
    line.anchor = anchorValue;
    line.ownId = id;
    line.position = position;
    line.length = static_cast<long long>(stored.size());
    line.description.length = line.length;
    line.description.stored = stored;
    return line;
}

Cp1253 UpperHex(unsigned char c)
{
    static const char hex[] = "0123456789ABCDEF";
    return {'\\', '\'', hex[c >> 4], hex[c & 15]};
}

} // namespace

Cp1253 EscapeDescription(Cp1253View text, Cp1253View prefix)
{
    text = UntilNul(text);
    Cp1253 out(prefix);
    out.reserve(prefix.size() + 4 * text.size() + 1);
    // A CR LF pair becomes " \par " in place of its two escapes; any other byte, a lone CR or
    // LF included, stays an escape. Escapes are written in upper case, so matching the pair in
    // either case comes to matching bytes 0x0D 0x0A.
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += " \\par ";
            ++i;
        } else {
            out += UpperHex(static_cast<unsigned char>(text[i]));
        }
    }
    out += '}';
    return out;
}

std::optional<CustomFiles> ParseCustomFiles(const std::string &codedEnglish,
                                            const std::string &codedGreek)
{
    CustomFiles files;
    int64_t offset = 0;
    for (const std::string &coded : SplitLines(codedEnglish)) {
        CustomLine line;
        line.text = ShiftCodec(coded, true);
        if (!ReadNumber(line.text, L::anchor, line.anchor) ||
            !ReadNumber(line.text, L::ownId, line.ownId) ||
            !ReadNumber(line.text, L::position, line.position) ||
            !ReadNumber(line.text, L::length, line.length))
            return std::nullopt;
        line.description.fromOldFile = true;
        line.description.oldOffset = offset;
        line.description.length = line.length;
        offset += line.length;
        files.english.push_back(std::move(line));
    }
    for (const std::string &coded : SplitLines(codedGreek))
        files.greek.push_back(ShiftCodec(coded, true));
    return files;
}

bool CustomFilesWhole(const CustomFiles &files, int64_t descriptionBytes)
{
    int64_t next = 1;
    std::vector<long long> ownIds;
    for (const CustomLine &line : files.english) {
        if (line.position != next)
            return false;
        next += line.length;
        if (!line.IsSupplement())
            ownIds.push_back(line.ownId);
    }
    if (next - 1 != descriptionBytes)
        return false;
    std::sort(ownIds.begin(), ownIds.end());
    for (const Cp1253 &line : files.greek) {
        long long anchor = 0, ownId = 0;
        if (!ReadNumber(line, CustomGreekLayout::anchor, anchor) ||
            !ReadNumber(line, CustomGreekLayout::ownId, ownId) ||
            !std::binary_search(ownIds.begin(), ownIds.end(), ownId))
            return false;
    }
    return true;
}

ShippedIds ShippedIdsOf(const EntryIndex &index, const CustomFiles &files)
{
    std::unordered_set<long long> own;
    for (const CustomLine &line : files.english)
        if (!line.IsSupplement())
            own.insert(line.ownId);
    ShippedIds ids;
    for (int r = 1; r <= index.englishCount; ++r)
        if (index.english[r].kind != EntryKind::Own)
            ids.english.push_back(index.english[r].id);
    for (int r = 1; r <= index.greekCount; ++r)
        if (!own.count(index.greek[r].id))
            ids.greek.push_back(index.greek[r].id);
    return ids;
}

bool CustomFilesMerge(const CustomFiles &files, const ShippedIds &shipped)
{
    // The load joins each line to the first record, from the one the line before joined, whose
    // id is its anchor; a line that finds none ends the merge.
    auto joins = [](const std::vector<long long> &ids, size_t &at, long long anchor) {
        while (at < ids.size() && ids[at] != anchor)
            ++at;
        return at < ids.size();
    };
    const std::unordered_set<long long> shippedIds(shipped.english.begin(), shipped.english.end());
    std::unordered_set<long long> own, supplemented, paired;
    size_t at = 0;
    for (const CustomLine &line : files.english) {
        if (!joins(shipped.english, at, line.anchor))
            return false;
        if (line.IsSupplement() ? !supplemented.insert(line.anchor).second
                                : shippedIds.count(line.ownId) || !own.insert(line.ownId).second)
            return false;
    }
    at = 0;
    for (const Cp1253 &line : files.greek) {
        long long anchor = 0, ownId = 0;
        if (!ReadNumber(line, CustomGreekLayout::anchor, anchor) ||
            !ReadNumber(line, CustomGreekLayout::ownId, ownId) ||
            !joins(shipped.greek, at, anchor) || !own.count(ownId) || !paired.insert(ownId).second)
            return false;
    }
    return true;
}

Cp1253 FiveDigits(long long value) { return Digits(L::anchor, value); }

std::string CodeEnglishIndex(const CustomFiles &files)
{
    std::string out;
    for (const CustomLine &line : files.english)
        out += ShiftCodec(line.text, false) + "\r\n";
    return out;
}

std::string CodeGreekIndex(const CustomFiles &files)
{
    std::string out;
    for (const Cp1253 &line : files.greek)
        out += ShiftCodec(line, false) + "\r\n";
    return out;
}

long long LargestPosition(const CustomFiles &files)
{
    long long largest = 0;
    for (const CustomLine &line : files.english)
        largest = std::max(largest, line.position);
    return largest;
}

EnglishAnchor FindEnglishAnchor(const EntryIndex &index, Cp1253View key)
{
    int last = kMaxRecords;
    while (last > 0 && index.english[last].id == 0)
        --last;
    int r = last;
    while (r >= 1 && ByteGreater(LatinKey(index.english[r].headword, true), key))
        --r;
    if (r < 1)
        r = 1;
    const IndexRecord &record = index.english[r];
    return {r, record.id, record.kind == EntryKind::Own};
}

uint32_t FindGreekAnchorId(const EntryIndex &index, Cp1253View greekKey)
{
    auto firstEighty = [](Cp1253View headword) { return headword.substr(0, kCustomHeadwordWidth); };
    auto isOwnEntry = [&](int greekRecord) {
        const uint16_t english = index.greek[greekRecord].englishIndex;
        return english != 0 && index.english[english].kind == EntryKind::Own;
    };
    int last = kMaxRecords;
    while (last > 0 && index.greek[last].id == 0)
        --last;
    int r = last;
    while (r >= 1 && ByteGreater(GreekKey(firstEighty(index.greek[r].headword), true), greekKey))
        --r;
    if (r < 1)
        r = 1;
    if (!isOwnEntry(r))
        return index.greek[r].id;
    // The reader's own Greek records stand after the shipped one whose id anchors them.
    int head = r;
    while (head > 1 && isOwnEntry(head))
        --head;
    return index.greek[head].id;
}

long long NextEntryId(const EntryIndex &index, const CustomFiles &files)
{
    // Every filled record counts, and so does every old custom line (one that the load left
    // out must not get a twin), so a new id never repeats one in use.
    long long largest = 0;
    for (int r = 1; r <= index.englishCount; ++r)
        largest = std::max<long long>(largest, index.english[r].id);
    for (const CustomLine &line : files.english)
        largest = std::max(largest, line.ownId);
    return largest + 1;
}

CustomFiles InsertEnglishLine(const CustomFiles &old, const NewEntry &entry)
{
    CustomFiles out;
    out.greek = old.greek;
    const Cp1253 anchorText = FiveDigits(entry.anchor.id);
    const long long storedLength = static_cast<long long>(entry.stored.size());
    long long running = 1;
    bool done = false;
    for (const CustomLine &line : old.english) {
        if (!done && !entry.anchor.isCustom && line.anchor > entry.anchor.id) {
            // Before the first line of a later anchor: after every line of this one.
            out.english.push_back(
                NewLine(anchorText, entry.id, entry.headword, line.position, entry.stored));
            running = line.position + storedLength;
            out.english.push_back(WithPosition(line, running));
            running += line.length;
            done = true;
        } else if (!done && entry.anchor.isCustom && line.ownId == entry.anchor.id) {
            // Right after the reader's entry found as anchor, in the group of its shipped head.
            out.english.push_back(line);
            running += line.length;
            out.english.push_back(NewLine(ColumnOf(line.text, L::anchor), entry.id, entry.headword,
                                          running, entry.stored));
            running += storedLength;
            done = true;
        } else {
            out.english.push_back(done ? WithPosition(line, running) : line);
            running += line.length;
        }
    }
    if (!done)
        out.english.push_back(NewLine(anchorText, entry.id, entry.headword, running, entry.stored));
    return out;
}

CustomFiles InsertGreekLine(const CustomFiles &old, uint32_t anchorId, long long id,
                            Cp1253View greekHeadword)
{
    CustomFiles out;
    out.english = old.english;
    const Cp1253 key = GreekKey(greekHeadword, true);
    const Cp1253 newLine = FormatCustomGreekLine(anchorId, id, greekHeadword);
    bool done = false;
    for (const Cp1253 &line : old.greek) {
        if (!done &&
            ByteGreater(GreekKey(ColumnOf(line, CustomGreekLayout::headword), true), key)) {
            out.greek.push_back(newLine);
            done = true;
        }
        out.greek.push_back(line);
    }
    if (!done)
        out.greek.push_back(newLine);
    return out;
}

CustomFiles ReplaceSupplement(const CustomFiles &old, long long id, const Cp1253 &stored)
{
    CustomFiles out;
    out.greek = old.greek;
    long long running = 1;
    bool done = false;
    for (const CustomLine &line : old.english) {
        if (!done && line.anchor == id && line.ownId == id) {
            if (!stored.empty()) {
                CustomLine replaced = line;
                const long long length = static_cast<long long>(stored.size());
                replaced.text =
                    line.text.substr(0, L::length.first - 1) + Digits(L::length, length);
                replaced.length = length;
                replaced.description = {false, 0, length, stored};
                out.english.push_back(WithPosition(std::move(replaced), running));
                running += length;
            }
            done = true;
        } else {
            out.english.push_back(done ? WithPosition(line, running) : line);
            running += line.length;
        }
    }
    return out;
}

CustomFiles AddSupplement(const CustomFiles &old, long long id, const Cp1253 &stored)
{
    CustomFiles out;
    out.greek = old.greek;
    const Cp1253 idText = FiveDigits(id);
    const long long storedLength = static_cast<long long>(stored.size());
    long long running = 1;
    bool done = false;
    for (const CustomLine &line : old.english) {
        if (!done && line.anchor >= id) {
            out.english.push_back(NewLine(idText, id, "", line.position, stored));
            running = line.position + storedLength;
            out.english.push_back(WithPosition(line, running));
            running += line.length;
            done = true;
        } else {
            out.english.push_back(done ? WithPosition(line, running) : line);
            running += line.length;
        }
    }
    if (!done)
        out.english.push_back(NewLine(idText, id, "", running, stored));
    return out;
}

std::optional<CustomFiles> RemoveEntry(const CustomFiles &old, long long id)
{
    CustomFiles out;
    long long running = 1;
    bool removed = false;
    for (const CustomLine &line : old.english) {
        if (!removed && line.ownId == id) { // the lines after it move up by its length
            removed = true;
            continue;
        }
        out.english.push_back(WithPosition(line, running));
        running += line.length;
    }
    for (const Cp1253 &line : old.greek) {
        long long ownId = 0;
        if (!ReadNumber(line, CustomGreekLayout::ownId, ownId))
            return std::nullopt;
        if (ownId != id)
            out.greek.push_back(line);
    }
    return out;
}

} // namespace termdex
