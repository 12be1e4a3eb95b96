#include "lib/cp1253.h"

#include <array>

namespace termdex {
namespace {

// 0x80..0xBF; 0 marks a byte the code page leaves undefined (it maps to its own C1 position or,
// for 0xAA, to the private-use point that Windows gives it).
constexpr std::array<char16_t, 64> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0,      0x2030, 0,      0x2039, 0,      0,      0,      0,      // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0,      0x2122, 0,      0x203A, 0,      0,      0,      0,      // 98
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0xF8F9, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015, // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F, // B8
};

void AppendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

struct ReverseTable
{
    std::array<int16_t, 0x10000> byteOf{};
    ReverseTable()
    {
        byteOf.fill(-1);
        for (int b = 0; b < 256; ++b)
            byteOf[Cp1253ToCodePoint(static_cast<unsigned char>(b))] = static_cast<int16_t>(b);
    }
};

const ReverseTable &Reverse()
{
    static const ReverseTable table;
    return table;
}

} // namespace

char32_t Cp1253ToCodePoint(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b < 0xC0) {
        const char16_t cp = kHigh[b - 0x80];
        return cp != 0 ? cp : b;
    }
    if (b == 0xD2)
        return 0xF8FA;
    if (b == 0xFF)
        return 0xF8FB;
    return 0x0390 + (b - 0xC0); // the Greek block follows the code page in order
}

std::optional<unsigned char> CodePointToCp1253(char32_t cp)
{
    if (cp >= 0x10000)
        return std::nullopt;
    const int16_t b = Reverse().byteOf[cp];
    if (b < 0)
        return std::nullopt;
    return static_cast<unsigned char>(b);
}

std::string Cp1253ToUtf8(Cp1253View text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text)
        AppendUtf8(out, Cp1253ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

Utf8Conversion Utf8ToCp1253(std::string_view in)
{
    Utf8Conversion result;
    Cp1253 out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        const unsigned char lead = static_cast<unsigned char>(in[i]);
        char32_t cp = 0;
        size_t extra = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            result.problem = "invalid UTF-8";
            return result;
        }
        if (i + extra >= in.size()) {
            result.problem = "invalid UTF-8";
            return result;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(in[i + k]);
            if ((next & 0xC0) != 0x80) {
                result.problem = "invalid UTF-8";
                return result;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        const auto byte = CodePointToCp1253(cp);
        if (!byte) {
            result.problem = std::string(in.substr(i, extra + 1));
            return result;
        }
        out += static_cast<char>(*byte);
        i += extra + 1;
    }
    result.text = std::move(out);
    return result;
}

} // namespace termdex
