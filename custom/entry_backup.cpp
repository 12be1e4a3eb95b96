#include "custom/entry_backup.h"

#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "data/description_store.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace termdex {

namespace {

constexpr char kFormatName[] = "termdex-backup";
constexpr int kFormatVersion = 1;
// A headword longer than the editor's fields could never have been made.
constexpr size_t kMaxHeadwordBytes = kCustomHeadwordWidth;
// What the display reads back is 31000 stored bytes, at least one per typed character.
constexpr size_t kMaxDescriptionBytes = kMaxReadableStoredLength;

std::optional<Cp1253> ReadStored(const std::string &file, int64_t offset, int64_t length)
{
    if (length == 0)
        return Cp1253();
    const auto coded = ReadFileRange(file, offset, length);
    if (!coded || static_cast<int64_t>(coded->size()) != length)
        return std::nullopt;
    return ShiftCodec(*coded, true);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string Quote(Cp1253View text)
{
    // Every byte of code page 1253 has a character (the undefined ones the C1 and private-use
    // points), so the UTF-8 is always valid and comes back to the same bytes.
    return nlohmann::json(Cp1253ToUtf8(text)).dump();
}

// The SAX reader: the one shape of the file, checked as it streams, with nesting and sizes
// bounded before anything is kept, so no input can exhaust the stack or the memory.
class BackupReader final : public nlohmann::json_sax<nlohmann::json>
{
public:
    std::vector<BackupEntry> entries;
    std::string error;

    bool null() override { return Scalar("null"); }
    bool boolean(bool) override { return Scalar("a truth value"); }
    bool number_integer(number_integer_t value) override { return Number(value); }
    bool number_unsigned(number_unsigned_t value) override
    {
        return Number(value > 1000 ? 1000 : static_cast<int64_t>(value));
    }
    bool number_float(number_float_t, const string_t &) override { return Scalar("a number"); }
    bool binary(binary_t &) override { return Scalar("binary data"); }
    bool string(string_t &value) override
    {
        if (m_depth == 1 && m_key == "format") {
            m_formatSeen = value == kFormatName;
            return m_formatSeen || Fail("this is not a Termdex backup");
        }
        if (m_depth != 3)
            return m_depth == 1 || Fail("unexpected text");
        const auto text = Utf8ToCp1253(value);
        if (!text.text)
            return Fail("a text holds a character that code page 1253 cannot hold: " +
                        text.problem);
        if (m_key == "kind") {
            if (*text.text != "C" && *text.text != "A")
                return Fail("unknown kind " + value);
            m_entry.kind = *text.text == "C" ? EntryKind::Own : EntryKind::Supplemented;
            m_seen |= kKind;
        } else if (m_key == "english" || m_key == "greek" || m_key == "shipped_headword") {
            if (text.text->size() > kMaxHeadwordBytes)
                return Fail("a headword is longer than 80 characters");
            if (m_key == "english") {
                m_entry.english = *text.text;
                m_seen |= kEnglish;
            } else if (m_key == "greek") {
                m_entry.greek = *text.text;
            } else {
                m_shipped = *text.text;
                m_seen |= kShipped;
            }
        } else if (m_key == "description") {
            if (text.text->size() > kMaxDescriptionBytes)
                return Fail("a description is longer than the program can store");
            m_entry.description = *text.text;
        }
        return true; // other keys are left for later versions
    }
    bool start_object(std::size_t) override
    {
        ++m_depth;
        if (m_depth == 1)
            return m_inEntries == false;
        if (m_depth == 3 && m_inEntries) {
            if (entries.size() >= static_cast<size_t>(kMaxRecords))
                return Fail("more entries than a dictionary can hold");
            m_entry = {};
            m_shipped.clear();
            m_seen = 0;
            return true;
        }
        return Fail("unexpected object");
    }
    bool end_object() override
    {
        if (m_depth == 3) {
            if ((m_seen & (kKind | kEnglish)) != (kKind | kEnglish))
                return Fail("an entry without its kind or English headword");
            if (m_entry.kind == EntryKind::Supplemented && (m_seen & kShipped) &&
                m_shipped != m_entry.english)
                return Fail("a supplement whose shipped headword is not its English headword");
            entries.push_back(std::move(m_entry));
        }
        --m_depth;
        return true;
    }
    bool start_array(std::size_t) override
    {
        ++m_depth;
        if (m_depth == 2 && m_key == "entries" && !m_entriesSeen) {
            m_inEntries = m_entriesSeen = true;
            return true;
        }
        return Fail("unexpected list");
    }
    bool end_array() override
    {
        m_inEntries = false;
        --m_depth;
        return true;
    }
    bool key(string_t &value) override
    {
        // Only short keys are ever meaningful; a long one is kept short.
        m_key = value.substr(0, 32);
        return true;
    }
    bool parse_error(std::size_t position, const std::string &,
                     const nlohmann::detail::exception &) override
    {
        if (error.empty())
            error = "not valid JSON (at byte " + std::to_string(position) + ")";
        return false;
    }

    bool Complete()
    {
        if (!error.empty())
            return false;
        if (!m_formatSeen || !m_entriesSeen)
            return Fail("this is not a Termdex backup");
        return true;
    }

private:
    static constexpr int kKind = 1, kEnglish = 2, kShipped = 4;

    bool Fail(std::string why)
    {
        if (error.empty())
            error = std::move(why);
        return false;
    }
    bool Scalar(const char *what)
    {
        // Values of keys that later versions may add are passed over at the levels that hold
        // keys; anywhere else they have no place.
        if (m_depth == 1 || m_depth == 3)
            return true;
        return Fail(std::string("unexpected ") + what);
    }
    bool Number(int64_t value)
    {
        if (m_depth == 1 && m_key == "version")
            return value == kFormatVersion || Fail("a backup of a later version");
        return Scalar("a number");
    }

    int m_depth = 0;
    std::string m_key;
    bool m_inEntries = false, m_entriesSeen = false, m_formatSeen = false;
    BackupEntry m_entry;
    Cp1253 m_shipped;
    int m_seen = 0;
};

} // namespace

std::optional<Cp1253> UnescapeDescription(Cp1253View stored, Cp1253View prefix)
{
    if (stored.size() < prefix.size() + 1 || stored.substr(0, prefix.size()) != prefix ||
        stored.back() != '}')
        return std::nullopt;
    const Cp1253View body = stored.substr(prefix.size(), stored.size() - prefix.size() - 1);
    constexpr std::string_view lineBreak = " \\par ";
    Cp1253 text;
    text.reserve(body.size() / 4);
    for (size_t i = 0; i < body.size();) {
        if (body.substr(i, lineBreak.size()) == lineBreak) {
            text += "\r\n";
            i += lineBreak.size();
            continue;
        }
        if (i + 4 > body.size() || body[i] != '\\' || body[i + 1] != '\'')
            return std::nullopt;
        const int high = HexDigit(body[i + 2]), low = HexDigit(body[i + 3]);
        if (high < 0 || low < 0)
            return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 4;
    }
    return text;
}

std::optional<std::vector<BackupEntry>>
CollectBackupEntries(const ProgramPaths &paths, const EntryIndex &index,
                     const std::vector<std::string> &supplementRefs, std::string *problem)
{
    // The load passes over a custom file it cannot read (a folder, a pipe or a device in its
    // place, no permission): a backup of what it loaded would look whole and lack its entries.
    for (const std::string *path :
         {&paths.customIndexPath, &paths.customGreekIndexPath, &paths.customDescriptionPath}) {
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(*path, ec)))
            continue;
        const bool regular = std::filesystem::is_regular_file(std::filesystem::status(*path, ec));
        if (!regular || ::access(path->c_str(), R_OK) != 0) {
            if (problem != nullptr)
                *problem =
                    regular ? "cannot read " + *path : std::string(kMessageNotAFile) + " " + *path;
            return std::nullopt;
        }
    }
    std::vector<BackupEntry> entries;
    for (int r = 1; r <= index.englishCount; ++r) {
        const IndexRecord &record = index.english[static_cast<size_t>(r)];
        if (record.kind != EntryKind::Own && record.kind != EntryKind::Supplemented)
            continue;
        BackupEntry entry;
        entry.kind = record.kind;
        entry.english = Cp1253(record.headword);
        if (record.greekIndex != 0)
            entry.greek = Cp1253(index.greek[record.greekIndex].headword);
        const auto source = DescriptionSourceFor(paths, record, supplementRefs);
        std::optional<Cp1253> stored;
        if (source && record.kind == EntryKind::Own)
            stored = ReadStored(source->file, source->offset, source->length);
        else if (source && !source->supplementFile.empty())
            stored = ReadStored(source->supplementFile, source->supplementOffset,
                                source->supplementLength);
        std::optional<Cp1253> typed;
        if (stored)
            typed = stored->empty() ? Cp1253()
                                    : UnescapeDescription(*stored, record.kind == EntryKind::Own
                                                                       ? kOwnEntryPrefix
                                                                       : kSupplementPrefix);
        if (!typed) {
            if (problem != nullptr)
                *problem =
                    "the description of \"" + Cp1253ToUtf8(entry.english) + "\" cannot be read";
            return std::nullopt;
        }
        entry.description = std::move(*typed);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry &a, const BackupEntry &b) {
        return std::tie(a.kind, a.english, a.greek, a.description) <
               std::tie(b.kind, b.english, b.greek, b.description);
    });
    return entries;
}

std::string WriteBackup(std::vector<BackupEntry> entries)
{
    std::sort(entries.begin(), entries.end(), [](const BackupEntry &a, const BackupEntry &b) {
        return std::tie(a.kind, a.english, a.greek, a.description) <
               std::tie(b.kind, b.english, b.greek, b.description);
    });
    std::string out = "{\"format\": \"termdex-backup\", \"version\": 1, \"entries\": [";
    for (size_t i = 0; i < entries.size(); ++i) {
        const BackupEntry &entry = entries[i];
        out += i == 0 ? "\n" : ",\n";
        out += " {\"kind\": \"";
        out += KindLetter(entry.kind);
        out += "\", \"english\": " + Quote(entry.english) + ", \"greek\": " + Quote(entry.greek) +
               ", \"description\": " + Quote(entry.description);
        if (entry.kind == EntryKind::Supplemented)
            out += ", \"shipped_headword\": " + Quote(entry.english);
        out += "}";
    }
    out += entries.empty() ? "]}\n" : "\n]}\n";
    return out;
}

bool SaveBackup(const std::string &file, const std::string &bytes, FileSystem &fs)
{
    const std::string scratch = file + ".partial";
    auto out = fs.Create(scratch);
    if (!out)
        return false;
    const bool written = out->Append(bytes) && out->Sync();
    if (!out->Close() || !written || !fs.Rename(scratch, file)) {
        fs.Remove(scratch);
        return false;
    }
    const std::string folder = std::filesystem::path(file).parent_path().string();
    fs.SyncFolder(folder.empty() ? "." : folder);
    return true;
}

BackupParse ReadBackup(std::string_view json)
{
    BackupParse result;
    if (json.size() > static_cast<size_t>(kMaxBackupBytes)) {
        result.error = "the file is larger than any backup";
        return result;
    }
    BackupReader reader;
    const bool parsed = nlohmann::json::sax_parse(json.begin(), json.end(), &reader,
                                                  nlohmann::json::input_format_t::json, true);
    if (!parsed || !reader.Complete()) {
        result.error = reader.error.empty() ? "not valid JSON" : reader.error;
        return result;
    }
    result.entries = std::move(reader.entries);
    return result;
}

} // namespace termdex
