#include "bench/dictionary_generator.h"

#include "bench/generator_words.h"
#include "data/index_line.h"
#include "lib/codecs.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

namespace termdex::bench {
namespace {

// Description lengths in bytes: the quantiles, at 1/64 steps, of a log-normal distribution
// with median 1500 and shape 0.55, cut to 200..5880, so a little room remains below 6000 for
// the last word. Sampled by linear interpolation between neighbours.
constexpr std::array<int, 65> kLengthQuantiles = {
    200,  459,  538,  596,  644,  687,  725,  761,  795,  828,  859,  889,  919,
    948,  976,  1004, 1032, 1060, 1088, 1115, 1143, 1171, 1198, 1226, 1255, 1283,
    1312, 1341, 1370, 1400, 1431, 1462, 1493, 1526, 1559, 1593, 1627, 1663, 1700,
    1738, 1777, 1818, 1860, 1904, 1949, 1997, 2047, 2100, 2156, 2215, 2278, 2345,
    2418, 2496, 2582, 2677, 2782, 2902, 3039, 3201, 3397, 3648, 3993, 4540, 5880};

int DescriptionLength(Random &random)
{
    const uint32_t u = random.Next();
    const uint32_t step = u >> 26;        // 0..63
    const uint64_t frac = u & 0x3FFFFFFu; // 26 bits
    const int lo = kLengthQuantiles[step];
    const int hi = kLengthQuantiles[step + 1];
    return lo + static_cast<int>((uint64_t(hi - lo) * frac) >> 26);
}
// Code page 1253 text into RTF: bytes above 127 as \'hh escapes, as the shipped descriptions
// hold their Greek; the texts written here hold no "\", "{" or "}" of their own.
void AppendEscaped(Cp1253 &out, Cp1253View text)
{
    static const char kHex[] = "0123456789abcdef";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += "\\'";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

// The reader's stored text: every character as an upper-case \'HH escape, CR LF as " \par ",
// between the prefix and a closing brace, as the editor writes it.
Cp1253 EscapeDescription(Cp1253View text, Cp1253View prefix)
{
    static const char kHex[] = "0123456789ABCDEF";
    Cp1253 out(prefix);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += " \\par ";
            ++i;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        out += "\\'";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    out += "}";
    return out;
}

// Greek prose of economics: sentences of function words, nouns, adjectives and verbs, with
// citations, cross-references, emphasis, numbers and paragraphs, in RTF or as plain text.
class ProseWriter
{
public:
    ProseWriter(const Words &words, const std::vector<Entry> &entries)
        : m_words(words), m_entries(entries)
    {
    }

    // One shipped description of at least targetLength bytes and at most 6000: a text that the
    // last word takes past 6000 is written again to a shorter target.
    Cp1253 Description(Random &random, const Entry &entry, int targetLength)
    {
        for (;;) {
            Cp1253 out = DescriptionTo(random, entry, targetLength);
            if (out.size() <= 6000)
                return out;
            targetLength -= 200;
        }
    }

    // Plain Greek text of about length characters, paragraphs separated by CR LF, as the
    // reader types it into the editor.
    Cp1253 PlainText(Random &random, int length)
    {
        Cp1253 out;
        const size_t target = static_cast<size_t>(length);
        while (out.size() < target) {
            Sentence(random, out, false, target);
            if (out.size() < target && random.PerMille(250))
                out += "\r\n";
        }
        return TrimRight(out);
    }

private:
    Cp1253 DescriptionTo(Random &random, const Entry &entry, int targetLength)
    {
        Cp1253 out = "\\pard\\plain\\f60\\fs20 {\\b ";
        AppendEscaped(out, entry.greek);
        out += "}";
        if (random.PerMille(500)) {
            out += " ({\\i ";
            out += entry.english;
            out += "})";
        }
        out += " ";
        const size_t target = static_cast<size_t>(targetLength);
        int sentencesInParagraph = 0;
        bool tableDone = false;
        while (out.size() < target) {
            Sentence(random, out, true, target);
            if (out.size() >= target)
                break;
            if (++sentencesInParagraph >= 2 && random.PerMille(300)) {
                sentencesInParagraph = 0;
                if (!tableDone && random.PerMille(60)) {
                    Table(random, out);
                    tableDone = true;
                } else {
                    out += random.PerMille(150) ? "\\par\\pard\\plain\\f60\\fs20 " : "\\par ";
                }
            }
        }
        return out;
    }

    void Sentence(Random &random, Cp1253 &out, bool rtf, size_t target)
    {
        const int words = random.Between(7, 22);
        for (int w = 0; w < words && out.size() < target + (rtf ? 0 : 40); ++w) {
            Cp1253 word;
            bool markup = false;
            const uint32_t kind = random.Below(1000);
            if (kind < 440) {
                word = random.Pick(m_words.function);
            } else if (kind < 640) {
                const NounText &n = random.Pick(m_words.nouns);
                word = random.PerMille(500) ? n.nominative : n.genitive;
            } else if (kind < 740) {
                const AdjectiveText &a = random.Pick(m_words.adjectives);
                word = a.For("mfn"[random.Below(3)]);
            } else if (kind < 870) {
                word = random.Pick(m_words.verbs);
            } else if (kind < 910) {
                word = random.Pick(m_words.links);
            } else if (kind < 935) {
                word = random.Pick(m_words.citations);
            } else if (kind < 955) {
                char number[32];
                if (random.PerMille(500))
                    std::snprintf(number, sizeof number, "(%d)", random.Between(1750, 2010));
                else
                    std::snprintf(number, sizeof number, "%d%%", random.Between(1, 95));
                word = number;
            } else if (kind < 975 && rtf) {
                // A cross-reference to another headword of the dictionary, in English.
                const Entry &other = m_entries[random.Below(uint32_t(m_entries.size()))];
                word = "(\\'e2\\'eb. {\\b " + other.english + "})";
                markup = true;
            } else if (rtf) {
                const AdjectiveText &a = random.Pick(m_words.adjectives);
                const NounText &n = random.Pick(m_words.nouns);
                Cp1253 phrase = a.trailing ? n.nominative + " " + a.For(n.gender)
                                           : a.For(n.gender) + " " + n.nominative;
                word = random.PerMille(500) ? "{\\b " : "{\\i ";
                AppendEscaped(word, phrase);
                word += "}";
                markup = true;
            } else {
                word = random.Pick(m_words.function);
            }
            if (w == 0 && !markup)
                word = CapitalFirst(word);
            if (w > 0 && random.PerMille(60))
                out += ',';
            if (!out.empty() && out.back() != ' ' && out.back() != '\n')
                out += ' ';
            if (rtf && !markup)
                AppendEscaped(out, word);
            else
                out += word;
        }
        out += ". ";
    }

    void Table(Random &random, Cp1253 &out)
    {
        out += "\\par\\pard ";
        const int rows = random.Between(2, 4);
        const int cells = random.Between(2, 3);
        for (int r = 0; r < rows; ++r) {
            out += "\\trowd\\trgaph108";
            for (int c = 1; c <= cells; ++c)
                out += "\\cellx" + std::to_string(c * 2800);
            out += " ";
            for (int c = 0; c < cells; ++c) {
                out += "\\pard\\intbl ";
                AppendEscaped(out, random.Pick(m_words.nouns).nominative);
                out += "\\cell ";
            }
            out += "\\row ";
        }
        out += "\\pard\\plain\\f60\\fs20 ";
    }

    const Words &m_words;
    const std::vector<Entry> &m_entries;
};

// An id as the five digits of an anchor column.
Cp1253 AnchorText(long long id)
{
    Cp1253 text;
    AppendNumber(text, CustomEnglishLayout::anchor, id);
    return text;
}

// The RTF preamble of the description file without its opening brace, 603 bytes: fonts 0 (the
// supplement heading) and 60 (the reader's texts) in the Greek charset, padded to size by an
// ignorable destination.
Cp1253 HeaderBlock()
{
    Cp1253 header = "\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}"
                    "{\\f1\\froman\\fcharset161 Times New Roman;}"
                    "{\\f60\\fswiss\\fcharset161 Tahoma;}}"
                    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue160;}"
                    "\\viewkind4\\uc1\\pard\\plain\\f60\\fs20 {\\*\\termdexpad ";
    header.resize(602, 'x');
    header += "}";
    return header;
}

class OutputFile
{
public:
    explicit OutputFile(const std::filesystem::path &path)
        : m_path(path), m_out(path, std::ios::binary | std::ios::trunc)
    {
    }
    void Write(const std::string &bytes)
    {
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        m_written += static_cast<int64_t>(bytes.size());
    }
    // Closes the file; false when it could not be opened or written.
    bool Finish(std::string &error)
    {
        m_out.close();
        if (!m_out) {
            error = "cannot write " + m_path.string();
            return false;
        }
        return true;
    }
    int64_t written() const { return m_written; }

private:
    std::filesystem::path m_path;
    std::ofstream m_out;
    int64_t m_written = 0;
};

// Which entries are the reader's (never the first, so each has a shipped anchor), and which
// shipped entries carry a supplement; every entry's id.
void ChooseCustomEntries(Random &random, std::vector<Entry> &entries, int customCount,
                         int supplementCount)
{
    const int total = static_cast<int>(entries.size());
    std::vector<int> order(total - 1);
    for (int i = 0; i < total - 1; ++i)
        order[i] = i + 1;
    for (int i = 0; i < customCount; ++i)
        std::swap(order[i], order[i + random.Below(uint32_t(total - 1 - i))]);
    for (int i = 0; i < customCount; ++i)
        entries[order[i]].custom = true;
    int nextId = 0;
    std::vector<int> shipped;
    for (int i = 0; i < total; ++i)
        if (!entries[i].custom) {
            entries[i].id = ++nextId;
            shipped.push_back(i);
        }
    // The reader's entries got their ids in the order they were added: above the shipped ones.
    for (int i = 0; i < customCount; ++i)
        entries[order[i]].id = ++nextId;
    for (int i = 0; i < supplementCount; ++i) {
        std::swap(shipped[i], shipped[i + random.Below(uint32_t(shipped.size() - i))]);
        entries[shipped[i]].supplemented = true;
    }
}

// The description file and the shipped English index, in English order.
bool WriteShippedFiles(const std::filesystem::path &dataFolder, ProseWriter &prose, Random &random,
                       const std::vector<Entry> &entries, GeneratorResult &result)
{
    OutputFile descriptions(dataFolder / "Termdex.tbo");
    OutputFile englishIndex(dataFolder / "TermdexI.tbo");
    std::string error;
    const Cp1253 header = HeaderBlock() + "\r\n";
    descriptions.Write(DescriptionEncode(1, header));
    int64_t offset = static_cast<int64_t>(header.size());
    std::vector<int64_t> lengths;
    int line = 0;
    for (const Entry &entry : entries) {
        if (entry.custom)
            continue;
        const Cp1253 body = prose.Description(random, entry, DescriptionLength(random));
        const Cp1253 englishLine = FormatShippedEnglishLine(entry.id, entry.english, offset,
                                                            static_cast<long long>(body.size()));
        englishIndex.Write(MirrorEncode(++line, englishLine) + "\r\n");
        descriptions.Write(DescriptionEncode(static_cast<int32_t>(offset + 1), body + "\r\n"));
        offset += static_cast<int64_t>(body.size()) + 2;
        lengths.push_back(static_cast<int64_t>(body.size()));
    }
    if (!descriptions.Finish(error) || !englishIndex.Finish(error)) {
        result.error = error;
        return false;
    }
    result.descriptionFileBytes = descriptions.written();
    std::sort(lengths.begin(), lengths.end());
    result.shortestDescription = lengths.front();
    result.medianDescription = lengths[lengths.size() / 2];
    result.longestDescription = lengths.back();
    return true;
}

// The reader's English index and description file: each shipped entry's supplement line,
// then the reader's entries that follow it, in English order.
bool WriteCustomFiles(const std::filesystem::path &customData, ProseWriter &prose, Random &random,
                      const std::vector<Entry> &entries, GeneratorResult &result)
{
    std::string error;
    OutputFile customIndex(customData / "TermdexIC.tbo");
    OutputFile customTexts(customData / "TermdexC.tbo");
    int64_t position = 1;
    int anchor = 0;
    for (const Entry &entry : entries) {
        Cp1253 line, stored;
        if (!entry.custom) {
            anchor = entry.id;
            if (!entry.supplemented)
                continue;
            stored = EscapeDescription(prose.PlainText(random, random.Between(40, 400)),
                                       "{\\f60\\fs22 ");
            line = FormatCustomEnglishLine(AnchorText(entry.id), entry.id, "", position,
                                           static_cast<long long>(stored.size()));
        } else {
            stored = EscapeDescription(prose.PlainText(random, random.Between(60, 700)), "{");
            line = FormatCustomEnglishLine(AnchorText(anchor), entry.id, entry.english, position,
                                           static_cast<long long>(stored.size()));
        }
        customIndex.Write(ShiftCodec(line, false) + "\r\n");
        customTexts.Write(ShiftCodec(stored, false));
        position += static_cast<int64_t>(stored.size());
    }
    if (!customIndex.Finish(error) || !customTexts.Finish(error)) {
        result.error = error;
        return false;
    }
    result.customDescriptionBytes = customTexts.written();
    return true;
}

// The Greek indexes, in the order of the folded Greek headwords; each of the reader's
// lines is anchored to the shipped Greek entry it follows.
bool WriteGreekIndexes(const std::filesystem::path &dataFolder,
                       const std::filesystem::path &customData, const std::vector<Entry> &entries,
                       GeneratorResult &result)
{
    std::string error;
    std::vector<const Entry *> greekShipped, greekCustom;
    for (const Entry &entry : entries)
        (entry.custom ? greekCustom : greekShipped).push_back(&entry);
    auto byGreekKey = [](const Entry *a, const Entry *b) { return a->greekKey < b->greekKey; };
    std::sort(greekShipped.begin(), greekShipped.end(), byGreekKey);
    std::sort(greekCustom.begin(), greekCustom.end(), byGreekKey);
    OutputFile greekIndex(dataFolder / "TermdexHI.tbo");
    int line = 0;
    for (const Entry *entry : greekShipped)
        greekIndex.Write(MirrorEncode(++line, FormatShippedGreekLine(entry->id, entry->greek)) +
                         "\r\n");
    OutputFile customGreek(customData / "TermdexHIC.tbo");
    for (const Entry *entry : greekCustom) {
        auto after = std::upper_bound(greekShipped.begin(), greekShipped.end(), entry, byGreekKey);
        const Entry *anchor = after == greekShipped.begin() ? greekShipped.front() : *(after - 1);
        const Cp1253 lineText = FormatCustomGreekLine(anchor->id, entry->id, entry->greek);
        customGreek.Write(ShiftCodec(lineText, false) + "\r\n");
    }
    if (!greekIndex.Finish(error) || !customGreek.Finish(error)) {
        result.error = error;
        return false;
    }
    return true;
}

} // namespace

GeneratorResult WriteDictionary(const std::filesystem::path &folder,
                                const GeneratorOptions &options)
{
    GeneratorResult result;
    const int total = options.totalEntries;
    const int customCount = std::clamp(options.customEntries, 0, std::max(0, total - 1));
    const int shippedCount = total - customCount;
    const int supplementCount = std::clamp(options.supplements, 0, shippedCount);
    if (total < 1 || total > 30001) {
        result.error = "the tables hold 1 to 30001 entries";
        return result;
    }
    std::error_code ec;
    const auto dataFolder = folder / "data";
    const auto customData = folder / "custom" / "Data";
    std::filesystem::create_directories(dataFolder, ec);
    std::filesystem::create_directories(customData, ec);
    if (!std::filesystem::is_directory(dataFolder) || !std::filesystem::is_directory(customData)) {
        result.error = "cannot create " + dataFolder.string() + " and " + customData.string();
        return result;
    }

    Random random(options.seed);
    const Words words;
    std::vector<Entry> entries = MakeEntries(random, words, total);
    // The English index lists its entries in the order of their folded headwords, as the build
    // writes them; the reader's entries are placed among them the same way.
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return a.englishKey < b.englishKey; });

    ChooseCustomEntries(random, entries, customCount, supplementCount);

    ProseWriter prose(words, entries);
    if (!WriteShippedFiles(dataFolder, prose, random, entries, result) ||
        !WriteCustomFiles(customData, prose, random, entries, result) ||
        !WriteGreekIndexes(dataFolder, customData, entries, result))
        return result;
    result.ok = true;
    result.shippedEntries = shippedCount;
    result.customEntries = customCount;
    result.supplements = supplementCount;
    return result;
}

} // namespace termdex::bench
