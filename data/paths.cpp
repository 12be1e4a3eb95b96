#include "data/paths.h"

#include "lib/files.h"
#include "lib/settings.h"

#include <cstdint>
#include <cstdio>

namespace termdex {
namespace fs = std::filesystem;

namespace {

// Cuts text to at most limit bytes, never in the middle of a UTF-8 character.
void CutAtCharacter(std::string &text, size_t limit)
{
    if (text.size() <= limit)
        return;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
}

} // namespace

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

bool IsDictionaryName(const std::string &name)
{
    if (name.empty() || name.size() > 64 || name.front() == '.')
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\')
            return false;
    }
    std::string lower = name;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower != "data";
}

std::string DictionaryName(const fs::path &programFolder)
{
    const fs::path marker = ProgramFile(programFolder, kImportMarkerFile);
    if (!FileExists(marker))
        return {};
    if (const auto text = ReadWholeFile(marker, 64 * 1024)) {
        for (const std::string &line : SplitLines(*text))
            if (line.rfind("name=", 0) == 0 && IsDictionaryName(line.substr(5)))
                return line.substr(5);
    }
    // FNV-1a: stable across runs and builds, which std::hash is not promised to be.
    std::error_code ec;
    fs::path absolute = fs::weakly_canonical(fs::absolute(programFolder, ec), ec);
    if (absolute.empty())
        absolute = programFolder.lexically_normal();
    if (!absolute.has_filename())
        absolute = absolute.parent_path();
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : absolute.string())
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    std::string stem = absolute.filename().string();
    CutAtCharacter(stem, 40);
    if (stem.empty() || !IsDictionaryName(stem + "-"))
        stem = "imported";
    return stem + "-" + digits;
}

std::string ShownTitle(std::string title)
{
    for (char &c : title)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    CutAtCharacter(title, 80);
    return title;
}

std::string DictionaryTitle(const fs::path &programFolder)
{
    const fs::path marker = ProgramFile(programFolder, kImportMarkerFile);
    const auto text = FileExists(marker) ? ReadWholeFile(marker, 64 * 1024) : std::nullopt;
    if (!text)
        return {};
    std::string title, name;
    for (const std::string &line : SplitLines(*text)) {
        if (line.rfind("title=", 0) == 0 && title.empty())
            title = line.substr(6);
        else if (line.rfind("name=", 0) == 0 && name.empty())
            name = line.substr(5);
    }
    return ShownTitle(title.empty() ? name : title); // the file is anyone's to edit
}

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

ProgramPaths StartupPaths(const fs::path &programFolder, const UserFolders &user)
{
    ProgramPaths paths;
    paths.programFolder = programFolder;
    paths.user = user;
    if (FileExists(ProgramFile(programFolder, "Data/TermdexC.tbo"))) {
        SetCustomPaths(paths, programFolder.string());
        return paths;
    }
    paths.dictionaryName = DictionaryName(programFolder);
    if (const auto settings = FindSettingsFile(user, paths.dictionaryName)) {
        paths.settingsFilePath = settings->string();
        SetCustomPaths(paths, ReadSettingsLine(*settings));
    }
    return paths;
}

} // namespace termdex
