// The reader's three custom files as the rewriting sees them: decoded index lines, each English
// line with the description it owns, and the pure steps that turn one version of the files
// into the next (insert, supplement, delete). Nothing here touches the disk.
//
// The lines' columns are CustomEnglishLayout and CustomGreekLayout (data/index_line.h). Each
// line is coded with ShiftCodec and ends in CR LF. The description file holds the stored
// descriptions of the English lines in line order, each coded on its own, so that each line's
// position is 1 plus the lengths of all lines before it.
#pragma once

#include "data/entry_index.h"
#include "data/index_line.h"
#include "lib/text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// The headword's room in the reader's lines; also the editor's limit.
constexpr int kCustomHeadwordWidth = static_cast<int>(CustomEnglishLayout::headword.width);
constexpr int kCustomLineLength = static_cast<int>(CustomEnglishLayout::lineLength);
constexpr long long kMaxEntryId = 99999;      // five digits
constexpr long long kMaxStoredLength = 99999; // the length field's five digits
constexpr long long kMaxPosition = 99999999;  // the position field's eight digits
// Longest stored description the display reads back (its read buffer).
constexpr long long kMaxReadableStoredLength = 31000;

// Prefixes of a stored description: the reader's own entry, and a supplement.
extern const char kOwnEntryPrefix[];   // "{"
extern const char kSupplementPrefix[]; // "{\f60\fs22 "

// The stored form: prefix, each byte up to the first NUL as "\'hh" (upper-case hex), every
// "\'0D\'0A" (either case) replaced by " \par ", then "}". Only 7-bit printable bytes result.
Cp1253 EscapeDescription(Cp1253View text, Cp1253View prefix);

// One stored description of the file being built: copied unchanged (still coded) from the old
// description file, or a new stored form, coded when it is written.
struct DescriptionPiece
{
    bool fromOldFile = false;
    int64_t oldOffset = 0; // 0-based; the lengths of the old lines before this one, added up
    int64_t length = 0;
    Cp1253 stored; // new pieces only, plain
};

struct CustomLine
{
    Cp1253 text; // decoded; at least kCustomLineLength characters
    long long anchor = 0;
    long long ownId = 0;
    long long position = 0; // CustomEnglishLayout::position
    long long length = 0;   // CustomEnglishLayout::length
    DescriptionPiece description;
    // As the load tells them, by the characters: " 0012" as anchor and "00012" as own id is
    // an entry of the reader's with a shipped entry's id, not a supplement.
    bool IsSupplement() const
    {
        return ColumnOf(text, CustomEnglishLayout::anchor) ==
               ColumnOf(text, CustomEnglishLayout::ownId);
    }
};

struct CustomFiles
{
    std::vector<CustomLine> english;
    std::vector<Cp1253> greek; // decoded lines
};

// Decodes the coded bytes of the two index files (empty for a missing file) and gives each
// English line its piece of the old description file. nullopt when an English line is too short
// or a numeric column of it is not a number, since the files then cannot be rewritten without
// losing the line or misplacing every description after it.
std::optional<CustomFiles> ParseCustomFiles(const std::string &codedEnglish,
                                            const std::string &codedGreek);

// Whether parsed files are whole as the writer leaves them, with a description file of
// descriptionBytes: the positions and lengths tile that file exactly (each line's position 1
// plus the lengths before it, and nothing after the last), and every Greek line has numeric
// anchor and own id columns and belongs to one of the reader's own English lines. A rewrite
// around anything else would move or drop descriptions that can be read today.
bool CustomFilesWhole(const CustomFiles &files, int64_t descriptionBytes);

// The ids of the shipped records in table order, which the load merges the custom lines into.
struct ShippedIds
{
    std::vector<long long> english, greek;
};
// From loaded tables: the English records that are not the reader's own, and the Greek records
// whose id is no own id in files (all of them when index holds the shipped tables alone).
ShippedIds ShippedIdsOf(const EntryIndex &index, const CustomFiles &files);
// Whether the load shows every line of files as it stands: each anchor a shipped id, in the
// tables' order; the reader's entries' ids distinct and none a shipped id; at most one
// supplement to a shipped entry; every Greek line numeric and the only one of an own entry.
// A flipped digit elsewhere hides lines, pairs a headword with another entry, or makes a delete
// remove another entry than the one chosen.
bool CustomFilesMerge(const CustomFiles &files, const ShippedIds &shipped);

// An id as its five-digit column text (the lines themselves: data/index_line.h).
Cp1253 FiveDigits(long long value);

// The coded file bytes: each line coded with ShiftCodec, ended by CR LF.
std::string CodeEnglishIndex(const CustomFiles &files);
std::string CodeGreekIndex(const CustomFiles &files);
// The largest position or length field the English lines would hold (for the limit checks).
long long LargestPosition(const CustomFiles &files);

// Where a new entry goes, from the loaded tables.
struct EnglishAnchor
{
    int record = 0; // English record number of the anchor
    uint32_t id = 0;
    bool isCustom = false; // the anchor is one of the reader's own entries
};
// From the last filled record downward, the first whose LatinKey (dropping leading digits) is
// not greater than key, byte by byte; record 1 when every key is greater.
EnglishAnchor FindEnglishAnchor(const EntryIndex &index, Cp1253View key);
// The same over the Greek table with GreekKey of each headword's first 80 characters; the
// result is the id to write: that of the shipped entry heading the group when the record found
// belongs to one of the reader's own entries.
uint32_t FindGreekAnchorId(const EntryIndex &index, Cp1253View greekKey);
// 1 + the largest id among the filled English records and the old custom lines.
long long NextEntryId(const EntryIndex &index, const CustomFiles &files);

// The steps. Each returns the next version of the files; descriptions travel with their lines.
struct NewEntry
{
    EnglishAnchor anchor;
    long long id = 0;
    Cp1253 headword; // leading and trailing blanks removed
    Cp1253 stored;   // empty for an entry without description
};
CustomFiles InsertEnglishLine(const CustomFiles &old, const NewEntry &entry);
CustomFiles InsertGreekLine(const CustomFiles &old, uint32_t anchorId, long long id,
                            Cp1253View greekHeadword);
// Replaces the stored supplement of shipped entry id, or removes it when stored is empty.
CustomFiles ReplaceSupplement(const CustomFiles &old, long long id, const Cp1253 &stored);
// Adds a supplement line for shipped entry id before the first line anchored at or after it.
CustomFiles AddSupplement(const CustomFiles &old, long long id, const Cp1253 &stored);
// Removes the first English line with own id id (and its description) and every Greek line
// with that own id; nullopt when a Greek line's own id is not a number.
std::optional<CustomFiles> RemoveEntry(const CustomFiles &old, long long id);

} // namespace termdex
