// The lookup commands: lookup, type, specific, criteria, search, edited, all and show. Each runs
// the main window's own handlers (MainLexCore) on a freshly shown window and prints the state
// of the headword list, or of the display, afterwards.
#include "lib/cp1253.h"
#include "main/main_lex.h"
#include "tools/cli.h"
#include "tools/json.h"

#include <ostream>

namespace termdex::cli {
namespace {

// The window as it stands after its first showing, in the language that --lang asks for.
class Window
{
public:
    explicit Window(const Run &run) : m_core(run.Paths())
    {
        m_core.UseIndexCache({DefaultIndexCacheFolder()});
    }

    // Exit status 4 when a shipped file is missing, else nullopt with the index loaded.
    std::optional<int> Open(const Run &run)
    {
        if (const auto missing = run.CheckDataFiles(m_core.Paths()))
            return missing;
        m_core.FormShow();
        if (run.options.greek)
            m_core.SetLanguageMode(true);
        return std::nullopt;
    }
    MainLexCore &core() { return m_core; }

private:
    MainLexCore m_core;
};

std::string Utf8(Cp1253View text) { return Cp1253ToUtf8(text); }

// Line ends of the program's texts (CR LF) as a terminal shows them.
std::string ForTerminal(Cp1253View text)
{
    std::string out;
    for (char c : Utf8(text))
        if (c != '\r')
            out += c;
    return out;
}

// withReport: the searches also give what the window says of their outcome ("message").
int PrintList(const Run &run, const MainLexState &state, bool withReport = false)
{
    const size_t count = std::min(state.listItems.size(), state.ListRecords.size());
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key("language").Utf8(state.LanguageMode ? "gr" : "en");
        json.Key("entry_text").Text(state.entryText);
        json.Key("items").BeginArray();
        for (size_t i = 0; i < count; ++i)
            json.BeginObject()
                .Key("record")
                .Int(state.ListRecords[i])
                .Key("text")
                .Text(state.listItems[i])
                .EndObject();
        json.EndArray();
        json.Key("selected");
        if (state.itemIndex >= 0)
            json.Int(state.itemIndex);
        else
            json.Null();
        json.Key("shown");
        if (state.shownRecord != 0)
            json.Int(state.shownRecord);
        else
            json.Null();
        if (withReport)
            json.Key("message").Text(state.searchReport);
        run.PrintJson(json.EndObject().str());
        return kExitOk;
    }
    run.out << "language: " << (state.LanguageMode ? "gr" : "en")
            << "  entry: " << Utf8(state.entryText) << '\n';
    for (size_t i = 0; i < count; ++i)
        run.out << (static_cast<int>(i) == state.itemIndex ? "> " : "  ") << state.ListRecords[i]
                << "  " << Utf8(state.listItems[i]) << '\n';
    run.out << count << (count == 1 ? " item" : " items");
    if (state.shownRecord != 0)
        run.out << ", shown: " << state.shownRecord << "  " << Utf8(state.entryLabel);
    run.out << '\n';
    if (withReport && !state.searchReport.empty())
        run.out << Utf8(state.searchReport) << '\n';
    return kExitOk;
}

// The one positional TEXT of a command, converted; nullopt (with the message printed) for bad
// usage or a character the code page cannot hold.
std::optional<Cp1253> OneText(const Run &run, const char *usage, int &status)
{
    if (run.args.positional().size() != 1) {
        status = run.Fail(usage);
        return std::nullopt;
    }
    auto text = run.ToCp1253(run.args.positional()[0]);
    if (!text)
        status = kExitUsage;
    return text;
}

int Lookup(Run &run)
{
    const char *usage = "usage: lookup TEXT [--mode start|contain|end] [--custom-only]";
    if (!run.args.Parse({"--mode"}, {"--custom-only"}))
        return run.Fail(run.args.error());
    int status = kExitOk;
    const auto text = OneText(run, usage, status);
    if (!text)
        return status;
    LookupMode mode = LookupMode::Start;
    if (const auto name = run.args.Value("--mode")) {
        if (*name == "contain")
            mode = LookupMode::Contain;
        else if (*name == "end")
            mode = LookupMode::End;
        else if (*name != "start")
            return run.Fail(usage);
    }
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    MainLexCore &core = window.core();
    core.WriteEntryText(*text);
    core.FillEntryList(mode, 0, run.args.Flag("--custom-only"));
    return PrintList(run, core.State());
}

int Type(Run &run)
{
    if (!run.args.Parse({}, {}))
        return run.Fail(run.args.error());
    int status = kExitOk;
    const auto text = OneText(run, "usage: type TEXT", status);
    if (!text)
        return status;
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    MainLexCore &core = window.core();
    // One change per key, each on what the field holds after the previous lookup (which drops
    // leading blanks as they are typed).
    for (char c : *text)
        core.Entry_TextChange(core.State().entryText + c);
    return PrintList(run, core.State());
}

int Specific(Run &run)
{
    const char *usage = "usage: specific RECORD --caption TEXT";
    if (!run.args.Parse({"--caption"}, {}))
        return run.Fail(run.args.error());
    const auto captionArgument = run.args.Value("--caption");
    if (run.args.positional().size() != 1 || !captionArgument)
        return run.Fail(usage);
    const auto caption = run.ToCp1253(*captionArgument);
    if (!caption)
        return kExitUsage;
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    MainLexCore &core = window.core();
    const auto record = run.RecordArgument(run.args.positional()[0], core.Index().englishCount);
    if (!record)
        return kExitUsage;
    // The history jump: the caption goes into the field unseen by the incremental lookup, the
    // language follows its first character, then the one entry is listed and shown.
    core.WriteEntryText(*caption);
    core.DetectLanguage();
    core.FillEntryList(LookupMode::Specific, *record, false);
    return PrintList(run, core.State());
}

int Criteria(Run &run)
{
    if (!run.args.Parse({"--start", "--contain", "--end"}, {}) || !run.args.positional().empty())
        return run.Fail("usage: criteria [--start S] [--contain C] [--end E]");
    SearchCriteria criteria;
    for (auto [option, field] :
         {std::pair{"--start", &criteria.start}, std::pair{"--contain", &criteria.contain},
          std::pair{"--end", &criteria.end}}) {
        if (const auto value = run.args.Value(option)) {
            const auto text = run.ToCp1253(*value);
            if (!text)
                return kExitUsage;
            *field = *text;
        }
    }
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    window.core().Search_ButtonClick(criteria);
    return PrintList(run, window.core().State(), true);
}

int Search(Run &run)
{
    if (!run.args.Parse({}, {}))
        return run.Fail(run.args.error());
    int status = kExitOk;
    const auto word = OneText(run, "usage: search WORD", status);
    if (!word)
        return status;
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    window.core().DescrSearch_ButtonClick(*word);
    return PrintList(run, window.core().State(), true);
}

int Edited(Run &run)
{
    if (!run.args.Parse({}, {}) || !run.args.positional().empty())
        return run.Fail("usage: edited");
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    MainLexCore &core = window.core();
    // The edited-entries command: a new lookup of the reader's, on an emptied field.
    core.WriteEntryText("");
    core.ClearNextMenu();
    core.FillEntryList(core.State().DefaultLookupMode, 0, true);
    return PrintList(run, core.State());
}

int All(Run &run)
{
    if (!run.args.Parse({}, {}) || !run.args.positional().empty())
        return run.Fail("usage: all");
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    window.core().WholeLex_ButtonClick();
    return PrintList(run, window.core().State());
}

int Show(Run &run)
{
    if (!run.args.Parse({}, {"--rtf"}) || run.args.positional().size() != 1)
        return run.Fail("usage: show RECORD [--rtf]");
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    MainLexCore &core = window.core();
    const auto record = run.RecordArgument(run.args.positional()[0], core.Index().englishCount);
    if (!record)
        return kExitUsage;
    core.ShowRecord(*record);
    const MainLexState &state = core.State();
    const char kind = core.Index().english[static_cast<size_t>(*record)].kind;
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key("record").Int(*record);
        json.Key("kind").Text(kind != 0 ? Cp1253(1, kind) : Cp1253());
        json.Key("entry_label").Text(state.entryLabel);
        json.Key("trans_label").Text(state.transLabel);
        json.Key("description").Text(state.descriptionText);
        json.Key("modify_enabled").Bool(state.modifyEntryEnabled);
        json.Key("delete_enabled").Bool(state.deleteEntryEnabled);
        if (run.args.Flag("--rtf")) {
            json.Key("document");
            if (state.descriptionDocument.empty())
                json.Null();
            else
                json.Text(state.descriptionDocument);
        }
        run.PrintJson(json.EndObject().str());
        return kExitOk;
    }
    run.out << Utf8(state.entryLabel);
    if (!Trim(state.transLabel).empty())
        run.out << " [" << Utf8(state.transLabel) << "]";
    run.out << "  (record " << *record << ", kind " << (kind != 0 ? kind : '?') << ")\n";
    if (run.args.Flag("--rtf"))
        run.out << ForTerminal(state.descriptionDocument);
    else
        run.out << ForTerminal(state.descriptionText);
    return kExitOk;
}

} // namespace

std::vector<Command> LookupCommands()
{
    return {
        {"lookup", "lookup TEXT [--mode start|contain|end] [--custom-only]", Lookup},
        {"type", "type TEXT                 typing TEXT into the empty entry field", Type},
        {"specific", "specific RECORD --caption TEXT   the history jump to RECORD", Specific},
        {"criteria", "criteria [--start S] [--contain C] [--end E]", Criteria},
        {"search", "search WORD               full-text search in the descriptions", Search},
        {"edited", "edited                    the reader's edited entries", Edited},
        {"all", "all                       every headword", All},
        {"show", "show RECORD [--rtf]       the display of one entry", Show},
    };
}

} // namespace termdex::cli
