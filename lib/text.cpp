#include "lib/text.h"

#include <cstdint>
#include <cstring>

namespace termdex {

Cp1253View UntilNul(Cp1253View text)
{
    const size_t nul = text.find('\0');
    return nul == Cp1253View::npos ? text : text.substr(0, nul);
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

Cp1253 TrimLeft(Cp1253View text)
{
    text = UntilNul(text);
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return Cp1253(text.substr(i));
}

Cp1253 TrimRight(Cp1253View text)
{
    text = UntilNul(text);
    size_t n = text.size();
    // Index columns are mostly blank padding: skip it eight blanks at a time.
    constexpr uint64_t kEightBlanks = 0x2020202020202020ULL;
    for (uint64_t eight = 0; n >= 8; n -= 8) {
        std::memcpy(&eight, text.data() + n - 8, 8);
        if (eight != kEightBlanks)
            break;
    }
    while (n > 0 && IsBlank(text[n - 1]))
        --n;
    return Cp1253(text.substr(0, n));
}

Cp1253 Trim(Cp1253View text)
{
    text = UntilNul(text);
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return Cp1253(text.substr(first, last - first));
}

Cp1253 AsciiLower(Cp1253View text)
{
    Cp1253 out(UntilNul(text));
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

unsigned char LocaleLowerByte(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC1 && c <= 0xD1) || (c >= 0xD3 && c <= 0xDB))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0xA2:
        return 0xDC; // Ά
    case 0xB8:
        return 0xDD; // Έ
    case 0xB9:
        return 0xDE; // Ή
    case 0xBA:
        return 0xDF; // Ί
    case 0xBC:
        return 0xFC; // Ό
    case 0xBE:
        return 0xFD; // Ύ
    case 0xBF:
        return 0xFE; // Ώ
    default:
        return c;
    }
}

bool IsLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0xB6 ||
           (c >= 0xB8 && c <= 0xBA) || c == 0xBC || (c >= 0xBE && c <= 0xD1) ||
           (c >= 0xD3 && c <= 0xFE);
}

bool EndsWordAt(Cp1253View text, size_t i)
{
    return i + 1 >= text.size() || !IsLetter(static_cast<unsigned char>(text[i + 1]));
}

Cp1253 LocaleLower(Cp1253View text)
{
    text = UntilNul(text);
    Cp1253 out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        out[i] = static_cast<char>(c == kCapitalSigma && EndsWordAt(text, i) ? kFinalSigma
                                                                             : LocaleLowerByte(c));
    }
    return out;
}

bool ParseFixedNumber(std::string_view column, long long &value)
{
    size_t i = 0;
    while (i < column.size() && column[i] == ' ')
        ++i;
    if (i == column.size() || column.size() - i > 15)
        return false;
    long long v = 0;
    for (; i < column.size(); ++i) {
        if (!IsDigit(column[i]))
            return false;
        v = v * 10 + (column[i] - '0');
    }
    value = v;
    return true;
}

std::string_view Columns(std::string_view line, size_t first, size_t last)
{
    if (first < 1 || first > line.size() || last < first)
        return {};
    return line.substr(first - 1, last - first + 1);
}

} // namespace termdex
