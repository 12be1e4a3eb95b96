#include "tools/import/parsers.h"

#include "lib/text.h"

#include <algorithm>
#include <vector>

namespace termdex::import {

namespace {

enum class Record { End, Read, Unclosed };

// Splits the next record. A quote that is never closed would take the rest of the input into
// one field: Unclosed, with at just past the line the record began on and that line in fields.
Record NextRecord(std::string_view bytes, size_t &at, bool csv, std::vector<std::string> &fields)
{
    fields.clear();
    if (at >= bytes.size())
        return Record::End;
    const size_t start = at;
    fields.emplace_back();
    const char separator = csv ? ',' : '\t';
    bool quoted = false;
    bool fieldStarted = false;
    while (at < bytes.size()) {
        const char c = bytes[at++];
        if (quoted) {
            if (c == '"') {
                if (at < bytes.size() && bytes[at] == '"') {
                    fields.back() += '"';
                    ++at;
                } else {
                    quoted = false;
                }
            } else if (c != '\r') {
                fields.back() += c;
            }
            continue;
        }
        if (c == '\n')
            break;
        if (c == '\r')
            continue;
        if (c == separator) {
            fields.emplace_back();
            fieldStarted = false;
            continue;
        }
        if (csv && c == '"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            continue;
        }
        fieldStarted = true;
        fields.back() += c;
    }
    if (quoted) {
        const size_t lineEnd = std::min(bytes.find('\n', start), bytes.size());
        fields.assign(1, std::string(bytes.substr(start, std::min<size_t>(lineEnd - start, 300))));
        at = lineEnd + 1;
        return Record::Unclosed;
    }
    return Record::Read;
}

bool IsHeader(const std::vector<std::string> &fields)
{
    const std::string first = AsciiLower(TrimUtf8(fields.front()));
    return first == "english" || first == "en" || first == "eng" || first == "headword" ||
           first == "term";
}

} // namespace

void ParseDelimited(std::string_view bytes, bool csv, Parsed &out)
{
    size_t at = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::vector<std::string> fields;
    bool first = true;
    bool extraWarned = false;
    size_t line = 0;
    for (Record record; out.entries.size() < kMaxParsedEntries &&
                        (record = NextRecord(bytes, at, csv, fields)) != Record::End;) {
        ++line;
        if (record == Record::Unclosed) {
            out.skipped.push_back({TrimUtf8(fields[0]), "a quote is opened and never closed"});
            first = false;
            continue;
        }
        if (first && IsHeader(fields)) {
            first = false;
            continue;
        }
        first = false;
        if (fields.size() == 1 && TrimUtf8(fields[0]).empty())
            continue;
        if (fields.size() > 3 && !extraWarned) {
            out.warnings.push_back("line " + std::to_string(line) +
                                   ": fields after the third are left out");
            extraWarned = true;
        }
        Entry entry;
        entry.english = fields[0];
        entry.greek = fields.size() > 1 ? fields[1] : std::string();
        RichText rich;
        if (fields.size() > 2) {
            const std::string &text = fields[2];
            size_t from = 0;
            for (size_t mark; (mark = text.find("\\n", from)) != std::string::npos;
                 from = mark + 2) {
                rich.Text(std::string_view(text).substr(from, mark - from));
                rich.LineBreak();
            }
            rich.Text(std::string_view(text).substr(from));
        }
        entry.descriptionCut = rich.cut();
        entry.rtf = rich.Finish();
        out.entries.push_back(std::move(entry));
    }
}

} // namespace termdex::import
