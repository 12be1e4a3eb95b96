#include "tools/import/parsers.h"

#include "lib/text.h"

#include <algorithm>

namespace termdex::import {

namespace {

// A character reference (&name; or &#N; or &#xN;) at text[at] == '&': the code point and the
// length used, or 0 when it is none (the '&' then stands for itself).
size_t CharacterReference(std::string_view text, size_t at, char32_t &out)
{
    const size_t end = text.find(';', at);
    if (end == std::string_view::npos || end - at > 10)
        return 0;
    const std::string_view name = text.substr(at + 1, end - at - 1);
    static constexpr struct
    {
        const char *name;
        char32_t value;
    } kNamed[] = {{"amp", '&'},       {"lt", '<'},     {"gt", '>'},       {"quot", '"'},
                  {"apos", '\''},     {"nbsp", 0xA0},  {"mdash", 0x2014}, {"ndash", 0x2013},
                  {"hellip", 0x2026}, {"laquo", 0xAB}, {"raquo", 0xBB},   {"middot", 0xB7},
                  {"copy", 0xA9}};
    for (const auto &entry : kNamed) {
        if (name == entry.name) {
            out = entry.value;
            return end - at + 1;
        }
    }
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    uint32_t value = 0;
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = (c | 0x20) - 'a' + 10;
        else
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    out = value;
    return end - at + 1;
}

} // namespace

std::string DecodeCharacterReferences(std::string_view text)
{
    std::string out;
    for (size_t at = 0; at < text.size();) {
        char32_t c;
        const size_t used = text[at] == '&' ? CharacterReference(text, at, c) : 0;
        if (used) {
            AppendUtf8(out, c);
            at += used;
        } else {
            out += text[at++];
        }
    }
    return out;
}

void MarkupToRichText(std::string_view markup, bool newlinesBreak, RichText &rich)
{
    int bold = 0, italic = 0, hidden = 0;
    std::string run;
    const auto flush = [&] {
        if (!run.empty() && hidden == 0)
            rich.Text(DecodeCharacterReferences(run));
        run.clear();
    };
    for (size_t at = 0; at < markup.size();) {
        const char c = markup[at];
        if (c != '<') {
            if (c == '\n' || c == '\r') {
                flush();
                if (c == '\n' && newlinesBreak && hidden == 0)
                    rich.LineBreak();
                else if (c == '\n')
                    run += ' ';
            } else {
                run += c;
            }
            ++at;
            continue;
        }
        const size_t close = markup.find('>', at);
        if (close == std::string_view::npos) {
            run.append(markup.substr(at));
            break;
        }
        flush();
        std::string_view tag = markup.substr(at + 1, close - at - 1);
        at = close + 1;
        const bool ending = !tag.empty() && tag[0] == '/';
        if (ending)
            tag.remove_prefix(1);
        size_t nameEnd = 0;
        while (nameEnd < tag.size() && tag[nameEnd] != ' ' && tag[nameEnd] != '/' &&
               tag[nameEnd] != '\t' && tag[nameEnd] != '\n')
            ++nameEnd;
        const std::string name = AsciiLower(tag.substr(0, nameEnd));
        const int step = ending ? -1 : 1;
        const auto count = [&](int &depth) { depth = std::clamp(depth + step, 0, 1000); };
        if (name == "b" || name == "strong" || name == "k") {
            count(bold);
        } else if (name == "i" || name == "em" || name == "ex" || name == "abr" || name == "abbr") {
            count(italic);
        } else if (name == "script" || name == "style") {
            if (tag.empty() || tag.back() != '/')
                count(hidden);
        } else if (name == "br") {
            rich.LineBreak();
        } else if (name == "li") {
            if (!ending)
                rich.Bullet();
        } else if (name == "p" || name == "div" || name == "ul" || name == "ol" ||
                   name == "blockquote" || name == "def") {
            if (!rich.atLineStart())
                rich.LineBreak();
        }
        rich.Bold(bold > 0);
        rich.Italic(italic > 0);
    }
    flush();
}

} // namespace termdex::import
