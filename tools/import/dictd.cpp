#include "tools/import/parsers.h"

#include "lib/cp1253.h"

#include <zlib.h>

#include <algorithm>

namespace termdex::import {

std::optional<std::string> Inflate(std::string_view compressed, size_t maxBytes, std::string &error)
{
    z_stream stream{};
    // 16 + 15: a gzip wrapper (dictzip is gzip with its chunk table in the extra field).
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        error = "zlib could not start";
        return std::nullopt;
    }
    std::string out;
    char buffer[1 << 16];
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data()));
    stream.avail_in = static_cast<uInt>(std::min<size_t>(compressed.size(), 0xFFFFFFFFu));
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > maxBytes) {
            inflateEnd(&stream);
            error =
                "the compressed file inflates to more than " + std::to_string(maxBytes) + " bytes";
            return std::nullopt;
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        error = "the compressed file is damaged or cut short";
        return std::nullopt;
    }
    return out;
}

std::string FirstGreekTranslation(std::string_view text)
{
    size_t begin = 0;
    for (size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != ',' && text[at] != ';' && text[at] != '\n')
            continue;
        const std::string_view part = text.substr(begin, at - begin);
        // A pronunciation between slashes ("/θɪŋk/") writes θ, β or χ without being Greek.
        bool pronunciation = false;
        bool greek = false;
        for (size_t i = 0; i < part.size() && !greek;) {
            const char32_t c = NextCodePoint(part, i);
            if (c == '/')
                pronunciation = !pronunciation;
            else
                greek = !pronunciation && IsGreekLetter(c);
        }
        // A part the rendering could not hold (a headword with a stray Greek letter, repeated
        // with its pronunciation) would cost the whole entry; the next part may serve.
        if (greek && Utf8ToCp1253(ReducePolytonicUtf8(TrimUtf8(part))).text)
            return TrimUtf8(part);
        begin = at + 1;
    }
    return {};
}

namespace {

// dictd's base-64 numbers; nullopt for a character outside the alphabet or an overflow.
std::optional<uint64_t> Base64Number(std::string_view text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= 'A' && c <= 'Z')
            digit = c - 'A';
        else if (c >= 'a' && c <= 'z')
            digit = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            digit = c - '0' + 52;
        else if (c == '+')
            digit = 62;
        else if (c == '/')
            digit = 63;
        else
            return std::nullopt;
        value = value * 64 + static_cast<uint64_t>(digit);
    }
    return value;
}

// The dictionary's title from its 00-database-short text: the first line that is not the
// headword repeated (dictfmt writes "00-database-short" above the title; FreeDict's files hold
// the title alone).
std::string DictdTitle(std::string_view text)
{
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string line = TrimUtf8(text.substr(0, std::min<size_t>(end, 300)));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.rfind("00database", 0) != 0 && line.rfind("00-database", 0) != 0)
            return line;
    }
    return {};
}

} // namespace

void ParseDictd(std::string_view index, std::string_view dict, Parsed &out)
{
    size_t lineStart = 0;
    while (lineStart < index.size() && out.entries.size() < kMaxParsedEntries) {
        size_t lineEnd = index.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = index.size();
        std::string_view line = index.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        const std::string headword(line.substr(0, std::min(tab1, line.size())));
        if (tab2 == std::string_view::npos) {
            out.skipped.push_back({headword, "index line without offset and length"});
            continue;
        }
        const size_t tab3 = line.find('\t', tab2 + 1); // some indexes carry a fourth column
        const auto offset = Base64Number(line.substr(tab1 + 1, tab2 - tab1 - 1));
        const auto length =
            Base64Number(line.substr(tab2 + 1, std::min(tab3, line.size()) - tab2 - 1));
        if (!offset || !length) {
            out.skipped.push_back({headword, "offset or length is not a dictd number"});
            continue;
        }
        if (*offset > dict.size() || *length > dict.size() - *offset) {
            out.skipped.push_back({headword, "offset and length lie outside the .dict file"});
            continue;
        }
        const std::string_view text = dict.substr(*offset, *length);
        if (headword.rfind("00database", 0) == 0 || headword.rfind("00-database", 0) == 0) {
            // The dictionary's own description, not an entry.
            if (headword.find("info") != std::string::npos)
                out.licence = std::string(text.substr(0, 20'000));
            else if (headword.find("short") != std::string::npos)
                out.title = DictdTitle(text);
            continue;
        }
        // The text repeats the headword (often with its pronunciation) on its first line; the
        // translations follow.
        const size_t firstBreak = text.find('\n');
        const std::string_view body =
            firstBreak == std::string_view::npos ? text : text.substr(firstBreak + 1);
        Entry entry;
        entry.english = headword;
        entry.greek = FirstGreekTranslation(body);
        RichText rich;
        rich.Text(TrimUtf8(text));
        entry.descriptionCut = rich.cut();
        entry.rtf = rich.Finish();
        out.entries.push_back(std::move(entry));
    }
}

} // namespace termdex::import
