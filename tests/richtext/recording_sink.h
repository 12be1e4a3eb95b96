// A sink that keeps every event the RTF reader reports, for tests and the fuzzer.
#pragma once

#include "richtext/rtf_reader.h"

#include <cstdio>
#include <string>
#include <vector>

namespace termdex {

enum class EventKind {
    Text,
    Unicode,
    ParagraphEnd,
    LineBreak,
    PageBreak,
    RowStart,
    CellEnd,
    RowEnd,
    Picture,
    DocumentEnd
};

struct RecordedEvent
{
    EventKind kind;
    std::string text;          // Text
    char32_t codePoint = 0;    // Unicode
    CharFormat format;         // Text, Unicode, LineBreak, Picture; its fontName is cleared
    std::string fontName;      // the format's font name, kept past the callback
    ParagraphFormat paragraph; // ParagraphEnd, CellEnd, DocumentEnd
    TableRowFormat row;        // RowStart, RowEnd
    Picture picture;           // Picture
};

class RecordingSink : public RtfSink
{
public:
    std::vector<RecordedEvent> events;

    void OnText(Cp1253View text, const CharFormat &format) override
    {
        Add(EventKind::Text, &format).text = std::string(text);
    }
    void OnUnicode(char32_t codePoint, const CharFormat &format) override
    {
        Add(EventKind::Unicode, &format).codePoint = codePoint;
    }
    void OnParagraphEnd(const ParagraphFormat &format) override
    {
        Add(EventKind::ParagraphEnd).paragraph = format;
    }
    void OnLineBreak(const CharFormat &format) override { Add(EventKind::LineBreak, &format); }
    void OnPageBreak() override { Add(EventKind::PageBreak); }
    void OnRowStart(const TableRowFormat &row) override { Add(EventKind::RowStart).row = row; }
    void OnCellEnd(const ParagraphFormat &format) override
    {
        Add(EventKind::CellEnd).paragraph = format;
    }
    void OnRowEnd(const TableRowFormat &row) override { Add(EventKind::RowEnd).row = row; }
    void OnPicture(const Picture &picture, const CharFormat &format) override
    {
        Add(EventKind::Picture, &format).picture = picture;
    }
    void OnDocumentEnd(const ParagraphFormat &format) override
    {
        Add(EventKind::DocumentEnd).paragraph = format;
    }

    // The events of one kind, in order.
    std::vector<RecordedEvent> Of(EventKind kind) const
    {
        std::vector<RecordedEvent> found;
        for (const RecordedEvent &e : events) {
            if (e.kind == kind)
                found.push_back(e);
        }
        return found;
    }

private:
    RecordedEvent &Add(EventKind kind, const CharFormat *format = nullptr)
    {
        RecordedEvent &e = events.emplace_back();
        e.kind = kind;
        if (format != nullptr) {
            e.format = *format;
            e.fontName = std::string(format->fontName);
            e.format.fontName = {};
        }
        return e;
    }
};

// Every field of every event, one event a line: two event lists are the same when their
// descriptions are, and a test failure shows where they part.
inline std::string Describe(const std::vector<RecordedEvent> &events)
{
    std::string out;
    auto number = [&out](long long value) {
        out += std::to_string(value);
        out += ' ';
    };
    auto color = [&number, &out](const std::optional<RgbColor> &c) {
        if (!c) {
            out += "auto ";
            return;
        }
        number(c->red);
        number(c->green);
        number(c->blue);
    };
    auto bytes = [&out](const std::string &text) {
        for (unsigned char c : text) {
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                out += char(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            }
        }
        out += ' ';
    };
    for (const RecordedEvent &e : events) {
        number(int(e.kind));
        bytes(e.text);
        number(e.codePoint);
        const CharFormat &f = e.format;
        number(f.font);
        number(f.charset);
        bytes(e.fontName);
        number(f.size);
        number(f.bold);
        number(f.italic);
        number(f.underline);
        number(f.strike);
        number(int(f.vertical));
        color(f.foreground);
        color(f.background);
        const ParagraphFormat &p = e.paragraph;
        number(int(p.alignment));
        number(p.leftIndent);
        number(p.rightIndent);
        number(p.firstLineIndent);
        number(p.spaceBefore);
        number(p.spaceAfter);
        number(p.inTable);
        out += "row ";
        for (int right : e.row.cellRight)
            number(right);
        number(e.row.leftEdge);
        number(e.row.cellGap);
        number(int(e.row.alignment));
        const Picture &pic = e.picture;
        out += "picture ";
        number(int(pic.format));
        bytes(pic.data);
        for (int v : {pic.width, pic.height, pic.goalWidth, pic.goalHeight, pic.scaleX, pic.scaleY,
                      pic.bitsPerPixel, pic.widthBytes})
            number(v);
        out += '\n';
    }
    return out;
}

} // namespace termdex
