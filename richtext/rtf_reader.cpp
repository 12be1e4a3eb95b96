// The reader's entry points; the reading itself is rtf_interpreter.h's Reader.
#include "richtext/rtf_reader.h"

#include "richtext/rtf_interpreter.h"
#include "richtext/rtf_reader_reference.h"

namespace termdex {

using rtf::Reader;

void RtfSink::OnText(Cp1253View, const CharFormat &) {}
void RtfSink::OnUnicode(char32_t, const CharFormat &) {}
void RtfSink::OnParagraphEnd(const ParagraphFormat &) {}
void RtfSink::OnLineBreak(const CharFormat &) {}
void RtfSink::OnPageBreak() {}
void RtfSink::OnRowStart(const TableRowFormat &) {}
void RtfSink::OnCellEnd(const ParagraphFormat &) {}
void RtfSink::OnRowEnd(const TableRowFormat &) {}
void RtfSink::OnPicture(const Picture &, const CharFormat &) {}
void RtfSink::OnDocumentEnd(const ParagraphFormat &) {}

bool LooksLikeRtf(Cp1253View input) { return input.substr(0, 5) == "{\\rtf"; }

bool ReadRtf(Cp1253View rtf, RtfSink &sink)
{
    if (!LooksLikeRtf(rtf))
        return false;
    Reader reader(rtf, sink);
    reader.Run();
    return true;
}

bool ReadRtfByteByByte(Cp1253View rtf, RtfSink &sink)
{
    if (!LooksLikeRtf(rtf))
        return false;
    Reader reader(rtf, sink);
    reader.SetByteByByte(true);
    reader.Run();
    return true;
}

} // namespace termdex
