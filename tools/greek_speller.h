// The Greek spelling dictionary of the system (Debian's hunspell-el), for the content check.
#pragma once

#include "tools/content_check.h"

#include <filesystem>

namespace termdex {

// A speller over el_GR.aff and el_GR.dic in the folder, or an empty one when they are missing
// or unreadable, so the check simply reports no unknown words.
GreekSpeller GreekSpellerOrNone(const std::filesystem::path &folder = "/usr/share/hunspell");

} // namespace termdex
