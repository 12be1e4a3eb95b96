// The description store: the shared RTF preamble and the reading and joining of one entry's
// description (with the reader's supplement) into the document the description view shows.
#pragma once

#include "data/entry_index.h"
#include "data/paths.h"
#include "lib/text.h"

#include <optional>
#include <string>
#include <vector>

namespace termdex {

constexpr int kHeaderBlockSize = 603;         // the coded preamble at the start of data/Termdex.tbo
constexpr int kDescriptionBufferSize = 31000; // longest text the display reads

// The fixed fragments joined around a description.
extern const char kSupplementHeading[];
extern const char kSupplementSeparator[];
extern const char kDocumentClosing[];

// "{" + the decoded header block (decoding stops at a NUL); nullopt when the file is missing or
// short, and the caller keeps its header as it was.
std::optional<Cp1253> LoadRtfHeader(const ProgramPaths &paths);

// The arguments of ShowDescription: where the text and the supplement lie. Offsets are 0-based.
struct DescriptionSource
{
    std::string file;
    bool shippedFile = false; // data/Termdex.tbo: DescriptionDecode; else ShiftCodec
    int64_t offset = 0;
    int64_t length = 0;
    std::string supplementFile; // empty for none
    int64_t supplementOffset = 0;
    int64_t supplementLength = 0;
};

// The source for an English record by its kind ('L', 'C', 'A'); nullopt for a record that has
// no readable description (empty slot, unknown kind, 'C' without a custom folder).
std::optional<DescriptionSource>
DescriptionSourceFor(const ProgramPaths &paths, const IndexRecord &record,
                     const std::vector<std::string> &supplementRefs);

// The joined document: the header line and the body line, each ended by CR LF. nullopt means
// the display keeps what it showed (missing file, failed read, a text above the 31000-byte read
// buffer). A supplement that cannot be read is left out.
std::optional<Cp1253> ReadDescriptionDocument(const Cp1253 &rtfHeader,
                                              const DescriptionSource &source);

} // namespace termdex
