// The readers of other dictionaries' files. Each takes the bytes of its files (read by the
// caller within kMaxSourceBytes), never fails on any input, and adds what it finds to a Parsed.
#pragma once

#include "tools/import/entries.h"

#include <optional>
#include <string>
#include <string_view>

namespace termdex::import {

// One entry per record: English headword, Greek headword, description (plain text; the two
// characters \n are a line break); an optional header line. csv: RFC 4180 quoting with commas;
// otherwise tab-separated.
void ParseDelimited(std::string_view bytes, bool csv, Parsed &out);

// dictd: the .index lines (headword, base-64 offset, base-64 length) over the plain .dict text.
void ParseDictd(std::string_view index, std::string_view dict, Parsed &out);

// A gzip member or a dictzip file inflated whole, refused (nullopt, with error) above maxBytes.
std::optional<std::string> Inflate(std::string_view compressed, size_t maxBytes,
                                   std::string &error);

// StarDict: the .ifo text, the .idx (offsets of 32 or 64 bits as the .ifo says) and the plain
// .dict.
void ParseStardict(std::string_view ifo, std::string_view idx, std::string_view dict, Parsed &out);

// TBX (ISO 30042, as IATE exports it) and FreeDict's TEI P5, read with expat.
void ParseTbx(std::string_view xml, Parsed &out);
void ParseTei(std::string_view xml, Parsed &out);

// HTML, XDXF or Pango markup into rich text: bold, italic, lists and line breaks kept, other
// tags dropped, character references decoded. newlinesBreak: a newline in the text is a line
// break (XDXF and Pango) rather than a blank (HTML).
void MarkupToRichText(std::string_view markup, bool newlinesBreak, RichText &rich);
std::string DecodeCharacterReferences(std::string_view text);

// The first Greek translation in a one-sided description: the first comma- or semicolon-
// separated part of its lines that holds a Greek letter outside a pronunciation between slashes
// and that code page 1253 can hold once polytonic accents are reduced.
std::string FirstGreekTranslation(std::string_view text);

} // namespace termdex::import
