// The RTF reader: it tokenizes a rich-text document and reports what it holds, in order, to a
// sink: text runs with their character format, paragraph ends with their paragraph format, line
// and page breaks, table rows and cells, and pictures.
//
// Text comes as code page 1253 bytes, whatever font charset or \uN escape it was written with; a
// character that code page cannot hold comes through OnUnicode instead. Tabs are part of the
// text (byte 9); no other control byte is. Any input is safe to read: braces need not balance,
// the input may end anywhere, and numbers, nesting and \binN lengths are bounded.
#pragma once

#include "lib/text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// Input is rich text when it begins with "{\rtf". Anything else is shown as the plain text of its
// source, which is how a caller sees that a document failed to load.
bool LooksLikeRtf(Cp1253View input);

struct RgbColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const RgbColor &) const = default;
};

enum class VerticalPosition { Normal, Superscript, Subscript };

struct CharFormat
{
    int font = 0;        // \fN: the font's number in the font table
    int charset = 1;     // its \fcharsetN; 1 (default charset) when the table lacks the font
    Cp1253View fontName; // its name, empty when unknown; valid during the callback only
    int size = 24;       // \fsN, in half-points (24 = 12 pt), 2..3276
    bool bold = false;
    bool italic = false;
    bool underline = false; // any \ul form, until \ulnone or \ul0
    bool strike = false;
    VerticalPosition vertical = VerticalPosition::Normal;
    std::optional<RgbColor> foreground; // \cfN; nullopt for the automatic colour
    std::optional<RgbColor> background; // \cbN or \highlightN; nullopt for none
};

enum class Alignment { Left, Center, Right, Justify };

// All lengths in twips (1/1440 inch).
struct ParagraphFormat
{
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;      // \liN
    int rightIndent = 0;     // \riN
    int firstLineIndent = 0; // \fiN, relative to the left indent, may be negative
    int spaceBefore = 0;     // \sbN
    int spaceAfter = 0;      // \saN
    bool inTable = false;    // \intbl: the paragraph lies in a table cell
    bool operator==(const ParagraphFormat &) const = default;
};

// The definition of a table row: \trowd starts one, each \cellxN adds a cell.
struct TableRowFormat
{
    std::vector<int> cellRight;            // the right edge of each cell, in twips from the margin
    int leftEdge = 0;                      // \trleftN, twips
    int cellGap = 0;                       // \trgaphN: half the space between cells, twips
    Alignment alignment = Alignment::Left; // \trql, \trqc, \trqr
};

enum class PictureFormat { Png, Jpeg, Dib, DeviceBitmap, Other };

struct Picture
{
    PictureFormat format = PictureFormat::Other; // \pngblip, \jpegblip, \dibitmapN, \wbitmapN
    std::string data;     // the picture's bytes, decoded from hexadecimal (or taken from \binN)
    int width = 0;        // \picwN: pixels for bitmaps, 0.01 mm for metafiles
    int height = 0;       // \pichN
    int goalWidth = 0;    // \picwgoalN: the wanted size in twips, 0 when not given
    int goalHeight = 0;   // \pichgoalN
    int scaleX = 100;     // \picscalexN, percent
    int scaleY = 100;     // \picscaleyN
    int bitsPerPixel = 0; // \wbmbitspixelN, for a device bitmap
    int widthBytes = 0;   // \wbmwidthbytesN, bytes per scan line of a device bitmap
};

// Receives a document's content in order. Every callback has an empty default, so a sink
// overrides only what it uses.
class RtfSink
{
public:
    virtual ~RtfSink() = default;

    // A run of code page 1253 text in one format; consecutive runs may share a format.
    virtual void OnText(Cp1253View text, const CharFormat &format);
    // One character that code page 1253 cannot hold (from \uN or from another charset's byte).
    virtual void OnUnicode(char32_t codePoint, const CharFormat &format);
    // \par (also \sect, and an escaped CR or LF byte) ends the current paragraph.
    virtual void OnParagraphEnd(const ParagraphFormat &format);
    // \line: a line break inside the paragraph.
    virtual void OnLineBreak(const CharFormat &format);
    // \page: a page break; the paragraph goes on.
    virtual void OnPageBreak();
    // A table row begins: called before the first content of a row (or its first \cell), with
    // the definition known at that point (\trowd and \cellxN usually precede the cells).
    virtual void OnRowStart(const TableRowFormat &row);
    // \cell ends a cell; format is that of the cell's last paragraph.
    virtual void OnCellEnd(const ParagraphFormat &format);
    // \row ends the row begun by OnRowStart, with the row's definition as it stands now.
    virtual void OnRowEnd(const TableRowFormat &row);
    // A \pict group, complete.
    virtual void OnPicture(const Picture &picture, const CharFormat &format);
    // The input is over; format is that of the last paragraph, which no \par ended (it may be
    // empty: a document ending in "\par}" ends with an empty paragraph).
    virtual void OnDocumentEnd(const ParagraphFormat &format);
};

// Reads a document into the sink. Returns false, reporting nothing, when the input is not rich
// text (LooksLikeRtf). Reading ends at the brace that closes the document's outer group, or at
// the end of the input when that brace is missing.
bool ReadRtf(Cp1253View rtf, RtfSink &sink);

// The opening bytes that many documents share (the description file's preamble before each
// description), read once. Read(rest) reports exactly what ReadRtf(prefix + rest) would. It
// reads on from the state after the prefix when that is the same thing: the prefix ends between
// two tokens (not inside a control word, its number, an escape, \binN data or a skipped group)
// and reports nothing itself; otherwise each Read reads the joined text. It keeps its memory
// from one document to the next, so a thread reading many documents keeps one of its own.
class RtfPreamble
{
public:
    explicit RtfPreamble(Cp1253View prefix);
    ~RtfPreamble();
    RtfPreamble(RtfPreamble &&) noexcept;
    RtfPreamble &operator=(RtfPreamble &&) noexcept;

    // ReadRtf(Prefix() + rest, sink).
    bool Read(Cp1253View rest, RtfSink &sink);
    Cp1253View Prefix() const;
    // True when Read starts from the state after the prefix instead of reading it again.
    bool ReadsPrefixOnce() const;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace termdex
