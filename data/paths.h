// The program-wide paths: the program folder with the shipped data, and the reader's six files.
#pragma once

#include <filesystem>
#include <string>

namespace termdex {

struct ProgramPaths
{
    std::filesystem::path programFolder; // holds data/ and content/
    std::string settingsFilePath;        // the settings file found or written; empty for none
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

// Sets the six custom paths to folder/Data/<name> ("Data" in whatever case exists); an empty
// folder empties them.
void SetCustomPaths(ProgramPaths &paths, const std::string &folder);

// The custom folder from the start-up rule: the program folder itself when its Data folder holds
// TermdexC.tbo, else the settings file's line (settingsFilePath is set when the file exists).
ProgramPaths StartupPaths(const std::filesystem::path &programFolder);

} // namespace termdex
