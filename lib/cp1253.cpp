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

std::string CodePointToUtf8(char32_t codePoint)
{
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
        codePoint = 0xFFFD;
    std::string out;
    AppendUtf8(out, codePoint);
    return out;
}

namespace {

// Decodes one strict UTF-8 sequence at in[i]; returns its length, or 0 with why set.
size_t DecodeUtf8(std::string_view in, size_t i, char32_t &cp, const char *&why)
{
    const unsigned char lead = static_cast<unsigned char>(in[i]);
    size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        cp = lead & 0x1F;
        length = 2;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        cp = lead & 0x0F;
        length = 3;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        cp = lead & 0x07;
        length = 4;
        least = 0x10000;
    } else {
        why = lead == 0xC0 || lead == 0xC1 ? "overlong form"
              : (lead & 0xC0) == 0x80      ? "continuation byte without a lead byte"
                                           : "byte that UTF-8 never uses";
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if (i + k >= in.size() || (static_cast<unsigned char>(in[i + k]) & 0xC0) != 0x80) {
            why = "truncated sequence";
            return 0;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
    }
    if (cp < least)
        why = "overlong form";
    else if (cp >= 0xD800 && cp <= 0xDFFF)
        why = "surrogate";
    else if (cp > 0x10FFFF)
        why = "code point past U+10FFFF";
    else
        return length;
    return 0;
}

} // namespace

std::optional<std::string> Utf8Error(std::string_view in)
{
    for (size_t i = 0; i < in.size();) {
        char32_t cp = 0;
        const char *why = "";
        const size_t length = DecodeUtf8(in, i, cp, why);
        if (length == 0)
            return "invalid UTF-8 at byte " + std::to_string(i + 1) + ": " + why;
        i += length;
    }
    return std::nullopt;
}

Utf8Conversion Utf8ToCp1253(std::string_view in)
{
    Utf8Conversion result;
    Cp1253 out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        char32_t cp = 0;
        const char *why = "";
        const size_t length = DecodeUtf8(in, i, cp, why);
        if (length == 0) {
            result.invalidUtf8 = true;
            result.problem = "invalid UTF-8 at byte " + std::to_string(i + 1) + ": " + why;
            return result;
        }
        const auto byte = CodePointToCp1253(cp);
        if (!byte) {
            result.problem = std::string(in.substr(i, length));
            return result;
        }
        out += static_cast<char>(*byte);
        i += length;
    }
    result.text = std::move(out);
    return result;
}

} // namespace termdex
