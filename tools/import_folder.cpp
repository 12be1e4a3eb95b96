#include "tools/import_folder.h"

#include "data/entry_index.h"
#include "data/paths.h"
#include "lib/files.h"
#include "tools/import/authoring.h"
#include "tools/import/parsers.h"
#include "tools/maintenance.h"

#include <fstream>

namespace termdex {
namespace fs = std::filesystem;
using namespace import;

namespace {

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The file beside source with its extension(s) replaced: the first of the candidates that exists.
std::optional<fs::path> Sibling(const fs::path &source,
                                const std::vector<std::string> &knownEndings,
                                const std::vector<std::string> &wanted)
{
    std::string base = source.string();
    for (const std::string &ending : knownEndings) {
        if (EndsWith(base, ending)) {
            base.resize(base.size() - ending.size());
            break;
        }
    }
    for (const std::string &ending : wanted)
        if (FileExists(base + ending))
            return fs::path(base + ending);
    return std::nullopt;
}

// The whole file, inflated when it is gzip or dictzip.
std::optional<std::string> ReadSource(const fs::path &file, std::string &error)
{
    auto bytes = ReadWholeFile(file, static_cast<int64_t>(kMaxSourceBytes));
    if (!bytes) {
        error = "cannot read " + file.string() + " (missing, unreadable or larger than " +
                std::to_string(kMaxSourceBytes) + " bytes)";
        return std::nullopt;
    }
    if (bytes->size() >= 2 && (*bytes)[0] == '\x1F' && (*bytes)[1] == '\x8B') {
        auto inflated = Inflate(*bytes, kMaxSourceBytes, error);
        if (!inflated)
            error = file.string() + ": " + error;
        return inflated;
    }
    return bytes;
}

bool ParseSources(const std::string &format, const std::vector<fs::path> &sources, Parsed &parsed,
                  std::string &error)
{
    const std::vector<std::string> dictdEndings = {".index", ".dict.dz", ".dict"};
    const std::vector<std::string> stardictEndings = {".ifo", ".idx", ".dict.dz", ".dict"};
    for (const fs::path &source : sources) {
        if (format == "tsv" || format == "csv" || format == "tbx" || format == "tei") {
            const auto bytes = ReadSource(source, error);
            if (!bytes)
                return false;
            if (format == "tbx")
                ParseTbx(*bytes, parsed);
            else if (format == "tei")
                ParseTei(*bytes, parsed);
            else
                ParseDelimited(*bytes, format == "csv", parsed);
        } else if (format == "dictd") {
            const auto index = Sibling(source, dictdEndings, {".index"});
            const auto dict = Sibling(source, dictdEndings, {".dict.dz", ".dict"});
            if (!index || !dict) {
                error = source.string() +
                        ": a dictd dictionary needs its .index and its .dict or .dict.dz";
                return false;
            }
            const auto indexBytes = ReadSource(*index, error);
            const auto dictBytes = indexBytes ? ReadSource(*dict, error) : std::nullopt;
            if (!dictBytes)
                return false;
            ParseDictd(*indexBytes, *dictBytes, parsed);
        } else if (format == "stardict") {
            const auto ifo = Sibling(source, stardictEndings, {".ifo"});
            const auto idx = Sibling(source, stardictEndings, {".idx", ".idx.gz"});
            const auto dict = Sibling(source, stardictEndings, {".dict.dz", ".dict"});
            if (!ifo || !idx || !dict) {
                error = source.string() +
                        ": a StarDict dictionary needs its .ifo, .idx and .dict or .dict.dz";
                return false;
            }
            const auto ifoBytes = ReadSource(*ifo, error);
            const auto idxBytes = ifoBytes ? ReadSource(*idx, error) : std::nullopt;
            const auto dictBytes = idxBytes ? ReadSource(*dict, error) : std::nullopt;
            if (!dictBytes)
                return false;
            ParseStardict(*ifoBytes, *idxBytes, *dictBytes, parsed);
        } else {
            error = "unknown format " + format + " (tsv, csv, dictd, stardict, tbx or tei)";
            return false;
        }
    }
    return true;
}

// A folder the import may write into: new, empty, or an earlier import's.
bool FolderIsFree(const fs::path &folder)
{
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return true;
    if (!fs::is_directory(folder, ec))
        return false;
    return fs::is_empty(folder, ec) || FileExists(folder / kImportMarkerFile);
}

// The name= line an earlier import stored, when it is a valid name.
std::string StoredName(const fs::path &folder)
{
    const std::string name = DictionaryName(folder);
    if (const auto text = ReadWholeFile(folder / kImportMarkerFile, 64 * 1024))
        for (const std::string &line : SplitLines(*text))
            if (line == "name=" + name)
                return name;
    return {};
}

std::string RightsText(const std::string &name, const std::string &format,
                       const std::vector<fs::path> &sources, const Parsed &parsed)
{
    RichText rich;
    rich.Bold(true);
    rich.Text(name);
    rich.Bold(false);
    rich.LineBreak();
    rich.LineBreak();
    rich.Text("Imported from " + format + ": ");
    for (size_t i = 0; i < sources.size(); ++i)
        rich.Text((i ? ", " : "") + sources[i].filename().string());
    rich.LineBreak();
    if (!parsed.title.empty()) {
        rich.Text(parsed.title);
        rich.LineBreak();
    }
    rich.LineBreak();
    rich.Bold(true);
    rich.Text("Licence");
    rich.Bold(false);
    rich.LineBreak();
    rich.Text(parsed.licence.empty() ? "The source does not state its licence; the terms of the "
                                       "source's own publisher apply."
                                     : parsed.licence);
    return "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f60\\fswiss\\fcharset161 Tahoma;}}"
           "\\viewkind4\\uc1" +
           rich.Finish() + "\\par}\r\n";
}

bool WriteFile(const fs::path &file, const std::string &bytes)
{
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.flush();
    return static_cast<bool>(out);
}

// Why an import is refused before any source is read, or "" when it may go ahead: the folder
// it would write into must hold nothing of the reader's but an earlier import.
std::string RefusalOf(const std::vector<fs::path> &sources, const fs::path &folder,
                      const std::string &givenName)
{
    if (sources.empty())
        return "no source file given";
    if (!FolderIsFree(folder))
        return folder.string() + " holds other files; import writes only into a new or empty "
                                 "folder or over an earlier import";
    if (!givenName.empty() && !IsDictionaryName(givenName))
        return "--name " + givenName +
               ": a name is 1 to 64 bytes without slash, backslash or control characters, does "
               "not start with a dot and is not \"Data\"";
    return {};
}

} // namespace

ImportReport ImportDictionary(const std::string &format, const std::vector<fs::path> &sources,
                              const fs::path &folder, const std::string &givenName)
{
    ImportReport report;
    report.outcome = ImportReport::Outcome::Refused;
    report.error = RefusalOf(sources, folder, givenName);
    if (!report.error.empty())
        return report;
    // A new import over an earlier one keeps the earlier name, and with it the reader's entries.
    const std::string keptName = givenName.empty() && FileExists(folder / kImportMarkerFile)
                                     ? StoredName(folder)
                                     : givenName;
    Parsed parsed;
    if (!ParseSources(format, sources, parsed, report.error))
        return report;
    AuthoringResult authoring = MakeAuthoringText(std::move(parsed.entries));
    report.skipped = std::move(parsed.skipped);
    report.skipped.insert(report.skipped.end(), authoring.skipped.begin(), authoring.skipped.end());
    report.warnings = std::move(parsed.warnings);
    report.warnings.insert(report.warnings.end(), authoring.warnings.begin(),
                           authoring.warnings.end());
    if (!authoring.ok) {
        report.error = authoring.error;
        return report;
    }
    if (authoring.records == 0) {
        report.error = "the source holds no entry that can be imported";
        return report;
    }

    report.outcome = ImportReport::Outcome::Failed;
    std::string name = keptName.empty() ? parsed.title : keptName;
    if (name.empty())
        name = sources.front().stem().string();
    const fs::path authoringFile = folder / "utils/Docs/OLO_minusfirstchar.txt";
    if (!WriteFile(authoringFile, authoring.text)) {
        report.error = "cannot write " + authoringFile.string();
        return report;
    }
    const BuildResult built = BuildDictionary(authoringFile, folder / "data");
    if (!built.ok) {
        report.error = built.error;
        return report;
    }
    std::string marker = (keptName.empty() ? "" : "name=" + keptName + "\n") +
                         "title=" + ShownTitle(name) + "\n" + "format=" + format + "\n";
    for (const fs::path &source : sources)
        marker += "source=" + fs::absolute(source).string() + "\n";
    if (!WriteFile(folder / "content/copyright.rtf", RightsText(name, format, sources, parsed)) ||
        !WriteFile(folder / kImportMarkerFile, marker)) {
        report.error = "cannot write the rights text in " + (folder / "content").string();
        return report;
    }

    // The folder is only done when it loads as the program will load it.
    ProgramPaths paths;
    paths.programFolder = folder;
    EntryIndex index;
    std::vector<std::string> refs;
    const IndexLoadStatus status = LoadEntryIndex(paths, index, refs);
    if (!status.complete || static_cast<size_t>(index.englishCount) != authoring.records) {
        report.error = "the built dictionary does not load completely";
        return report;
    }
    report.records = authoring.records;
    report.name = name;
    report.outcome = ImportReport::Outcome::Ok;
    return report;
}

} // namespace termdex
