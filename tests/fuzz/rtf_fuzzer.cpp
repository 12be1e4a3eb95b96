// Feeds arbitrary bytes to the RTF reader, both through a sink that keeps every event and
// through the plain-text path, and checks what must hold for any input: among it, that the text
// fast path and a preamble read once report what the plain way of reading reports.
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_reader_reference.h"
#include "tests/richtext/recording_sink.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace termdex;
    // Most inputs should be read as rich text, so the marker is put in front of every other one.
    std::string input(reinterpret_cast<const char *>(data), size);
    if (size > 0 && (data[0] & 1))
        input.insert(0, "{\\rtf1");

    RecordingSink sink;
    const bool isRtf = ReadRtf(input, sink);
    if (isRtf != LooksLikeRtf(input))
        std::abort();
    if (isRtf && (sink.events.empty() || sink.events.back().kind != EventKind::DocumentEnd))
        std::abort();

    RecordingSink reference;
    if (ReadRtfByteByByte(input, reference) != isRtf ||
        Describe(reference.events) != Describe(sink.events))
        std::abort();
    // The input split where its last byte says, as a preamble and a document after it.
    const size_t split = size > 0 ? input.size() * data[size - 1] / 255 : 0;
    RtfPreamble preamble(Cp1253View(input).substr(0, split));
    RecordingSink resumed;
    if (preamble.Read(Cp1253View(input).substr(split), resumed) != isRtf ||
        Describe(resumed.events) != Describe(sink.events))
        std::abort();

    const Cp1253 plain = RtfToPlainText(input);
    if (!isRtf && plain != input)
        std::abort();
    if (isRtf) {
        for (unsigned char c : plain) {
            if (c < 0x20 && c != '\t' && c != '\r' && c != '\n')
                std::abort();
        }
    }
    return 0;
}
