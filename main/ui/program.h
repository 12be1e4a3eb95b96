// The program's start: the application's title and the forms, created in their order (the main
// window, then the hidden TDummyFrm). Every other window is built by the command that shows it.
#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <filesystem>
#include <memory>

namespace termdex {

class TMainLex;
class TDummyFrm;

struct ProgramForms
{
    ProgramForms();
    ~ProgramForms();
    ProgramForms(ProgramForms &&) noexcept;

    std::unique_ptr<TMainLex> mainLex;
    std::unique_ptr<TDummyFrm> dummyFrm;
    QStringList creationOrder; // the forms' object names, as they were created
};

// Sets the application's title and creates the forms; the caller shows the main window.
ProgramForms CreateProgramForms(PlatformServices services,
                                const std::filesystem::path &programFolder);

// The program: the folder given with --program-folder, else the folder of the executable, holds
// the data and becomes the current folder.
// user: the user's folders, which main reads from the environment.
int RunTermdex(int argc, char **argv, const UserFolders &user);

} // namespace termdex
