// A sink that keeps every event the RTF reader reports, for tests and the fuzzer.
#pragma once

#include "richtext/rtf_reader.h"

#include <string>
#include <vector>

namespace termdex {

enum class EventKind { Text, Unicode, ParagraphEnd, LineBreak, PageBreak, RowStart, CellEnd, RowEnd,
                       Picture, DocumentEnd };

struct RecordedEvent
{
    EventKind kind;
    std::string text;         // Text
    char32_t codePoint = 0;   // Unicode
    CharFormat format;        // Text, Unicode, LineBreak, Picture; its fontName is cleared
    std::string fontName;     // the format's font name, kept past the callback
    ParagraphFormat paragraph; // ParagraphEnd, CellEnd, DocumentEnd
    TableRowFormat row;       // RowStart, RowEnd
    Picture picture;          // Picture
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

} // namespace termdex
