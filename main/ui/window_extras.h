// What the window's extra commands keep: printing, figures, quick translation, and the tables,
// help and about windows. TMainLex owns one WindowExtras; the slots of those commands
// (print_support.cpp, quick_translation_window.cpp, window_documents.cpp) work with it.
#pragma once

#include "main/quick_translation.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QMenu;
class QPrinter;
class QWidget;

namespace termdex {

class ClickFilter;
class SearchStatus;
class TDummyFrm;

// The quick-translation button's hint; on a native Wayland session it adds that another
// program's copies are seen only while the window has the focus.
QString QuickTranslationTooltip(const char *hint);

struct WindowExtras
{
    WindowExtras();
    ~WindowExtras();

    std::unique_ptr<QPrinter> printer;      // made at the first print; stays the current printer
    QPointer<TDummyFrm> dummyFrm;           // the program's hidden form, when it handed one
    std::unique_ptr<TDummyFrm> ownDummyFrm; // made at the first print without one
    QMenu *pinakesMenu = nullptr;
    QMenu *printMenu = nullptr; // print and print preview, the print button's context menu
    SearchStatus *searchStatus = nullptr; // made at the first mirror, over Description_Text
    ClickFilter *clicks = nullptr;
    QuickTranslation quickTranslation;
    // The shipped documents shown by the dictionary itself, one window each (help, preface,
    // abbreviations, bibliography, in ShippedDocument's order).
    std::array<QPointer<QWidget>, 4> documentWindows;
    // The figure that the last selection named, shown once the mouse button is up.
    std::optional<std::filesystem::path> pendingFigure;
};

} // namespace termdex
