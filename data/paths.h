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
