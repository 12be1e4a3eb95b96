#include "lib/folding.h"

#include <array>

namespace termdex {
namespace {

// The Greek fold table: capitals, then the accented letters, then 14 punctuation marks that fold
// to a blank. Searched in order; the first 43 pairs are the letter fold table.
constexpr char kFoldSources[] =
    "\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1"
    "\xD3\xD4\xD5\xD6\xD7\xD8\xD9"
    "\xDC\xA2\xDD\xB8\xDE\xB9\xDF\xFA\xC0\xBA\xDA\xFC\xBC\xFD\xBE\xFB\xE0\xFE\xBF"
    "+*,()/-.\"\xAB\xBB`\xB4'";
constexpr char kFoldTargets[] =
    "\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1"
    "\xF3\xF4\xF5\xF6\xF7\xF8\xF9"
    "\xE1\xE1\xE5\xE5\xE7\xE7\xE9\xE9\xE9\xE9\xE9\xEF\xEF\xF5\xF5\xF5\xF5\xF9\xF9"
    "              ";
constexpr size_t kFoldPairs = 57;
constexpr size_t kLetterPairs = 43;
static_assert(sizeof(kFoldSources) - 1 == kFoldPairs && sizeof(kFoldTargets) - 1 == kFoldPairs);

// Byte -> target (0 when the byte is not a source), for the whole table and for its letters.
struct FoldMaps
{
    std::array<unsigned char, 256> greek{};
    std::array<unsigned char, 256> letters{};
    std::array<bool, 256> word{};
    FoldMaps()
    {
        for (size_t i = kFoldPairs; i-- > 0;) {
            const auto src = static_cast<unsigned char>(kFoldSources[i]);
            greek[src] = static_cast<unsigned char>(kFoldTargets[i]);
            if (i < kLetterPairs)
                letters[src] = static_cast<unsigned char>(kFoldTargets[i]);
        }
        for (int c = 0; c < 256; ++c)
            word[c] = (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) ||
                      (c >= 0xC1 && c <= 0xD9) || (c >= 0xE1 && c <= 0xF9);
        for (size_t i = 24; i < kLetterPairs; ++i)
            word[static_cast<unsigned char>(kFoldSources[i])] = true;
    }
};

const FoldMaps &Maps()
{
    static const FoldMaps maps;
    return maps;
}

bool TrimmedEmpty(const Cp1253 &r)
{
    for (char c : r)
        if (static_cast<unsigned char>(c) > 32)
            return false;
    return true;
}

} // namespace

bool IsFoldPunctuation(unsigned char c)
{
    const unsigned char t = Maps().greek[c];
    return t == ' ';
}

bool IsWordCharacter(unsigned char c) { return Maps().word[c]; }

Cp1253 GreekKey(Cp1253View text, bool dropLeadingDigits)
{
    const Cp1253 s = AsciiLower(Trim(text));
    const auto &greek = Maps().greek;
    Cp1253 r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const char ch = s[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c == kCapitalSigma && EndsWordAt(s, i)) {
            r += static_cast<char>(kFinalSigma);
        } else if (c == ' ') {
            r += ' ';
        } else if (c >= 'a' && c <= 'z') {
            continue;
        } else if (IsDigit(ch) && dropLeadingDigits && TrimmedEmpty(r)) {
            continue;
        } else if (const unsigned char t = greek[c]; t != 0) {
            if (t != ' ')
                r += static_cast<char>(t);
        } else {
            r += ch;
        }
    }
    return Trim(r);
}

Cp1253 LatinKey(Cp1253View text, bool dropLeadingDigits)
{
    text = UntilNul(text);
    Cp1253 r;
    r.reserve(text.size());
    for (char ch : text) {
        if (IsFoldPunctuation(static_cast<unsigned char>(ch)))
            continue;
        if (IsDigit(ch) && dropLeadingDigits && TrimmedEmpty(r))
            continue;
        r += ch;
    }
    return AsciiLower(Trim(r));
}

unsigned char FoldGreekLetter(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        c = static_cast<unsigned char>(c + 0x20);
    const unsigned char t = Maps().letters[c];
    return t != 0 ? t : c;
}

Cp1253 FoldGreekLetters(Cp1253View text)
{
    const Cp1253 trimmed = Trim(text);
    Cp1253 s = trimmed;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        s[i] = static_cast<char>(c == kCapitalSigma && EndsWordAt(trimmed, i) ? kFinalSigma
                                                                              : FoldGreekLetter(c));
    }
    return s;
}

bool ContainsWholeWord(Cp1253View text, Cp1253View word)
{
    text = UntilNul(text);
    word = UntilNul(word);
    if (text.empty() || word.empty())
        return false;
    const size_t at = text.find(word);
    if (at == Cp1253View::npos)
        return false;
    if (at > 0 && IsWordCharacter(static_cast<unsigned char>(text[at - 1])))
        return false;
    const size_t after = at + word.size();
    if (after < text.size() && IsWordCharacter(static_cast<unsigned char>(text[after])))
        return false;
    return true;
}

} // namespace termdex
