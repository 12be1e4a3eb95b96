// How the main window looks: the toolbar's hover groups, its layout as it is resized, readable
// colours on a dark palette, and its pictures at every pixel ratio.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/paths.h"
#include "dialogs/copyright_form.h"
#include "dialogs/message_form.h"
#include "dialogs/pictures.h"
#include "dialogs/search_form.h"
#include "dialogs/text_convert.h"
#include "main/ui/headword_list.h"
#include "main/ui/program.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cmath>

namespace termdex {

using testing::Contrast;
using testing::Utf;
using testing::WindowUnderTest;

namespace {

// A dark system palette, as a desktop's dark theme gives it.
QPalette DarkPalette()
{
    QPalette dark(QColor(49, 54, 59), QColor(35, 38, 41));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::BrightText, QPalette::HighlightedText})
        dark.setColor(role, QColor(252, 252, 252));
    dark.setColor(QPalette::Base, QColor(27, 30, 32));
    dark.setColor(QPalette::Highlight, QColor(61, 174, 233));
    return dark;
}

void MoveMouseOver(QWidget *widget, QPoint at = {-1, -1})
{
    QTest::mouseMove(widget, at == QPoint(-1, -1) ? widget->rect().center() : at);
}

// A point of the window's own background in the strip below the description: the labels
// there are as large as the machine's font makes them.
QPoint BottomStripPoint(const WindowUnderTest &w)
{
    const int y = w.window->height() - 3;
    for (int x = 300; x < w.window->width(); ++x)
        if (w.window->childAt(x, y) == nullptr)
            return {x, y};
    return {300, y};
}

} // namespace

class WindowLookTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

    // ---- Toolbar hover ----

    void hoverRaisesOneGroupAtATime()
    {
        WindowUnderTest w;
        for (const HoverGroup &group : ToolbarHoverGroups())
            for (const HoverGroupButton &button : group.buttons)
                QCOMPARE(w.Find(button.name)->geometry(), button.normal);
        QCOMPARE(w.Find("Pin_Button")->geometry(), QRect(520, 11, 25, 22));
        QCOMPARE(w.Find("NextMenu_Button")->width(), 13);

        MoveMouseOver(w.Find("Copy_Button"));
        QCOMPARE(w.Find("Copy_Button")->geometry(), QRect(163, 1, 38, 41));
        // Raised in front: the pixel it shares with Paste_Button is its own.
        QCOMPARE(w.window->childAt(200, 20), w.Find("Copy_Button"));
        MoveMouseOver(w.Find("Paste_Button"));
        QCOMPARE(w.Find("Copy_Button")->geometry(), QRect(164, 2, 36, 39));
        QCOMPARE(w.Find("Paste_Button")->geometry(), QRect(199, 1, 38, 41));

        // A history button and its list button rise together (enabled: there is a way back).
        TypeKeys(w, "tax");
        TypeKeys(w, "ation");
        MoveMouseOver(w.Find("Prev_Button"), {5, 20});
        QCOMPARE(w.Find("Prev_Button")->geometry(), QRect(59, 1, 38, 41));
        QCOMPARE(w.Find("PrevMenu_Button")->geometry(), QRect(97, 1, 15, 41));
        QCOMPARE(w.Find("Paste_Button")->geometry(), QRect(200, 2, 36, 39));
        MoveMouseOver(w.Find("PrevMenu_Button"));
        QCOMPARE(w.Find("Prev_Button")->geometry(), QRect(59, 1, 38, 41));

        // The description reports no movement: the group stays raised ...
        MoveMouseOver(w.Find("Description_Text"));
        QCOMPARE(w.Find("Prev_Button")->y(), 1);
        // ... until the list or the window's background.
        MoveMouseOver(List(w));
        QCOMPARE(w.Find("Prev_Button")->geometry(), QRect(60, 2, 36, 39));
        MoveMouseOver(w.Find("Pin_Button"));
        QCOMPARE(w.Find("Pin_Button")->geometry(), QRect(519, 10, 27, 24));
        QTest::mouseMove(w.window.get(), BottomStripPoint(w));
        QCOMPARE(w.Find("Pin_Button")->geometry(), QRect(520, 11, 25, 22));

        // The routine itself: 1..14 raise, 0 lowers, -1 puts every button in place.
        w.window->HighlightToolbarButton(14);
        QCOMPARE(w.Find("Exit_Button")->geometry(), QRect(546, 1, 47, 41));
        w.window->HighlightToolbarButton(1);
        QCOMPARE(w.Find("Exit_Button")->geometry(), QRect(547, 2, 45, 39));
        QCOMPARE(w.Find("Lang_Button")->geometry(), QRect(3, 1, 51, 41));
        w.window->HighlightToolbarButton(1); // raised already: unchanged
        QCOMPARE(w.Find("Lang_Button")->geometry(), QRect(3, 1, 51, 41));
        w.window->HighlightToolbarButton(0);
        QCOMPARE(w.Find("Lang_Button")->geometry(), QRect(4, 2, 49, 39));
        w.Find("Help_Button")->move(478, 30); // out of both states: left alone by 12 ...
        w.window->HighlightToolbarButton(12);
        QCOMPARE(w.Find("Help_Button")->pos(), QPoint(478, 30));
        w.window->HighlightToolbarButton(-1); // ... but not by -1
        QCOMPARE(w.Find("Help_Button")->geometry(), QRect(478, 2, 38, 39));
    }

    // ---- Resizing ----

    void resizingFollowsTheLayoutRules()
    {
        WindowUnderTest w;
        TypeKeys(w, "tax");
        w.window->resize(800, 500);
        QListView *list = List(w);
        QWidget *description = w.Find("Description_Text");
        // The list shows whole items (2-pixel frame) and the description ends where it ends.
        QCOMPARE((list->height() - 4) % kListItemHeight, 0);
        QVERIFY(list->y() + list->height() > 470);
        QCOMPARE(description->y() + description->height(), list->y() + list->height());
        QCOMPARE(description->x() + description->width(), 800 - 15);
        QCOMPARE(w.Find("Line_Image")->width(), 605 + 196);
        QCOMPARE(w.Find("CopyrightLabel")->y(), 304 + 179);
        QCOMPARE(w.Find("Entry_Label")->width(), description->width());
        QCOMPARE(w.Find("Trans_Label")->geometry(), QRect(241, 75, description->width(), 32));
        // The toolbar stays.
        QCOMPARE(w.Find("Exit_Button")->geometry(), QRect(547, 2, 45, 39));

        // Back to narrow: the banner, when shown, is centred over the description, and clipped
        // to its column once the description is the narrower.
        Entry(w)->clear();
        w.window->resize(700, 300);
        QWidget *banner = w.Find("Medical_Image");
        QCOMPARE(banner->geometry(),
                 QRect(description->x() + (description->width() - 329) / 2, 48, 329, 57));
        w.window->resize(500, 300);
        QCOMPARE(description->x() + description->width(), 500 - 15);
        QCOMPARE(banner->geometry(), QRect(241, 48, description->width(), 57));
    }

    // Every size is laid out from scratch: shrinking and growing back, in cycles or in 2-pixel
    // steps, below the minimum size or beyond half the screen, gives the first layout again.
    void resizingAnySequenceGivesTheSameLayoutAndNothingOverlaps()
    {
        WindowUnderTest w;
        TypeKeys(w, "inflation");
        const QStringList names = {"Panel2",        "Entries_List",   "Description_Text",
                                   "InstallLabel",  "CopyrightLabel", "VorantisImage",
                                   "Vorantis_Label"};
        auto layout = [&] {
            QList<QRect> all;
            for (QWidget *child : w.window->findChildren<QWidget *>())
                if (!child->isWindow())
                    all << child->geometry();
            return all;
        };
        auto checkNoOverlap = [&](QSize size) {
            for (int i = 0; i < names.size(); ++i)
                for (int j = i + 1; j < names.size(); ++j) {
                    const QRect a = w.Find(names[i].toLatin1())->geometry();
                    const QRect b = w.Find(names[j].toLatin1())->geometry();
                    QVERIFY2(a.isEmpty() || b.isEmpty() || !a.intersects(b),
                             qPrintable(QStringLiteral("%1 and %2 at %3x%4")
                                            .arg(names[i], names[j])
                                            .arg(size.width())
                                            .arg(size.height())));
                }
        };
        const QList<QRect> designed = layout();
        const int designListHeight = List(w)->height();
        std::vector<QSize> sizes;
        for (int cycle = 0; cycle < 14; ++cycle)
            sizes.insert(sizes.end(), {QSize(604, 358), QSize(604, 321)});
        for (int h = 321; h <= 361; h += 2)
            sizes.emplace_back(604 + (h - 321), h);
        sizes.insert(sizes.end(), {QSize(900, 620), QSize(1100, 900), QSize(244, 170),
                                   QSize(120, 60), QSize(300, 200), QSize(604, 321)});
        for (const QSize size : sizes) {
            w.window->resize(size);
            checkNoOverlap(size);
            if (QTest::currentTestFailed())
                return;
            if (size == QSize(900, 620)) {
                QVERIFY(List(w)->height() > designListHeight);
                QWidget *description = w.Find("Description_Text");
                QWidget *publisher = w.Find("Vorantis_Label");
                QVERIFY(publisher->y() >= description->y() + description->height());
                QVERIFY(publisher->x() + publisher->width() <= 900 - 4);
                QVERIFY(publisher->y() + publisher->height() <= 620);
            }
        }
        QCOMPARE(layout(), designed);
    }

    void narrowWindowPutsTheEntryIntoTheListTooltip()
    {
        WindowUnderTest w;
        w.window->resize(244, 300);
        QWidget *description = w.Find("Description_Text");
        QCOMPARE(description->width(), 0);
        TypeKeys(w, "tax");
        const QString hint = List(w)->toolTip();
        QVERIFY(hint.startsWith(Utf("Tax [Φόρος]\r\n")));
        QVERIFY(hint.contains(Utf("κράτος")));
        QCOMPARE(List(w)->toolTipDuration(), 10000);
        // Moving over the list keeps that hint.
        MoveMouseOver(List(w)->viewport(), {10, 5});
        QCOMPARE(List(w)->toolTip(), hint);

        // Wide again: an item wider than the list shows itself as the hint, a short one none.
        w.window->resize(604, 321);
        Entry(w)->clear();
        TypeKeys(w, "a");
        MoveMouseOver(List(w)->viewport(), {12, 6});
        QCOMPARE(List(w)->toolTip(), QString());
        w.window->WholeLex_ButtonClick();
        QFont canvas = w.Find("Entry_Label")->font();
        for (int row = 0; row < 13; ++row) {
            const QPoint at(10 + row % 2, row * kListItemHeight + 8);
            MoveMouseOver(List(w)->viewport(), at);
            const QString text = ItemText(w, row);
            const bool wide =
                QFontMetrics(canvas).horizontalAdvance(text) > List(w)->width() ||
                static_cast<EntriesListView *>(List(w))->IsElided(List(w)->model()->index(row, 0));
            QCOMPARE(List(w)->toolTip(), wide ? text : QString());
        }

        // A long item ends in "…" and keeps its whole text in the hint, until the next lookup.
        Entry(w)->clear();
        TypeKeys(w, "london");
        QCOMPARE(List(w)->textElideMode(), Qt::ElideRight);
        QVERIFY(static_cast<EntriesListView *>(List(w))->IsElided(List(w)->model()->index(0, 0)));
        MoveMouseOver(List(w)->viewport(), {10, 6});
        QCOMPARE(List(w)->toolTip(), QStringLiteral("London Interbank Offered Rate (LIBOR)"));
        // (A list whose rows under the pointer are short: a hover that Qt replays after the
        // change may set a hint, but only the new row's, which is none.)
        Entry(w)->setText(QStringLiteral("ta"));
        TypeKeys(w, "x");
        QVERIFY2(List(w)->toolTip().isEmpty(), qPrintable(List(w)->toolTip()));
        // The same list scrolled (the wheel, the scroll bar) puts another item under the
        // pointer: the hint goes too.
        w.window->WholeLex_ButtonClick();
        MoveMouseOver(List(w)->viewport(), {10, 6});
        List(w)->setToolTip(QStringLiteral("the hovered item"));
        List(w)->verticalScrollBar()->setValue(List(w)->verticalScrollBar()->value() + 3);
        QVERIFY2(List(w)->toolTip().isEmpty(), qPrintable(List(w)->toolTip()));
        // So does the narrow window's summary, which ends in no blank line.
        w.window->resize(244, 300);
        Entry(w)->clear();
        TypeKeys(w, "tax");
        QVERIFY(!List(w)->toolTip().endsWith(QLatin1Char('\n')));
        TypeKeys(w, "a");
        QVERIFY(List(w)->toolTip().isEmpty());
    }

    // ---- Colours ----

    // A control with a forced background forces its text and selection colours too, so a dark
    // system palette leaves every text readable (4.5:1 at least).
    void forcedBackgroundsKeepTheirTextReadableOnADarkPalette()
    {
        const QPalette system = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        {
            WindowUnderTest w;
            TInsertEntryFrm editor(w.window.get());
            editor.show();
            QWidget *editorDescription = editor.findChild<QWidget *>("InsertEntry_Descr");
            QWidget *editorHeadword = editor.findChild<QWidget *>("InsertEntry_Text");
            for (QWidget *control :
                 {static_cast<QWidget *>(Entry(w)), w.Find("Entries_List"),
                  w.Find("Description_Text"), editorDescription, editorHeadword}) {
                const QPalette p = control->palette();
                for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                    QVERIFY2(Contrast(p.color(group, QPalette::Text),
                                      p.color(group, QPalette::Base)) >= 4.5,
                             qPrintable(control->objectName()));
                    QVERIFY2(Contrast(p.color(group, QPalette::HighlightedText),
                                      p.color(group, QPalette::Highlight)) >= 4.5,
                             qPrintable(control->objectName()));
                }
            }
            // The about window keeps its light face for its dark texts and links.
            TCopyrightForm about(w.window.get());
            const QPalette face = about.findChild<QWidget *>("CopyrightRTF")->palette();
            QVERIFY(Contrast(Qt::black, face.color(QPalette::Base)) >= 4.5);
            QWidget *site = about.findChild<QWidget *>("SiteLabel");
            QVERIFY(Contrast(site->palette().color(QPalette::WindowText),
                             site->palette().color(QPalette::Window)) >= 4.5);
            // The design's white field and list stay white.
            QCOMPARE(Entry(w)->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(List(w)->palette().color(QPalette::Base), QColor(Qt::white));
            editor.close();
        }
        QApplication::setPalette(system);
    }

    // Every caption on the window's blue (headword, rendering, the bottom bar) is drawn on a
    // background it reads on at 4.5:1 or better, as the pixels on screen show it.
    void captionsOnTheWindowColourReadAtFourAndAHalf()
    {
        WindowUnderTest w;
        // The banner's white title and yellow subtitle, before any entry is shown.
        QWidget *banner = w.Find("Medical_Image");
        QVERIFY(banner->isVisible());
        const QImage blank = w.window->grab().toImage();
        const QPoint plate = banner->mapTo(w.window.get(), QPoint(banner->width() - 6, 28));
        for (const QColor text : {QColor(Qt::white), QColor(0xFF, 0xFF, 0xA3)})
            QVERIFY(Contrast(text, blank.pixelColor(plate * blank.devicePixelRatio())) >= 4.5);
        TypeKeys(w, "Inflation");
        QVERIFY(!LabelText(w, "Trans_Label").isEmpty());
        const QImage shot = w.window->grab().toImage();
        for (const char *name :
             {"Entry_Label", "Trans_Label", "InstallLabel", "CopyrightLabel", "Vorantis_Label"}) {
            const auto *label = w.Find<QLabel>(name);
            if (label->isHidden())
                continue;
            const QPoint corner =
                label->mapTo(w.window.get(), QPoint(1, 1)) * shot.devicePixelRatio();
            const QColor ground = shot.pixelColor(corner);
            QVERIFY2(Contrast(label->palette().color(QPalette::WindowText), ground) >= 4.5, name);
        }
        // The window keeps its own colour around them.
        QCOMPARE(shot.pixelColor(QPoint(237, 70) * shot.devicePixelRatio()), QColor(0, 128, 255));
    }

    // ---- Pictures ----

    void picturesAreDrawnAtEveryPixelRatio()
    {
        for (const char *name : {"auto_translate", "banner",         "cancel_auto_translate",
                                 "copy",           "custom_entries", "descr_search",
                                 "exit",           "help",           "lang_en",
                                 "lang_gr",        "menu_down",      "message_form",
                                 "next",           "paste",          "pin",
                                 "pinakes",        "prev",           "print",
                                 "search",         "search_form",    "vorantis"}) {
            const QString resource =
                QStringLiteral(":/termdex/pictures/%1.svg").arg(QLatin1String(name));
            QVERIFY2(IsValidSvg(resource), name);
            for (qreal ratio : {1.0, 2.0}) {
                QImage image(QSize(40, 40) * ratio, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(ratio);
                image.fill(Qt::transparent);
                QPainter painter(&image);
                PaintSvg(painter, resource, QRectF(0, 0, 40, 40));
                painter.end();
                int drawn = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        drawn += qAlpha(image.pixel(x, y)) > 0;
                QVERIFY2(drawn > 20 * ratio * ratio, name);
            }
        }
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::WindowLookTest)
#include "window_look_test.moc"
