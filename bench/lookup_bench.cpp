// The headword lookups on the full-size dictionary, as the window runs them: one keystroke
// (the whole Entry_TextChange: the start-with lookup with the item list built, item 0
// selected, the exact-match test and, when the text names a headword, the display step), and
// the contain, end and combined lookups of the search dialog.
#include "bench/bench_support.h"
#include "lib/cp1253.h"
#include "main/main_lex.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace termdex;

namespace {

// The window after its first showing, with every folded form of the headwords built (the
// folding happens once per load, not on a keystroke).
MainLexCore &Core()
{
    static const std::unique_ptr<MainLexCore> core = [] {
        auto made = std::make_unique<MainLexCore>(bench::DictionaryPaths(), RealFileSystem());
        const IndexLoadStatus status = made->FormShow();
        if (!status.complete || made->Index().englishCount != kMaxRecords) {
            std::fprintf(stderr, "the dictionary did not load whole\n");
            std::exit(2);
        }
        made->PrepareFoldedHeadwords();
        return made;
    }();
    return *core;
}

Cp1253 Text(const char *utf8)
{
    auto converted = Utf8ToCp1253(utf8);
    return converted.text ? *converted.text : Cp1253();
}

// What a lookup left, so the report shows that each benchmark does the work it is named for.
void Describe(const char *name)
{
    const MainLexState &state = Core().State();
    std::fprintf(stderr, "  %s %6zu items, %s, %s", bench::Padded(name, 40).c_str(),
                 state.listItems.size(),
                 state.LanguageMode == Language::Greek ? "Greek" : "English",
                 state.descriptionDocument.empty() ? "nothing shown" : "entry shown");
    if (!state.suggestions.empty())
        std::fprintf(stderr, ", suggests %s (%s)", Cp1253ToUtf8(state.suggestions[0].text).c_str(),
                     SuggestionReasonName(state.suggestions[0].reason));
    std::fprintf(stderr, "\n");
}

void AddKeystroke(const char *name, double target, const char *typed)
{
    const Cp1253 text = Text(typed);
    Core().Entry_TextChange(text);
    Describe(name);
    bench::AddTimed(name, target, [text] { Core().Entry_TextChange(text); });
}

// Quick translation of copied text: the paste, the lookup, and the entry of its one
// dictionary form shown.
void AddQuickTranslation(const char *name, double target, const char *copied)
{
    const Cp1253 text = Text(copied);
    auto run = [text] { Core().QuickTranslate(text); };
    run();
    Describe(name);
    bench::AddTimed(name, target, run);
}

void AddLookup(const char *name, double target, LookupMode mode, const char *typed)
{
    const Cp1253 text = Text(typed);
    auto run = [text, mode] {
        Core().WriteEntryText(text);
        Core().FillEntryList(mode, 0, false);
    };
    run();
    Describe(name);
    bench::AddTimed(name, target, run);
}

void AddCriteria(const char *name, double target, const char *start, const char *contain,
                 const char *end)
{
    const SearchCriteria criteria{Text(start), Text(contain), Text(end)};
    auto run = [criteria] { Core().Search_ButtonClick(criteria); };
    run();
    Describe(name);
    bench::AddTimed(name, target, run);
}

} // namespace

int main(int argc, char **argv)
{
    bench::DictionaryPaths();
    std::fprintf(stderr, "What each lookup lists on this dictionary:\n");
    // A key of three letters, and a whole headword that the display step then shows.
    AddKeystroke("Keystroke START 3 letters \"tax\"", 0.3, "tax");
    // "φόρ" names no headword, so its keystroke looks for suggestions too.
    AddKeystroke("Keystroke START 3 letters \"φόρ\"", 5, "φόρ");
    AddKeystroke("Keystroke START exact \"marginal cost\"", 0, "marginal cost");
    // One letter: thousands of items.
    AddKeystroke("Keystroke START 1 letter \"s\"", 2, "s");
    AddKeystroke("Keystroke START 1 letter \"π\"", 2, "π");
    // Keys that name no headword: the lookup with its shortening, then the suggestions (the
    // Hunspell dictionaries were read by the run before the timing).
    AddKeystroke("Keystroke no match \"inflatoin\" + suggestions", 5, "inflatoin");
    AddKeystroke("Keystroke no match \"taxes\" + suggestions", 5, "taxes");
    AddKeystroke("Keystroke no match \"πληθωρισμού\" + suggestions", 5, "πληθωρισμού");
    AddKeystroke("Keystroke no match \"κεφαλαιυ\" + suggestions", 5, "κεφαλαιυ");
    // A paragraph pasted into the field (its 32,767 characters): one shortening pass, not one
    // scan of the table per character.
    static const std::string pasted = "tax" + std::string(32764, 'q');
    AddKeystroke("Keystroke pasted 32,767 letters \"taxqq...\" + suggestions", 20, pasted.c_str());
    AddQuickTranslation("QuickTranslate \"«πληθωρισμού»\"", 20, "«πληθωρισμού»");
    AddLookup("FillEntryList CONTAIN \"cost\"", 3, LookupMode::Contain, "cost");
    AddLookup("FillEntryList CONTAIN \"αγορ\"", 3, LookupMode::Contain, "αγορ");
    AddLookup("FillEntryList END \"rate\"", 3, LookupMode::End, "rate");
    AddLookup("FillEntryList END \"ικη\"", 3, LookupMode::End, "ικη");
    AddCriteria("Search_ButtonClick MULTI m / cost / ", 3, "m", "cost", "");
    AddCriteria("Search_ButtonClick MULTI ο / κοστ / ς", 3, "ο", "κοστ", "ς");
    return bench::RunBenchmarks(argc, argv);
}
