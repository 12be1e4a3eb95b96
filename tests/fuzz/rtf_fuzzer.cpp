// Feeds arbitrary bytes to the RTF reader, both through a sink that keeps every event and
// through the plain-text path, and checks what must hold for any input.
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"
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
