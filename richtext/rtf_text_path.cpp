// The fast path through text: a stretch of text bytes and \'hh escapes taken into the run in
// one loop, for the descriptions, which write their Greek as escapes. It must report exactly what
// the token-by-token path reports; the tests and the fuzzer compare the two.
#include "richtext/rtf_interpreter.h"

#include <bit>
#include <cstring>

namespace termdex::rtf {

namespace {

// The two bytes that begin a \'hh escape, as LoadBytes reads them.
constexpr uint64_t kEscapeStart = '\\' | '\'' << 8;

// The digits of an escape as tables that OR to the escaped byte, or to more than 0xFF when the
// digits are not hexadecimal or the byte is a control byte (below 0x20: a first digit below 2).
constexpr std::array<uint16_t, 256> MakeEscapeDigits(bool first)
{
    std::array<uint16_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = (c | 0x20) - 'a' + 10;
        if (first)
            table[c] = uint16_t(digit >= 2 ? digit << 4 : 0x100);
        else
            table[c] = uint16_t(digit >= 0 ? digit : 0x100);
    }
    return table;
}
constexpr std::array<uint16_t, 256> kEscapeHigh = MakeEscapeDigits(true);
constexpr std::array<uint16_t, 256> kEscapeLow = MakeEscapeDigits(false);

// One token of a text stretch from the four bytes that begin it, the first in the lowest
// byte: a text byte, or a \'hh escape of a byte from 0x20 up.
struct TextToken
{
    unsigned value;  // the byte it gives, in the font's code page
    unsigned length; // 1, or 4 for an escape
    bool ends;       // it is no such token: the stretch ends before it
};
TextToken TokenAt(uint64_t bytes)
{
    const unsigned c = unsigned(bytes & 0xFF);
    if ((bytes & 0xFFFF) != kEscapeStart)
        return {c, 1, kSpecial[c]};
    const unsigned byte = kEscapeHigh[(bytes >> 16) & 0xFF] | kEscapeLow[(bytes >> 24) & 0xFF];
    return {byte, 4, byte > 0xFF};
}

// count (at most 8) bytes from p, the first in the lowest byte.
uint64_t LoadBytes(const unsigned char *p, size_t count)
{
    uint64_t bytes = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&bytes, p, count);
    } else {
        for (size_t i = 0; i < count; ++i)
            bytes |= uint64_t(p[i]) << (8 * i);
    }
    return bytes;
}

// Copies the text bytes and escapes from p into out at n, up to chunkEnd (out has room for
// chunkEnd - p more bytes), or up to a token that ends the stretch when it lies before
// escapesEnd, the last place where a whole escape fits. Returns where it stopped. Runs of
// escapes, then runs of text bytes: each loop predicts well inside a word, and a stretch turns
// from one to the other once or twice a word.
inline const unsigned char *CopyChunk(const unsigned char *p, const unsigned char *chunkEnd,
                                      const unsigned char *escapesEnd, char *out, size_t &n)
{
    for (;;) {
        while (p < escapesEnd && LoadBytes(p, 2) == kEscapeStart) {
            const unsigned byte = kEscapeHigh[p[2]] | kEscapeLow[p[3]];
            if (byte > 0xFF)
                break;
            out[n++] = char(byte);
            p += 4;
        }
        // Most often one blank and the next word of escapes follow.
        if (p + 1 < escapesEnd && p[0] == ' ' && LoadBytes(p + 1, 2) == kEscapeStart) {
            out[n++] = ' ';
            ++p;
            continue;
        }
        const unsigned char *const textStart = p;
        while (p < chunkEnd && !kSpecial[*p])
            out[n++] = char(*p++);
        if (p == textStart || p >= escapesEnd || LoadBytes(p, 2) != kEscapeStart)
            return p;
    }
}

} // namespace

bool Reader::FastText()
{
    const CodePageByte *decoder = Decoder();
    return decoder == nullptr ? FastTextIn<false>(nullptr) : FastTextIn<true>(decoder);
}

template <bool kDecodes> bool Reader::FastTextIn(const CodePageByte *decoder)
{
    const unsigned char *p = m_p;
    const unsigned char *const end = m_end;
    char buffer[512];
    size_t n = 0;
    bool took = false;
    bool ended = false; // the token at p is known to end the stretch
    auto flush = [&] {
        if (n == 0)
            return;
        if (!took) {
            BeginContent(); // once: no text byte changes what it looks at
            took = true;
        }
        m_run.append(buffer, n);
        n = 0;
    };
    if constexpr (!kDecodes) {
        // Each chunk of input is at most the room left in the buffer, so its output fits.
        for (;;) {
            if (sizeof buffer - n < 64)
                flush();
            const size_t room = sizeof buffer - n;
            const unsigned char *const chunkEnd = size_t(end - p) > room ? p + room : end;
            const unsigned char *const escapesEnd = chunkEnd - p >= 4 ? chunkEnd - 3 : p;
            p = CopyChunk(p, chunkEnd, escapesEnd, buffer, n);
            ended = p < escapesEnd;
            if (ended || chunkEnd == end)
                break; // at a token that ends the stretch, or near the end of the input
        }
    }
    // One token at a time: text in a font that needs decoding, and the last bytes of the
    // input.
    while (!ended && p < end) {
        if (n == sizeof buffer)
            flush();
        unsigned value = *p;
        unsigned length = 1;
        if (end - p >= 4) {
            const TextToken token = TokenAt(LoadBytes(p, 4));
            if (token.ends)
                break;
            value = token.value;
            length = token.length;
        } else if (kSpecial[value]) {
            break;
        }
        if constexpr (kDecodes) {
            if (value >= 0x80) {
                if (decoder[value].cp1253 < 0)
                    break;
                value = unsigned(decoder[value].cp1253);
            }
        }
        buffer[n++] = char(value);
        p += length;
    }
    flush();
    if (took)
        m_star = false;
    m_p = p;
    return took;
}

} // namespace termdex::rtf
