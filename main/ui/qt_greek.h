// Greek for the texts that Qt's own dialogs, buttons and context menus show (the question
// boxes' Yes and No, the edit fields' Undo, Cut, Copy, Paste, the print dialog and its preview).
// Qt ships no Greek catalogue of its own, and the program speaks Greek whatever the locale.
#pragma once

namespace termdex {

// Installs the catalogue on the application once; later calls do nothing.
void UseGreekForQt();

} // namespace termdex
