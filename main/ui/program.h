// The program's start: the application's title and the forms, created in their order (the main
// window first, then the hidden and modal ones), all but the main window hidden.
#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <filesystem>
#include <memory>

namespace termdex {

class TMainLex;
class TInsertEntryFrm;
class TDummyFrm;
class TMessageForm;
class TSearchForm;
class TSelectCustomDirForm;
class TCopyrightForm;
class TFigForm;

struct ProgramForms
{
    ProgramForms();
    ~ProgramForms();
    ProgramForms(ProgramForms &&) noexcept;

    std::unique_ptr<TMainLex> mainLex;
    std::unique_ptr<TInsertEntryFrm> insertEntryFrm;
    std::unique_ptr<TDummyFrm> dummyFrm;
    std::unique_ptr<TMessageForm> messageForm;
    std::unique_ptr<TSearchForm> searchForm;
    std::unique_ptr<TSelectCustomDirForm> selectCustomDirForm;
    std::unique_ptr<TCopyrightForm> copyrightForm;
    std::unique_ptr<TFigForm> figForm;
    QStringList creationOrder; // the forms' object names, as they were created
};

// Sets the application's title and creates the forms; the caller shows the main window.
ProgramForms CreateProgramForms(PlatformServices services,
                                const std::filesystem::path &programFolder);

// The program: the folder of the executable holds the data and becomes the current folder.
int RunTermdex(int argc, char **argv);

} // namespace termdex
