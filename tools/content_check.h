// The content check of a dictionary's authoring text: what a reader would find wrong in the
// entries themselves, as opposed to the description check, which asks only whether each
// description loads. Errors make the check fail; warnings are a list for an editor to read.
#pragma once

#include "lib/text.h"
#include "tools/maintenance.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace termdex {

struct ContentFinding
{
    Cp1253 entry; // the English headword, or a file name for a figure no entry uses
    Cp1253 reason;
};

struct ContentReport
{
    std::vector<ContentFinding> errors;
    std::vector<ContentFinding> warnings;
};

// Descriptions are counted in words of their plain text.
inline constexpr int kMinDescriptionWords = 15;
inline constexpr int kMaxDescriptionWords = 300;

// Whether a Greek word (code page 1253, lower case or as written) is known; empty when no
// spelling dictionary is at hand, and then no word is reported.
using GreekSpeller = std::function<bool(Cp1253View word)>;

// The entries as the build reads them from the authoring text.
struct AuthoredEntries
{
    Cp1253 preamble;                       // the first line: the documents' rich-text header
    std::vector<BuildRecord> records;      // English and Greek headwords
    std::vector<std::string> descriptions; // the rich-text source of each, in record order
};

// Reads the authoring text as the build does; false with error set when it cannot.
bool ReadAuthoredEntries(const std::filesystem::path &authoringText, AuthoredEntries &entries,
                         std::string &error);

// Reports, each with the entry and the reason:
// errors   - a "βλ." reference that names no English headword (read as the window reads its
//            links, FindEntryLinks);
//          - an English headword that another entry also has (letter case aside);
//          - a Greek headword shared by entries that do not refer to one another;
//          - a figure reference ("[Σχήμα]", "[Σχήμα2]") whose bitmap is missing from the content
//            folder, and a bitmap "Fig_*.bmp" there that no entry refers to or that the install
//            manifest (content/fil.tbo) does not list;
//          - a word mixing Latin and Greek letters (a look-alike Latin A, O, E, K ... typed inside
//            a Greek word breaks lookup and search), in a headword or a description;
//          - a description shorter or longer than the word range above;
// warnings - Greek words of the descriptions and headwords that the speller does not know,
//            each word once; words in capitals only (abbreviations) are not looked up.
ContentReport CheckContent(const AuthoredEntries &entries,
                           const std::filesystem::path &programFolder, const GreekSpeller &speller);

} // namespace termdex
