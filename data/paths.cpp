#include "data/paths.h"

#include "lib/files.h"
#include "lib/settings.h"

namespace termdex {
namespace fs = std::filesystem;

fs::path ProgramFile(const fs::path &programFolder, const fs::path &relative)
{
    return ResolvePathCase(programFolder / relative);
}

fs::path ProgramPaths::ShippedEnglishIndex() const
{
    return ProgramFile(programFolder, "data/TermdexI.tbo");
}

fs::path ProgramPaths::ShippedGreekIndex() const
{
    return ProgramFile(programFolder, "data/TermdexHI.tbo");
}

fs::path ProgramPaths::DescriptionFile() const
{
    return ProgramFile(programFolder, "data/Termdex.tbo");
}

fs::path ProgramPaths::ContentFolder() const { return ProgramFile(programFolder, "content"); }

void SetCustomPaths(ProgramPaths &paths, const std::string &folder)
{
    if (folder.empty()) {
        paths.customDescriptionPath.clear();
        paths.customIndexPath.clear();
        paths.customGreekIndexPath.clear();
        paths.tempDescriptionPath.clear();
        paths.tempIndexPath.clear();
        paths.tempGreekIndexPath.clear();
        return;
    }
    const fs::path data = ResolvePathCase(fs::path(folder) / "Data");
    paths.customDescriptionPath = (data / "TermdexC.tbo").string();
    paths.customIndexPath = (data / "TermdexIC.tbo").string();
    paths.customGreekIndexPath = (data / "TermdexHIC.tbo").string();
    paths.tempDescriptionPath = (data / "templex.tbo").string();
    paths.tempIndexPath = (data / "tempi.tbo").string();
    paths.tempGreekIndexPath = (data / "tempigr.tbo").string();
}

ProgramPaths StartupPaths(const fs::path &programFolder)
{
    ProgramPaths paths;
    paths.programFolder = programFolder;
    if (FileExists(ProgramFile(programFolder, "Data/TermdexC.tbo"))) {
        SetCustomPaths(paths, programFolder.string());
        return paths;
    }
    if (const auto settings = FindSettingsFile()) {
        paths.settingsFilePath = settings->string();
        SetCustomPaths(paths, ReadSettingsLine(*settings));
    }
    return paths;
}

} // namespace termdex
