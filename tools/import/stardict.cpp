#include "tools/import/parsers.h"

#include <cstdint>
#include <map>

namespace termdex::import {

namespace {

uint64_t BigEndian(std::string_view bytes)
{
    uint64_t value = 0;
    for (char c : bytes)
        value = (value << 8) | static_cast<unsigned char>(c);
    return value;
}

std::map<std::string, std::string> IfoFields(std::string_view ifo)
{
    std::map<std::string, std::string> fields;
    size_t start = 0;
    while (start < ifo.size()) {
        size_t end = ifo.find('\n', start);
        if (end == std::string_view::npos)
            end = ifo.size();
        std::string_view line = ifo.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos && fields.size() < 100)
            fields.emplace(std::string(line.substr(0, equals)),
                           std::string(line.substr(equals + 1)));
    }
    return fields;
}

// One field of an entry's data: its type and bytes.
struct Field
{
    char type;
    std::string_view data;
};

bool IsTextType(char type) { return type >= 'a' && type <= 'z'; }

// The fields of one entry. With a type sequence, the types are not stored and the last field
// runs to the end; without, each field carries its type. Text fields end at a NUL, the others
// carry a 32-bit size.
std::vector<Field> SplitFields(std::string_view data, const std::string &sequence)
{
    std::vector<Field> fields;
    size_t at = 0;
    for (size_t n = 0; at < data.size() && fields.size() < 64; ++n) {
        char type;
        if (!sequence.empty()) {
            if (n >= sequence.size())
                break;
            type = sequence[n];
        } else {
            type = data[at++];
        }
        const bool last = !sequence.empty() && n + 1 == sequence.size();
        if (IsTextType(type)) {
            size_t end = last ? data.size() : data.find('\0', at);
            if (end == std::string_view::npos)
                end = data.size();
            fields.push_back({type, data.substr(at, end - at)});
            at = end + 1;
        } else if (last) {
            fields.push_back({type, data.substr(at)});
            at = data.size();
        } else {
            if (data.size() - at < 4)
                break;
            const uint64_t size = BigEndian(data.substr(at, 4));
            at += 4;
            if (size > data.size() - at)
                break;
            fields.push_back({type, data.substr(at, size)});
            at += size;
        }
    }
    return fields;
}

} // namespace

void ParseStardict(std::string_view ifo, std::string_view idx, std::string_view dict, Parsed &out)
{
    auto fields = IfoFields(ifo);
    const bool wide = fields["idxoffsetbits"] == "64";
    const std::string sequence = fields["sametypesequence"].substr(0, 64);
    out.title = fields["bookname"].substr(0, 300);
    std::string licence = fields["copyright"];
    if (!fields["author"].empty())
        licence += (licence.empty() ? "" : "\n") + fields["author"];
    if (!fields["description"].empty())
        licence += (licence.empty() ? "" : "\n") + fields["description"];
    out.licence = DecodeCharacterReferences(licence.substr(0, 20'000));
    // <br> in the .ifo stands for a line break
    for (size_t at; (at = out.licence.find("<br>")) != std::string::npos;)
        out.licence.replace(at, 4, "\n");

    const size_t offsetBytes = wide ? 8 : 4;
    std::string leftOutTypes;
    size_t at = 0;
    while (at < idx.size() && out.entries.size() < kMaxParsedEntries) {
        const size_t nul = idx.find('\0', at);
        if (nul == std::string_view::npos || idx.size() - nul - 1 < offsetBytes + 4) {
            out.warnings.push_back("the .idx file ends inside an entry; the rest is left out");
            break;
        }
        const std::string word(idx.substr(at, std::min<size_t>(nul - at, 1000)));
        const uint64_t offset = BigEndian(idx.substr(nul + 1, offsetBytes));
        const uint64_t size = BigEndian(idx.substr(nul + 1 + offsetBytes, 4));
        at = nul + 1 + offsetBytes + 4;
        if (offset > dict.size() || size > dict.size() - offset) {
            out.skipped.push_back({word, "offset and size lie outside the .dict file"});
            continue;
        }
        RichText rich;
        for (const Field &field : SplitFields(dict.substr(offset, size), sequence)) {
            if (std::string_view("mlythxg").find(field.type) == std::string_view::npos) {
                // Sounds, pictures and the like: left out without a blank line in their place.
                if (leftOutTypes.find(field.type) == std::string::npos &&
                    leftOutTypes.size() < 64) {
                    leftOutTypes += field.type;
                    out.warnings.push_back(std::string("fields of type '") + field.type +
                                           "' are left out");
                }
                continue;
            }
            if (!rich.empty())
                rich.LineBreak();
            switch (field.type) {
            case 'm':
            case 'l':
            case 'y':
                rich.Text(field.data);
                break;
            case 't': // phonetic transcription
                rich.Text("[" + std::string(field.data) + "]");
                break;
            case 'h':
                MarkupToRichText(field.data, false, rich);
                break;
            case 'x':
            case 'g':
                MarkupToRichText(field.data, true, rich);
                break;
            }
        }
        Entry entry;
        entry.english = word;
        entry.greek = FirstGreekTranslation(rich.plain());
        entry.descriptionCut = rich.cut();
        entry.rtf = rich.Finish();
        out.entries.push_back(std::move(entry));
    }
}

} // namespace termdex::import
