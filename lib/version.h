// The program's version, set once in the top CMakeLists.txt (project VERSION) and read by both
// programs, the about window, the package and the metainfo.
#pragma once

namespace termdex {
const char *TermdexVersion(); // "major.minor.patch"
}
