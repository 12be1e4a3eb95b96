#include "main/ui/program.h"

#include "dialogs/dummy_frm.h"
#include "main/ui/main_lex_window.h"
#include "main/ui/pictures.h"
#include "main/ui/qt_greek.h"

#include "data/paths.h"
#include "lib/version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

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

int RunTermdex(int argc, char **argv)
{
    // Answered before the application object exists, so they need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("termdex %s\n", TermdexVersion());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: termdex [--version] [--help] [Qt options]\n"
                        "Termdex, the dictionary of economics terms, in its window.\n"
                        "termdex-cli gives the same dictionary in a terminal.\n");
            return 0;
        }
    }
    ChoosePlatformPlugin();
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromUtf8(TermdexVersion()));
    const std::filesystem::path programFolder = LocateProgramFolder(
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
    SystemPlatform platform;
    ProgramForms forms = CreateProgramForms(platform.Services(), programFolder);
    forms.mainLex->show();
    const int status = application.exec();
    // The hidden form goes first, as it came after the main window.
    forms.dummyFrm.reset();
    forms.mainLex.reset();
    return status;
}

} // namespace termdex
