// The tables menu, help and the presentation, the shipped documents in the desktop's program
// or the program's own window, and the about window, on the demo dictionary.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "dialogs/copyright_form.h"
#include "dialogs/fig_form.h"
#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"
#include "main/print_document.h"
#include "main/ui/document_window.h"
#include "main/ui/print_support.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>

#include <fstream>

namespace termdex {

namespace fs = std::filesystem;
using testing::AnswerDialog;
using testing::BareProgramFolder;
using testing::Click;
using testing::SaveArtefact;
using testing::Utf;
using testing::WindowUnderTest;

namespace {

// The problem message that act shows: its text, or empty when none came; it is closed.
QString ProblemMessageOf(const std::function<void()> &act)
{
    QString text;
    AnswerDialog(act, [&text](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        if (box != nullptr && box->windowTitle() == Utf("Πρόβλημα") &&
            box->icon() == QMessageBox::Warning && box->buttons().size() == 1)
            text = box->text();
        else
            text = QStringLiteral("<not the problem message>");
        dialog->accept();
    });
    return text;
}

// The colours the shown document's links are drawn in.
QList<QColor> LinkColours(const QTextDocument &document)
{
    QList<QColor> colours;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto part = block.begin(); !part.atEnd(); ++part)
            if (part.fragment().charFormat().isAnchor())
                colours << part.fragment().charFormat().foreground().color();
    return colours;
}

} // namespace

class DocumentsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

    // ---- Tables, help, presentation ----

    void documentCommandsOpenTheShippedFiles()
    {
        WindowUnderTest w;
        const std::filesystem::path content = testing::BuildFolder() / "content";
        Click(w.Find("Help_Button"));
        auto *menu = w.Find<QMenu>("PinakesMenu");
        QStringList captions;
        for (QAction *action : menu->actions())
            captions << action->objectName() + QLatin1Char('=') + action->text();
        QCOMPARE(captions,
                 (QStringList{Utf("PrefaceMenu=Πρόλογος"), Utf("AbbreviationsMenu=Συντομογραφίες"),
                              Utf("BibliographyMenu=Βιβλιογραφία")}));
        for (QAction *action : menu->actions())
            action->trigger();
        QCOMPARE(w.fake.shell.opened,
                 (std::vector<std::string>{
                     (content / "Termdex.htm").string(), (content / "Preface.htm").string(),
                     (content / "PinAbbrev.htm").string(), (content / "Biblio.htm").string()}));

        // A press dragged off the label and released beside it is no click.
        QTest::mousePress(w.Find("Vorantis_Label"), Qt::LeftButton);
        QTest::mouseRelease(w.Find("Vorantis_Label"), Qt::LeftButton, {}, QPoint(-4, -4));
        Click(w.Find("Vorantis_Label"));
        Click(w.Find("VorantisImage"));
        std::string folder = testing::BuildFolder().string();
        if (!folder.ends_with('/'))
            folder += '/';
        const std::vector<std::string> call{(content / "VorantisPres").string(),
                                            "\"" + folder + "\""};
        QCOMPARE(w.fake.shell.started, (std::vector<std::vector<std::string>>{call, call}));
    }

    void tablesMenuPopsUpBelowItsButton()
    {
        WindowUnderTest w;
        QWidget *button = w.Find("Pinakes_Button");
        Click(button);
        auto *menu = w.Find<QMenu>("PinakesMenu");
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), QPoint(w.window->x() + button->x() + 4,
                                     w.window->y() + button->y() + button->height() + 22));
        menu->hide();
    }

    void missingFilesGiveEachCommandsMessage()
    {
        BareProgramFolder bare;
        WindowUnderTest w(bare.Folder());
        auto *menu = w.Find<QMenu>("PinakesMenu");
        auto action = [menu](const char *name) {
            return menu->findChild<QAction *>(QLatin1String(name));
        };
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("Help_Button")); }),
                 Utf("Το αρχείο βοήθειας δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { action("PrefaceMenu")->trigger(); }),
                 Utf("Το αρχείο προλόγου δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { action("AbbreviationsMenu")->trigger(); }),
                 Utf("Ο Πίνακας Συντομογραφιών δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { action("BibliographyMenu")->trigger(); }),
                 Utf("Το αρχείο βιβλιογραφίας δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("Vorantis_Label")); }),
                 Utf("Το πρόγραμμα της παρουσίασης δε βρέθηκε"));
        QVERIFY(w.fake.shell.opened.empty());
        QVERIFY(w.fake.shell.started.empty());
    }

    void documentsWithoutADesktopProgramShowInTheProgramsOwnWindow()
    {
        // A dark desktop's light link colour, which must not reach the white page.
        const QPalette system = QApplication::palette();
        QPalette dark = system;
        dark.setColor(QPalette::Link, QColor(29, 153, 243));
        QApplication::setPalette(dark);
        auto restore = qScopeGuard([&system] { QApplication::setPalette(system); });
        WindowUnderTest w(testing::BuildFolder(),
                          [](FakePlatform &fake) { fake.shell.succeeds = false; });
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("Help_Button")); }), QString());
        auto shownDocuments = [&] {
            QList<TDocumentWindow *> shown;
            for (auto *window : w.window->findChildren<TDocumentWindow *>())
                if (window->isVisible())
                    shown << window;
            return shown;
        };
        QCOMPARE(shownDocuments().size(), 1);
        TDocumentWindow *help = shownDocuments().front();
        QTextBrowser *browser = help->Browser();
        QCOMPARE(help->windowTitle(), Utf("Termdex – Βοήθεια"));
        QVERIFY(browser->toPlainText().contains(Utf("Το Termdex είναι λεξικό")));
        // Asking again raises the same window.
        Click(w.Find("Help_Button"));
        QCOMPARE(shownDocuments(), QList<TDocumentWindow *>{help});
        SaveArtefact(help->grab(), "document-window.png");

        // A place in the document, another document, and addresses the desktop must open.
        help->FollowLink(QUrl(QStringLiteral("#print")));
        QVERIFY(browser->verticalScrollBar()->value() > 0);
        help->FollowLink(QUrl(QStringLiteral("Biblio.htm")));
        QCOMPARE(help->windowTitle(), Utf("Termdex – Βιβλιογραφία"));
        const QList<QColor> links = LinkColours(*browser->document());
        QVERIFY(!links.isEmpty());
        for (const QColor &link : links)
            QVERIFY(testing::Contrast(link, browser->palette().color(QPalette::Base)) >= 4.5);
        help->FollowLink(QUrl(QStringLiteral("Missing.htm")));
        QCOMPARE(help->windowTitle(), Utf("Termdex – Βιβλιογραφία"));
        QCOMPARE(ProblemMessageOf([&] {
                     help->FollowLink(QUrl(QStringLiteral("https://www.vorantis.example/")));
                 }),
                 Utf("Δεν είναι δυνατή η ενεργοποίηση του προγράμματος περιήγησης στο διαδίκτυο"));
        QCOMPARE(w.fake.shell.opened.back(), std::string("https://www.vorantis.example/"));

        // The other three documents each get their window.
        for (QAction *action : w.Find<QMenu>("PinakesMenu")->actions())
            action->trigger();
        QStringList titles;
        for (TDocumentWindow *window : shownDocuments())
            titles << window->windowTitle();
        titles.sort();
        QCOMPARE(titles,
                 (QStringList{Utf("Termdex – Βιβλιογραφία"), Utf("Termdex – Βιβλιογραφία"),
                              Utf("Termdex – Πίνακας Συντομογραφιών"), Utf("Termdex – Πρόλογος")}));
    }

    void failuresThatShowOnlyOnceTheDesktopRanAreAnsweredToo()
    {
        WindowUnderTest w;
        Click(w.Find("Help_Button"));
        QVERIFY(w.window->findChildren<TDocumentWindow *>().isEmpty());
        w.fake.shell.FailLater(); // the desktop had no program for it
        QCOMPARE(w.window->findChildren<TDocumentWindow *>().size(), 1);

        // The presentation: not started at all, or started and failed (no xdg-open).
        Click(w.Find("Vorantis_Label"));
        QCOMPARE(ProblemMessageOf([&] { w.fake.shell.FailLater(); }),
                 Utf("Το πρόγραμμα της παρουσίασης δε βρέθηκε"));
        w.fake.shell.succeeds = false;
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("VorantisImage")); }),
                 Utf("Το πρόγραμμα της παρουσίασης δε βρέθηκε"));

        // A failure that comes after the window is gone reaches nobody.
        w.fake.shell.succeeds = true;
        Click(w.Find("Vorantis_Label"));
        FakePlatform &fake = w.fake;
        w.window.reset();
        fake.shell.FailLater();
    }

    // ---- The about window ----

    void aboutWindowShowsTheRightsTextAndItsLinks()
    {
        WindowUnderTest w(testing::BuildFolder(),
                          [](FakePlatform &fake) { fake.shell.succeeds = false; });
        QString rights, siteMessage, mailMessage;
        QVERIFY(AnswerDialog(
            [&] { Click(w.Find("CopyrightLabel")); },
            [&](QDialog *dialog) {
                auto *about = qobject_cast<TCopyrightForm *>(dialog);
                QVERIFY(about != nullptr);
                QCOMPARE(about->windowTitle(), QStringLiteral("Termdex"));
                QCOMPARE(about->size(), QSize(255, 288));
                auto *text = about->findChild<QTextEdit *>(QStringLiteral("CopyrightRTF"));
                QCOMPARE(text->geometry(), QRect(8, 80, 241, 161));
                QVERIFY(text->isReadOnly());
                about->FormActivate();
                rights = text->toPlainText();
                auto *site = about->findChild<QLabel *>(QStringLiteral("SiteLabel"));
                auto *mail = about->findChild<QLabel *>(QStringLiteral("MailLabel"));
                siteMessage = ProblemMessageOf([&] { Click(site); });
                mailMessage = ProblemMessageOf([&] { Click(mail); });
                // Escape closes it (the OK button is also the cancel button).
                QTest::keyClick(about, Qt::Key_Escape);
            }));
        QVERIFY(rights.contains(QStringLiteral("Copyright")));
        QVERIFY(rights.contains(Utf("ΕΚΔΟΣΕΙΣ ΒΟΡΑΝΤΗ")));
        QCOMPARE(siteMessage,
                 Utf("Δεν είναι δυνατή η ενεργοποίηση του προγράμματος περιήγησης στο διαδίκτυο"));
        QCOMPARE(mailMessage,
                 Utf("Δεν είναι δυνατή η ενεργοποίηση του προγράμματος διαχείρισης email"));
        QCOMPARE(w.fake.shell.opened, (std::vector<std::string>{"https://www.vorantis.example/",
                                                                "mailto:info@vorantis.example"}));
        QTRY_VERIFY(Entry(w)->hasFocus());
    }

    void aboutWindowReloadsItsTextAtEveryActivation()
    {
        BareProgramFolder bare;
        WindowUnderTest w(bare.Folder());
        bare.Write("content/copyright.rtf", "{\\rtf1\\ansi first text\\par}");
        QVERIFY(AnswerDialog(
            [&] { w.window->CopyrightLabelClick(); },
            [&](QDialog *dialog) {
                auto *about = qobject_cast<TCopyrightForm *>(dialog);
                auto *text = about->findChild<QTextEdit *>(QStringLiteral("CopyrightRTF"));
                QEvent activate(QEvent::WindowActivate);
                QCoreApplication::sendEvent(about, &activate);
                QCOMPARE(text->toPlainText().trimmed(), QStringLiteral("first text"));
                bare.Write("content/copyright.rtf", "{\\rtf1\\ansi second text\\par}");
                QCoreApplication::sendEvent(about, &activate);
                QCOMPARE(text->toPlainText().trimmed(), QStringLiteral("second text"));
                // A text that is gone or not rich text leaves the last one.
                bare.Write("content/copyright.rtf", "plain");
                QCoreApplication::sendEvent(about, &activate);
                QCOMPARE(text->toPlainText().trimmed(), QStringLiteral("second text"));
                QTest::keyClick(about, Qt::Key_Return);
            }));

        // Without the file the text area stays empty.
        std::filesystem::remove(bare.Folder() / "content/copyright.rtf");
        QVERIFY(AnswerDialog([&] { w.window->CopyrightLabelClick(); },
                             [&](QDialog *dialog) {
                                 QEvent activate(QEvent::WindowActivate);
                                 QCoreApplication::sendEvent(dialog, &activate);
                                 QVERIFY(
                                     dialog->findChild<QTextEdit *>(QStringLiteral("CopyrightRTF"))
                                         ->toPlainText()
                                         .isEmpty());
                                 dialog->accept();
                             }));
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::DocumentsWindowTest)
#include "documents_window_test.moc"
