#include "data/paths.h"

#include "lib/files.h"
#include "lib/settings.h"

namespace termdex {
namespace fs = std::filesystem;

fs::path ProgramFile(const fs::path &programFolder, const fs::path &relative)
{
    return ResolvePathCase(programFolder / relative);
}

fs::path LocateProgramFolder(const fs::path &executableFolder)
{
    std::error_code ec;
    if (fs::is_directory(ProgramFile(executableFolder, "data"), ec))
        return executableFolder;
    if (executableFolder.filename() == "bin") {
        const fs::path shared = executableFolder.parent_path() / "share" / "termdex";
        if (fs::is_directory(shared / "data", ec))
            return shared;
    }
    return executableFolder;
}

bool IsSystemProgramFolder(const fs::path &programFolder)
{
    const fs::path folder = programFolder.lexically_normal();
    // A trailing separator leaves an empty last component.
    const fs::path named = folder.has_filename() ? folder : folder.parent_path();
    std::error_code ec;
    if (named.filename() != "termdex" || named.parent_path().filename() != "share" ||
        !fs::is_directory(named, ec))
        return false;
    return fs::is_regular_file(named.parent_path().parent_path() / "bin" / "termdex", ec) ||
           fs::is_regular_file(named.parent_path().parent_path() / "bin" / "termdex-cli", ec);
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
