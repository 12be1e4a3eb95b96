// The lookup commands: lookup, type, specific, criteria, search, edited, all and show. Each runs
// the main window's own handlers (MainLexCore) on a freshly shown window and prints the state
// of the headword list, or of the display, afterwards.
#include "lib/cp1253.h"
#include "main/main_lex.h"
#include "richtext/plain_text.h"
#include "tools/cli.h"
#include "tools/json.h"

#include <iostream>
#include <ostream>

#include <unistd.h>

namespace termdex::cli {
namespace {

// The window as it stands after its first showing, in the language that --lang asks for.
class Window
{
public:
    explicit Window(const Run &run) : m_core(run.Paths(), *run.options.files)
    {
        m_core.UseIndexCache({run.options.user.indexCache});
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
std::string WithoutCarriageReturns(std::string_view utf8)
{
    std::string out;
    for (char c : utf8)
        if (c != '\r')
            out += c;
    return out;
}

std::string ForTerminal(Cp1253View text) { return WithoutCarriageReturns(Utf8(text)); }

// The description's text as the display shows it: a character outside code page 1253 (an
// imported pronunciation's IPA, say) is itself, where the search's plain text has "?".
std::string ShownDescription(const MainLexState &state)
{
    return state.descriptionDocument.empty() ? Utf8(state.descriptionText)
                                             : RtfToPlainUtf8(state.descriptionDocument);
}

// Typing TEXT key by key into the empty entry field. Each key's lookup starts afresh from what
// the field holds (its leading blanks dropped) and the language follows the field's first
// character alone, so the last key leaves the state that one change to the whole text leaves;
// key by key would cost a lookup per character.
void TypeIntoEmptyField(MainLexCore &core, const Cp1253 &text)
{
    if (!text.empty())
        core.Entry_TextChange(text);
}

// The display step's state of the entry on display, as `show` prints it.
void WriteShown(JsonWriter &json, MainLexCore &core, int record, bool withDocument)
{
    const MainLexState &state = core.State();
    const EntryKind kind = core.Index().english[static_cast<size_t>(record)].kind;
    json.BeginObject();
    json.Key("record").Int(record);
    json.Key("kind").Text(kind != EntryKind::None ? Cp1253(1, KindLetter(kind)) : Cp1253());
    json.Key("entry_label").Text(state.entryLabel);
    json.Key("trans_label").Text(state.transLabel);
    json.Key("description").Utf8(ShownDescription(state));
    json.Key("modify_enabled").Bool(state.modifyEntryEnabled);
    json.Key("delete_enabled").Bool(state.deleteEntryEnabled);
    json.Key("links").BeginArray();
    for (const EntryLink &link : state.links)
        json.BeginObject().Key("text").Text(link.text).Key("record").Int(link.record).EndObject();
    json.EndArray();
    if (withDocument) {
        json.Key("document");
        if (state.descriptionDocument.empty())
            json.Null();
        else
            json.Text(state.descriptionDocument);
    }
    json.EndObject();
}

// [{"record", "text", "reason"}, ...]
void WriteSuggestions(JsonWriter &json, const std::vector<Suggestion> &suggestions)
{
    json.BeginArray();
    for (const Suggestion &s : suggestions)
        json.BeginObject()
            .Key("record")
            .Int(s.record)
            .Key("text")
            .Text(s.text)
            .Key("reason")
            .Utf8(SuggestionReasonName(s.reason))
            .EndObject();
    json.EndArray();
}

// withReport: the searches also give what the window says of their outcome ("message");
// suggestions: for lookup and type, what the entry text may have meant (null: not printed).
int PrintList(const Run &run, const MainLexState &state, bool withReport = false,
              const std::vector<Suggestion> *suggestions = nullptr)
{
    const size_t count = std::min(state.listItems.size(), state.ListRecords.size());
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key("language").Utf8(state.LanguageMode == Language::Greek ? "gr" : "en");
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
        if (suggestions != nullptr)
            WriteSuggestions(json.Key("suggestions"), *suggestions);
        run.PrintJson(json.EndObject().str());
        return kExitOk;
    }
    run.out << "language: " << (state.LanguageMode == Language::Greek ? "gr" : "en")
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
    if (suggestions != nullptr && !suggestions->empty()) {
        run.out << "did you mean:";
        for (const Suggestion &s : *suggestions)
            run.out << "  " << s.record << ' ' << Utf8(s.text) << " ("
                    << SuggestionReasonName(s.reason) << ')';
        run.out << '\n';
    }
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
    auto text = run.FieldText(run.args.positional()[0]);
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
    const std::vector<Suggestion> suggestions = core.SuggestHeadwords(core.State().entryText);
    return PrintList(run, core.State(), false, &suggestions);
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
    TypeIntoEmptyField(window.core(), *text);
    return PrintList(run, window.core().State(), false, &window.core().State().suggestions);
}

int Specific(Run &run)
{
    const char *usage = "usage: specific RECORD --caption TEXT";
    if (!run.args.Parse({"--caption"}, {}))
        return run.Fail(run.args.error());
    const auto captionArgument = run.args.Value("--caption");
    if (run.args.positional().size() != 1 || !captionArgument)
        return run.Fail(usage);
    const auto caption = run.FieldText(*captionArgument);
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
            const auto text = run.FieldText(*value);
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
    const EntryKind kind = core.Index().english[static_cast<size_t>(*record)].kind;
    if (run.options.json) {
        JsonWriter json;
        WriteShown(json, core, *record, run.args.Flag("--rtf"));
        run.PrintJson(json.str());
        return kExitOk;
    }
    run.out << Utf8(state.entryLabel);
    if (!Trim(state.transLabel).empty())
        run.out << " [" << Utf8(state.transLabel) << "]";
    run.out << "  (record " << *record << ", kind "
            << (kind != EntryKind::None ? KindLetter(kind) : '?') << ")\n";
    if (run.args.Flag("--rtf"))
        run.out << ForTerminal(state.descriptionDocument);
    else
        run.out << WithoutCarriageReturns(ShownDescription(state));
    return kExitOk;
}

// The entry on display for people: the headword (bold on a terminal), its rendering, and the
// description wrapped to the width of the output.
void PrintEntryForPeople(const Run &run, const MainLexState &state)
{
    const bool colour = UseColour(STDOUT_FILENO, run.options.terminal);
    run.out << (colour ? "\x1b[1m" : "") << Utf8(Trim(state.entryLabel))
            << (colour ? "\x1b[0m" : "");
    if (!Trim(state.transLabel).empty())
        run.out << "  " << Utf8(Trim(state.transLabel));
    run.out << '\n';
    std::string description = WithoutCarriageReturns(ShownDescription(state));
    while (!description.empty() && (description.back() == '\n' || description.back() == ' '))
        description.pop_back();
    if (!description.empty())
        run.out << WrapText(description, OutputWidth(STDOUT_FILENO, run.options.terminal)) << '\n';
}

// Defines one word on the open window; false when it showed no entry.
bool DefineWord(const Run &run, MainLexCore &core, const std::string &word, const Cp1253 &text,
                int &printed)
{
    // Each word is typed into an empty field in the language the run starts in, as if alone.
    core.WriteEntryText("");
    core.SetLanguageMode(run.options.greek);
    TypeIntoEmptyField(core, text);
    const MainLexState &state = core.State();
    // An empty word types nothing, so what is on display (and suggested) is the previous word's.
    const int shown = text.empty() ? 0 : state.shownRecord;
    const std::vector<Suggestion> none;
    const std::vector<Suggestion> &suggestions = text.empty() ? none : state.suggestions;
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key("query").Utf8(word);
        json.Key("language").Utf8(state.LanguageMode == Language::Greek ? "gr" : "en");
        json.Key("entry");
        if (shown != 0)
            WriteShown(json, core, shown, false);
        else
            json.Null();
        WriteSuggestions(json.Key("suggestions"), suggestions);
        run.PrintJson(json.EndObject().str());
    } else if (shown != 0) {
        if (printed++ > 0) // a blank line between entries
            run.out << '\n';
        PrintEntryForPeople(run, state);
    } else {
        run.err << "no entry for " << word;
        for (size_t i = 0; i < suggestions.size(); ++i)
            run.err << (i == 0 ? "; did you mean: " : ", ") << Utf8(suggestions[i].text);
        run.err << '\n';
    }
    return shown != 0;
}

// One line of standard input, at most limit bytes kept (the rest of a longer line is read and
// dropped, so a huge line costs no memory); false at the end of the input.
bool ReadBoundedLine(std::istream &in, std::string &line, size_t limit)
{
    line.clear();
    bool any = false;
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < limit)
            line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return any;
}

int Define(Run &run)
{
    const char *usage = "usage: define WORD... | define -";
    if (!run.args.Parse({}, {}))
        return run.Fail(run.args.error());
    const std::vector<std::string> &words = run.args.positional();
    const bool fromInput = words.size() == 1 && words[0] == "-";
    if (words.empty())
        return run.Fail(usage);
    // Words given as arguments are checked before any is looked up.
    std::vector<Cp1253> texts;
    if (!fromInput) {
        for (const std::string &word : words) {
            auto text = run.FieldText(word);
            if (!text)
                return kExitUsage;
            texts.push_back(std::move(*text));
        }
    }
    Window window(run);
    if (const auto failed = window.Open(run))
        return *failed;
    bool allShown = true;
    int printed = 0;
    if (!fromInput) {
        for (size_t i = 0; i < words.size(); ++i)
            allShown = DefineWord(run, window.core(), words[i], texts[i], printed) && allShown;
    } else {
        // A UTF-8 character is at most 4 bytes; what the field would cut goes unread.
        std::string line;
        for (long long number = 1; ReadBoundedLine(std::cin, line, 4 * kFieldCharacterLimit);
             ++number) {
            if (const auto problem = Utf8Error(line))
                return run.Fail("standard input, line " + std::to_string(number) + ": " + *problem);
            const auto text = run.FieldText(line);
            if (!text)
                return kExitUsage;
            allShown = DefineWord(run, window.core(), line, *text, printed) && allShown;
            run.out.flush(); // a script reading line by line gets each answer at once
        }
    }
    return allShown ? kExitOk : kExitNoEntry;
}

const char kDefineDetails[] =
    "Types each WORD into the empty entry field and shows the entry it names, as the window\n"
    "does; with -, each line of standard input is a word. With --json, one object a line:\n"
    "  {\"query\", \"language\", \"entry\": <as show prints it> or null}\n"
    "Exit status 5 when a word showed no entry (the others are printed).\n";

} // namespace

std::vector<Command> LookupCommands()
{
    return {
        {"define", "define WORD... | define -  the entry each word names, in one step", Define,
         CommandGroup::Reader, kDefineDetails},
        {"lookup",
         "lookup TEXT [--mode start|contain|end] [--custom-only]  the headwords that "
         "begin with, contain or end with TEXT",
         Lookup},
        {"type", "type TEXT                 typing TEXT into the empty entry field", Type},
        {"specific", "specific RECORD --caption TEXT   the history jump to RECORD", Specific},
        {"criteria", "criteria [--start S] [--contain C] [--end E]  the search-criteria dialog",
         Criteria},
        {"search", "search WORD               full-text search in the descriptions", Search},
        {"edited", "edited                    the reader's edited entries", Edited},
        {"all", "all                       every headword", All},
        {"show", "show RECORD [--rtf]       the display of one entry", Show},
    };
}

} // namespace termdex::cli
