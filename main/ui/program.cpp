#include "main/ui/program.h"

#include "dialogs/dummy_frm.h"
#include "dialogs/pictures.h"
#include "main/ui/main_lex_window.h"
#include "main/ui/qt_greek.h"

#include "data/paths.h"
#include "lib/version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace termdex {

ProgramForms::ProgramForms() = default;
ProgramForms::~ProgramForms() = default;
ProgramForms::ProgramForms(ProgramForms &&) noexcept = default;

ProgramForms CreateProgramForms(PlatformServices services,
                                const std::filesystem::path &programFolder)
{
    QCoreApplication::setApplicationName(QStringLiteral("Termdex"));
    // Every window of the program, Qt's own dialogs included, shows the icon and speaks Greek.
    QApplication::setWindowIcon(ProgramIcon());
    UseGreekForQt();
    ProgramForms forms;
    auto created = [&forms](QWidget *form) { forms.creationOrder << form->objectName(); };
    forms.mainLex = std::make_unique<TMainLex>(services, programFolder);
    created(forms.mainLex.get());
    forms.dummyFrm = std::make_unique<TDummyFrm>();
    created(forms.dummyFrm.get());
    forms.mainLex->SetDummyFrm(forms.dummyFrm.get()); // PrintText carries the print document
    return forms;
}

int RunTermdex(int argc, char **argv, const UserFolders &user)
{
    std::optional<std::filesystem::path> givenFolder;
    // Answered before the application object exists, so they need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("termdex %s\n", TermdexVersion());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: termdex [--program-folder DIR] [--version] [--help] [Qt options]\n"
                        "Termdex, the dictionary of economics terms, in its window.\n"
                        "  --program-folder DIR  open the dictionary in DIR (data/ and content/),\n"
                        "                        one that termdex-cli import made, for instance\n"
                        "termdex-cli gives the same dictionary in a terminal.\n");
            return 0;
        }
        const std::string_view arg = argv[i];
        if (arg == "--program-folder" || arg.rfind("--program-folder=", 0) == 0) {
            if (arg == "--program-folder" && i + 1 >= argc) {
                std::fprintf(stderr, "termdex: --program-folder needs a folder\n");
                return 2;
            }
            givenFolder =
                arg == "--program-folder" ? std::string(argv[++i]) : std::string(arg.substr(17));
            std::error_code ec;
            if (givenFolder->empty() || !std::filesystem::is_directory(*givenFolder, ec)) {
                std::fprintf(stderr, "termdex: no such folder: %s\n", givenFolder->c_str());
                return 2;
            }
            // Made absolute now: the window makes the program folder its current folder.
            givenFolder = std::filesystem::absolute(*givenFolder, ec).lexically_normal();
        }
    }
    ChoosePlatformPlugin();
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromUtf8(TermdexVersion()));
    const std::filesystem::path programFolder =
        givenFolder ? *givenFolder
                    : LocateProgramFolder(std::filesystem::path(
                          QCoreApplication::applicationDirPath().toStdString()));
    SystemPlatform platform(user);
    ProgramForms forms = CreateProgramForms(platform.Services(), programFolder);
    forms.mainLex->show();
    const int status = application.exec();
    // The hidden form goes first, as it came after the main window.
    forms.dummyFrm.reset();
    forms.mainLex.reset();
    return status;
}

} // namespace termdex
