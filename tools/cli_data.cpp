// The data and maintenance commands: build, check, byte-range, codec, fold, whole-word and
// dump-index.
#include "data/entry_index.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "store/folder_lock.h"
#include "tools/cli.h"
#include "tools/content_check.h"
#include "tools/greek_speller.h"
#include "tools/json.h"
#include "tools/maintenance.h"

#include <iostream>
#include <iterator>
#include <ostream>

namespace termdex::cli {
namespace {

int Build(Run &run)
{
    if (!run.args.Parse({"--authoring"}, {}))
        return run.Fail(run.args.error());
    if (!run.args.positional().empty())
        return run.Fail("usage: build [--authoring FILE]");
    const std::filesystem::path authoring =
        run.args.Value("--authoring")
            .value_or(ProgramFile(run.options.programFolder, "utils/Docs/OLO_minusfirstchar.txt"));
    if (!FileExists(authoring))
        return run.Fail("authoring text missing: " + authoring.string(), kExitDataMissing);
    const BuildResult result =
        BuildDictionary(authoring, ProgramFile(run.options.programFolder, "data"));
    if (!result.ok)
        return run.Fail(result.error, result.tooManyEntries ? kExitUsage : kExitFailure);
    if (run.options.json)
        run.PrintJson(JsonWriter()
                          .BeginObject()
                          .Key("records")
                          .Int(static_cast<int64_t>(result.records.size()))
                          .EndObject()
                          .str());
    else
        run.out << "ok: " << result.records.size() << " records\n";
    return kExitOk;
}

void PrintFindings(JsonWriter &json, const char *key, const std::vector<ContentFinding> &findings)
{
    json.Key(key).BeginArray();
    for (const ContentFinding &finding : findings)
        json.BeginObject()
            .Key("entry")
            .Text(finding.entry)
            .Key("reason")
            .Text(finding.reason)
            .EndObject();
    json.EndArray();
}

// check --content: errors and warnings about the entries of an authoring text; exit 2 on an error.
int CheckContentCommand(Run &run)
{
    const std::filesystem::path authoring =
        run.args.Value("--authoring")
            .value_or(ProgramFile(run.options.programFolder, "utils/Docs/OLO_minusfirstchar.txt"));
    AuthoredEntries entries;
    std::string error;
    if (!FileExists(authoring))
        return run.Fail("authoring text missing: " + authoring.string(), kExitDataMissing);
    if (!ReadAuthoredEntries(authoring, entries, error))
        return run.Fail(error, kExitFailure);
    const ContentReport report =
        CheckContent(entries, run.options.programFolder, GreekSpellerOrNone());
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject();
        PrintFindings(json, "errors", report.errors);
        PrintFindings(json, "warnings", report.warnings);
        run.PrintJson(json.EndObject().str());
    } else {
        for (const ContentFinding &finding : report.errors)
            run.out << "error: " << Cp1253ToUtf8(finding.entry) << ": "
                    << Cp1253ToUtf8(finding.reason) << '\n';
        for (const ContentFinding &finding : report.warnings)
            run.out << "warning: " << Cp1253ToUtf8(finding.entry) << ": "
                    << Cp1253ToUtf8(finding.reason) << '\n';
        run.out << entries.records.size() << " entries, " << report.errors.size() << " errors, "
                << report.warnings.size() << " warnings\n";
    }
    return report.errors.empty() ? kExitOk : kExitUsage;
}

int Check(Run &run)
{
    if (!run.args.Parse({"--authoring"}, {"--content"}))
        return run.Fail(run.args.error());
    if (!run.args.positional().empty())
        return run.Fail("usage: check [--content [--authoring FILE]]");
    if (run.args.Flag("--content"))
        return CheckContentCommand(run);
    if (run.args.Value("--authoring"))
        return run.Fail("--authoring goes with --content");
    const ProgramPaths paths = run.Paths();
    if (const auto missing = run.CheckDataFiles(paths))
        return *missing;
    const std::vector<int> problems = CheckAllDescriptions(paths);
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject().Key("problems").BeginArray();
        for (int record : problems)
            json.Int(record);
        run.PrintJson(json.EndArray().EndObject().str());
    } else {
        for (int record : problems)
            run.out << "Problem with k=" << record << '\n';
        if (problems.empty())
            run.out << "ok\n";
    }
    return kExitOk;
}

int ByteRangeCommand(Run &run)
{
    if (!run.args.Parse({}, {}) || run.args.positional().size() != 1)
        return run.Fail("usage: byte-range FILE");
    const auto range = ByteRangeOfFile(run.args.positional()[0]);
    if (!range)
        return run.Fail("cannot read " + run.args.positional()[0], kExitDataMissing);
    if (run.options.json)
        run.PrintJson(JsonWriter()
                          .BeginObject()
                          .Key("min")
                          .Int(range->min)
                          .Key("max")
                          .Int(range->max)
                          .EndObject()
                          .str());
    else
        run.out << range->min << "  -  " << range->max << '\n';
    return kExitOk;
}

int Codec(Run &run)
{
    if (!run.args.Parse({"--seed"}, {}) || run.args.positional().size() != 1)
        return run.Fail("usage: codec NAME [--seed N]");
    long long seed = 1;
    if (const auto text = run.args.Value("--seed")) {
        const bool negative = !text->empty() && (*text)[0] == '-';
        // The magnitude of the most negative 32-bit integer is one more than the largest.
        if (!ParseFixedNumber(std::string_view(*text).substr(negative ? 1 : 0), seed) ||
            seed > (negative ? 2147483648LL : 2147483647LL))
            return run.Fail("--seed takes a 32-bit integer, not " + *text);
        if (negative)
            seed = -seed;
    }
    const std::string input((std::istreambuf_iterator<char>(std::cin)),
                            std::istreambuf_iterator<char>());
    const auto s = static_cast<int32_t>(seed);
    const std::string &name = run.args.positional()[0];
    std::string output;
    if (name == "mirror-encode")
        output = MirrorEncode(s, input);
    else if (name == "mirror-decode")
        output = MirrorDecode(s, input);
    else if (name == "description-encode")
        output = DescriptionEncode(s, input);
    else if (name == "description-decode")
        output = DescriptionDecode(s, input);
    else if (name == "shift-encode")
        output = ShiftCodec(input, false);
    else if (name == "shift-decode")
        output = ShiftCodec(input, true);
    else
        return run.Fail("unknown codec " + name);
    run.out.write(output.data(), static_cast<std::streamsize>(output.size()));
    return kExitOk;
}

int Fold(Run &run)
{
    if (!run.args.Parse({}, {"--keep-leading-digits"}) || run.args.positional().size() != 2)
        return run.Fail(
            "usage: fold greek-key|latin-key|fold-greek-letters TEXT [--keep-leading-digits]");
    const std::string &name = run.args.positional()[0];
    const auto text = run.ToCp1253(run.args.positional()[1]);
    if (!text)
        return kExitUsage;
    const bool dropLeadingDigits = !run.args.Flag("--keep-leading-digits");
    Cp1253 folded;
    if (name == "greek-key")
        folded = GreekKey(*text, dropLeadingDigits);
    else if (name == "latin-key")
        folded = LatinKey(*text, dropLeadingDigits);
    else if (name == "fold-greek-letters")
        folded = FoldGreekLetters(*text);
    else
        return run.Fail("unknown folding " + name);
    if (run.options.json)
        run.PrintJson(JsonWriter().BeginObject().Key("text").Text(folded).EndObject().str());
    else
        run.out << Cp1253ToUtf8(folded) << '\n';
    return kExitOk;
}

int WholeWord(Run &run)
{
    if (!run.args.Parse({}, {}) || run.args.positional().size() != 2)
        return run.Fail("usage: whole-word TEXT WORD");
    const auto text = run.ToCp1253(run.args.positional()[0]);
    const auto word = text ? run.ToCp1253(run.args.positional()[1]) : std::nullopt;
    if (!word)
        return kExitUsage;
    const bool result = ContainsWholeWord(*text, *word);
    if (run.options.json)
        run.PrintJson(JsonWriter().BeginObject().Key("result").Bool(result).EndObject().str());
    else
        run.out << (result ? "true" : "false") << '\n';
    return kExitOk;
}

int DumpIndex(Run &run)
{
    if (!run.args.Parse({}, {"--greek"}))
        return run.Fail(run.args.error());
    if (!run.args.positional().empty())
        return run.Fail("usage: dump-index [--greek]");
    const ProgramPaths paths = run.Paths();
    if (const auto missing = run.CheckDataFiles(paths))
        return *missing;
    EntryIndex index;
    std::vector<std::string> refs;
    const FolderLock lock = LockForReading(*run.options.files, paths); // never mid-rewrite
    const IndexLoadStatus status = LoadEntryIndex(paths, index, refs);
    if (!status.complete && !status.failedFile.empty() && !FileExists(status.failedFile))
        return run.Fail("data file missing or unreadable: " + status.failedFile, kExitDataMissing);
    const bool greek = run.args.Flag("--greek");
    const auto &table = greek ? index.greek : index.english;
    const int count = greek ? index.greekCount : index.englishCount;
    if (!run.options.json) {
        for (int r = 1; r <= count && table[r].id != 0; ++r)
            run.out << r << '\t' << table[r].id << '\t' << Cp1253ToUtf8(table[r].headword) << '\n';
        return kExitOk;
    }
    JsonWriter json;
    json.BeginObject().Key("records").BeginArray();
    for (int r = 1; r <= count && table[r].id != 0; ++r) {
        const IndexRecord &record = table[r];
        json.BeginObject()
            .Key("record")
            .Int(r)
            .Key("id")
            .Int(record.id)
            .Key("headword")
            .Text(record.headword);
        if (greek) {
            json.Key("englishIndex").Int(record.englishIndex);
        } else {
            json.Key("descOffset").Int(record.descOffset).Key("descLength").Int(record.descLength);
            json.Key("kind")
                .Utf8(std::string(1, KindLetter(record.kind)))
                .Key("matchStart")
                .Int(record.matchStart);
            json.Key("supplementRef")
                .Int(record.supplementRef)
                .Key("greekIndex")
                .Int(record.greekIndex);
        }
        json.EndObject();
    }
    json.EndArray();
    if (!greek) {
        json.Key("supplement_refs").BeginArray();
        for (const std::string &ref : refs)
            json.Text(ref);
        json.EndArray();
    }
    run.PrintJson(json.EndObject().str());
    return kExitOk;
}

} // namespace

std::vector<Command> DataCommands()
{
    constexpr CommandGroup kMaintenance = CommandGroup::Maintenance;
    return {
        {"build", "build [--authoring FILE]  the data files from the authoring text", Build,
         kMaintenance},
        {"check",
         "check [--content [--authoring FILE]]  descriptions that do not load; with --content, "
         "the entries' content",
         Check, kMaintenance},
        {"byte-range", "byte-range FILE  smallest and largest byte of a file", ByteRangeCommand,
         kMaintenance},
        {"codec", "codec NAME [--seed N]  one codec, stdin to stdout", Codec, kMaintenance,
         "NAME: mirror-encode, mirror-decode, description-encode, description-decode,\n"
         "shift-encode or shift-decode. N: a 32-bit integer, 1 unless given.\n"},
        {"fold", "fold NAME TEXT [--keep-leading-digits]  the folded text", Fold, kMaintenance,
         "NAME: greek-key, latin-key or fold-greek-letters.\n"},
        {"whole-word", "whole-word TEXT WORD  whether TEXT holds WORD as a whole word", WholeWord,
         kMaintenance},
        {"dump-index", "dump-index [--greek]  the loaded index tables", DumpIndex, kMaintenance},
    };
}

} // namespace termdex::cli
