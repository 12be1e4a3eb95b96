#include "main/figures.h"

#include "data/paths.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "main/main_lex.h"

#include <string_view>

namespace termdex {

namespace {

const Cp1253 &FigureWord()
{
    static const Cp1253 word = Utf8ToCp1253("Σχήμα").text.value_or(Cp1253());
    return word;
}

bool EraseFirst(Cp1253 &text, char c)
{
    const size_t at = text.find(c);
    if (at == Cp1253::npos)
        return false;
    text.erase(at, 1);
    return true;
}

} // namespace

bool IsFigureSelection(Cp1253View selected)
{
    const Cp1253 &word = FigureWord();
    const bool exact = selected == word || selected == word + "1" || selected == word + "2";
    return exact || selected.find("[" + word) != Cp1253View::npos;
}

std::optional<Cp1253> FigureNumber(Cp1253View selected, Cp1253View text, size_t selectionStart,
                                   size_t selectionLength)
{
    if (!IsFigureSelection(selected))
        return std::nullopt;

    Cp1253 s(selected);
    if (s.find(']') == Cp1253::npos && selectionLength > 0) {
        // The last selected character and the three after it; none past the end of the text.
        const size_t from = selectionStart + selectionLength - 1;
        for (size_t i = from; i < from + 4 && i < text.size(); ++i)
            s += text[i];
    }
    if (const size_t bracket = s.rfind(']'); bracket != Cp1253::npos)
        s.resize(bracket + 1);
    if (s.size() >= 2) {
        const char d = s[s.size() - 2];
        if (d >= '1' && d <= '9')
            return Cp1253(1, d);
    }
    return Cp1253();
}

Cp1253 FigureTermName(Cp1253View term)
{
    Cp1253 name(term);
    EraseFirst(name, '/');
    EraseFirst(name, '\'');
    for (int i = 0; i < 10 && EraseFirst(name, ' '); ++i) {
    }
    return name;
}

std::filesystem::path FigureFile(const std::filesystem::path &programFolder, Cp1253View termName,
                                 Cp1253View number)
{
    const Cp1253 name = "Fig_" + Cp1253(termName) + Cp1253(number) + ".bmp";
    return ProgramFile(programFolder, std::filesystem::path("content") / Cp1253ToUtf8(name));
}

std::optional<std::filesystem::path>
Description_TextSelectionChange(const MainLexCore &core, Cp1253View selected, Cp1253View text,
                                size_t selectionStart, size_t selectionLength)
{
    const std::optional<Cp1253> number =
        FigureNumber(selected, text, selectionStart, selectionLength);
    if (!number)
        return std::nullopt;
    const MainLexState &state = core.State();
    const Cp1253 name =
        FigureTermName(state.LanguageMode == Language::Greek ? state.transLabel : state.entryLabel);
    // A name that still holds a slash (or a NUL) names no file in the content folder; it is
    // refused rather than followed into other folders.
    if (name.find('/') != Cp1253::npos || name.find('\0') != Cp1253::npos)
        return std::nullopt;
    const std::filesystem::path file = FigureFile(core.Paths().programFolder, name, *number);
    if (!FileExists(file))
        return std::nullopt;
    return file;
}

} // namespace termdex
