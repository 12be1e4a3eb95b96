// The program-wide paths: the program folder with the shipped data, and the reader's six files.
#pragma once

#include "lib/user_folders.h"

#include <filesystem>
#include <string>

namespace termdex {

struct ProgramPaths
{
    std::filesystem::path programFolder; // holds data/ and content/
    UserFolders user; // where settings, the reader's folder and snapshots are looked for
    // The name an imported dictionary keeps its settings and reader's folder under (see
    // DictionaryName); empty for the shipped dictionary, which keeps Termdex.ini.
    std::string dictionaryName;
    std::string settingsFilePath; // the settings file found or written; empty for none
    // The reader's files in <custom folder>/Data; all empty while no custom folder is known.
    std::string customDescriptionPath;
    std::string customIndexPath;
    std::string customGreekIndexPath;
    std::string tempDescriptionPath;
    std::string tempIndexPath;
    std::string tempGreekIndexPath;

    std::filesystem::path ShippedEnglishIndex() const; // data/TermdexI.tbo
    std::filesystem::path ShippedGreekIndex() const;   // data/TermdexHI.tbo
    std::filesystem::path DescriptionFile() const;     // data/Termdex.tbo
    std::filesystem::path ContentFolder() const;       // content/
    bool HasCustomFolder() const { return !customIndexPath.empty(); }
};

// The program folder of a program file in executableFolder: that folder when it holds data/ (a
// build folder, a copy made by the installer), else PREFIX/share/termdex for a program installed
// in PREFIX/bin (the system layout of a package), else executableFolder.
std::filesystem::path LocateProgramFolder(const std::filesystem::path &executableFolder);

// True for a program folder of the system layout (PREFIX/share/termdex beside PREFIX/bin/termdex):
// its data are read-only and were installed by the package manager, not by the installer.
bool IsSystemProgramFolder(const std::filesystem::path &programFolder);

// A path inside the program folder, each component matched regardless of letter case.
std::filesystem::path ProgramFile(const std::filesystem::path &programFolder,
                                  const std::filesystem::path &relative);

// What `termdex-cli import` leaves in a program folder it wrote: "name=NAME" (from --name, when
// given), "title=" (the name its launcher shows), "format=" and "source=" lines.
inline constexpr const char kImportMarkerFile[] = "content/imported-from.txt";

// Whether name may name a dictionary's settings file and reader's folder: 1 to 64 bytes, no
// slash, backslash or control character, not starting with a dot, and not "Data" in any letter
// case (the shipped dictionary's reader's files live in a folder of that name beside them).
bool IsDictionaryName(const std::string &name);

// The dictionary name of a program folder: empty when the folder holds no import marker (the
// shipped dictionary, or any folder built from an authoring text); else the marker's name when
// it is a valid one; else, for an import made without a name, "<folder>-<16 hex digits>" from
// the folder's own name and a hash of its absolute path, so each such folder keeps its own.
std::string DictionaryName(const std::filesystem::path &programFolder);

// A dictionary's title as windows and launchers show it: control characters as blanks, cut to
// 80 bytes at a character's start.
std::string ShownTitle(std::string title);

// The title a window on this program folder shows after "Termdex — ": the import's title (its
// name in an older import), as ShownTitle gives it; empty for the shipped dictionary.
std::string DictionaryTitle(const std::filesystem::path &programFolder);

// Sets the six custom paths to folder/Data/<name> ("Data" in whatever case exists); an empty
// folder empties them.
void SetCustomPaths(ProgramPaths &paths, const std::string &folder);

// The custom folder from the start-up rule: the program folder itself when its Data folder holds
// TermdexC.tbo, else the settings file's line (settingsFilePath is set when the file exists).
// dictionaryName is set from the folder, so an imported dictionary reads its own settings file.
ProgramPaths StartupPaths(const std::filesystem::path &programFolder, const UserFolders &user);

} // namespace termdex
