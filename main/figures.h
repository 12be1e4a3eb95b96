// The figures of the descriptions: a reference in the running text ("[Σχήμα]" or "[Σχήμα3]")
// names a bitmap in the content folder after the entry's English term. Selecting the reference
// in the description opens it. Texts are code page 1253; the description's text and its
// selection are counted alike, one byte per character of the view.
#pragma once

#include "lib/text.h"

#include <cstddef>
#include <filesystem>
#include <optional>

namespace termdex {

class MainLexCore;

// Whether a selection may name a figure: exactly "Σχήμα", "Σχήμα1" or "Σχήμα2", or holding
// "[Σχήμα" anywhere. The common case, every ordinary selection, ends here.
bool IsFigureSelection(Cp1253View selected);

// The figure number that a selection names: nullopt when the selection is no reference (only
// "Σχήμα", "Σχήμα1", "Σχήμα2" and selections holding "[Σχήμα" are); otherwise "" for the entry's
// unnumbered figure or one digit "1".."9". Without a "]" in the selection, the last selected
// character and the three after it (selectionStart and selectionLength 0-based, in text) are
// looked at too.
std::optional<Cp1253> FigureNumber(Cp1253View selected, Cp1253View text, size_t selectionStart,
                                   size_t selectionLength);

// The term as figure files are named: the first "/", then the first "'", then the first ten
// spaces taken out, one at a time.
Cp1253 FigureTermName(Cp1253View term);

// "content/Fig_" + term name + number + ".bmp" inside the program folder (each component matched
// regardless of letter case).
std::filesystem::path FigureFile(const std::filesystem::path &programFolder, Cp1253View termName,
                                 Cp1253View number);

// The handler of a selection change in the description: the figure file to show, nullopt when
// the selection names no figure or the file does not exist. The term is the English one as
// the labels show it (Entry_Label in English mode, Trans_Label in Greek mode).
std::optional<std::filesystem::path>
Description_TextSelectionChange(const MainLexCore &core, Cp1253View selected, Cp1253View text,
                                size_t selectionStart, size_t selectionLength);

} // namespace termdex
