// The window on the full-size dictionary under the offscreen platform: one character typed into
// Entry_Text with the list and the display brought up to date and painted, and the program's
// first showing (forms created, index loaded, window painted).
#include "bench/bench_support.h"
#include "main/ui/main_lex_window.h"
#include "main/ui/program.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace termdex;

namespace {

struct Window
{
    FakePlatform platform;
    std::unique_ptr<TMainLex> window;
    QLineEdit *entry = nullptr;
};

Window &Shown()
{
    static const std::unique_ptr<Window> shown = [] {
        auto made = std::make_unique<Window>();
        made->window = std::make_unique<TMainLex>(made->platform.Services(),
                                                  bench::DictionaryPaths().programFolder);
        made->window->Core().MutablePaths() = bench::DictionaryPaths();
        made->window->show();
        if (!QTest::qWaitForWindowExposed(made->window.get()) ||
            made->window->Core().Index().englishCount != kMaxRecords) {
            std::fprintf(stderr, "the window did not show the whole dictionary\n");
            std::exit(2);
        }
        made->entry = made->window->findChild<QLineEdit *>(QStringLiteral("Entry_Text"));
        made->entry->setFocus();
        return made;
    }();
    return *shown;
}

// One keystroke, painted: the calls alternate between typing the last character of typed and
// erasing it again, so every call changes the list as a reader's keystroke does.
void AddTyping(const char *name, double target, const QString &typed)
{
    Window &w = Shown();
    w.entry->setText(typed);
    std::fprintf(stderr, "  %s %6zu items, %s\n", bench::Padded(name, 40).c_str(),
                 w.window->Core().State().listItems.size(),
                 w.window->Core().State().descriptionDocument.empty() ? "nothing shown"
                                                                      : "entry shown");
    w.entry->setText(typed.left(typed.size() - 1));
    auto typing = std::make_shared<bool>(true);
    bench::AddTimed(name, target, [&w, typed, typing] {
        w.entry->end(false);
        if (*typing)
            w.entry->insert(typed.right(1));
        else
            QTest::keyClick(w.entry, Qt::Key_Backspace);
        *typing = !*typing;
        w.window->repaint();
    });
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::DictionaryPaths();
    std::fprintf(stderr, "What each keystroke lists on this dictionary:\n");
    AddTyping("Typing \"tax\" (entry shown)", 16, QStringLiteral("tax"));
    AddTyping("Typing \"marginal cost\" (entry shown)", 16, QStringLiteral("marginal cost"));
    AddTyping("Typing \"s\" (thousands of items)", 16, QStringLiteral("s"));
    AddTyping("Typing \"φόρ\"", 16, QString::fromUtf8("φόρ"));
    bench::AddTimed("First showing (forms, index, paint)", 300, [] {
        FakePlatform platform;
        ProgramForms forms =
            CreateProgramForms(platform.Services(), bench::DictionaryPaths().programFolder);
        forms.mainLex->Core().MutablePaths() = bench::DictionaryPaths();
        forms.mainLex->show();
        if (!QTest::qWaitForWindowExposed(forms.mainLex.get()))
            std::fprintf(stderr, "the window was not shown\n");
    });
    return bench::RunBenchmarks(argc, argv);
}
