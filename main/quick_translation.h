// Quick translation: while it is on, text that another program copies is looked up at once and
// the window comes back; switching to another program minimises the window. The clipboard
// tells every watcher of a change, so there is no chain of viewers to keep: watching starts
// when the mode is turned on and stops when it is turned off or the window goes.
#pragma once

#include <string>
#include <string_view>

namespace termdex {

// The texts that show the mode; UTF-8. The glyph is CancelAutoTrImage's while the mode is on,
// AutoTrImage's while it is off.
struct QuickTranslationLook
{
    const char *applicationTitle;
    const char *caption; // the main window's
    const char *hint;    // AutoTranslate_Button's
    bool cancelGlyph;
};

// The mode and its decisions; QuickTranslationOn starts cleared at every start.
class QuickTranslation
{
public:
    bool QuickTranslationOn() const { return m_on; }
    static const QuickTranslationLook &Look(bool on);
    // Flips the mode; the clipboard is left as it is. Returns the new mode's look.
    const QuickTranslationLook &AutoTranslate_ButtonClick();
    // A clipboard change: true when its text is to go into the entry field, that is when the
    // mode is on, the clipboard holds text and the change is not the program's own copy.
    bool WMDrawClipboard(bool clipboardHasText, bool ownClipboardWrite) const;
    // The application lost the activation: true when the window is to be minimised.
    bool AppDeactivate() const { return m_on; }

private:
    bool m_on = false;
};

// Clipboard text as the single-line entry field takes it: up to its first CR or LF.
std::string SingleLinePaste(std::string_view text);

// Copied text as the reader meant it (code page 1253): without the blanks, punctuation and
// quotation marks ("inflation." , «φόρος») around it. A bracket stays when its partner is in the
// text, so "(the) economy" keeps its parenthesis.
std::string TrimPastedText(std::string_view text);

} // namespace termdex
