// End-to-end under Xvfb with the real platform: the X keyboard, the X clipboard shared with
// xclip, keys typed by xdotool into the focused window. Run by xvfb-run (see CMakeLists.txt).
#include "platform/keyboard_xkb.h"
#include "tests/gui/other_program.h"
#include "tests/gui/real_program.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cstdlib>
#include <filesystem>

namespace termdex {

namespace {

using testing::LabelText;
using testing::Run;

} // namespace

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing::StartWindowTests(m_home);
        m_program.Start();
        if (QTest::currentTestFailed())
            return;
        m_window = m_program.window;
        m_entry = m_program.entry;
        m_entry->setFocus();
    }

    void cleanupTestCase() { m_program.Stop(); }

    // Xvfb offers one English keyboard group: it is found as the English layout, and there is
    // no Greek one.
    void theXKeyboardHasOneEnglishGroup()
    {
        auto keyboard = SystemKeyboardLayouts();
        QCOMPARE(keyboard->InstalledLayouts().size(), size_t(1));
        QVERIFY(keyboard->Activate(1));
        QCOMPARE(keyboard->ActiveLanguageName(), std::string("English"));
        QCOMPARE(m_window->Core().State().keyboards.englishLayout, LayoutHandle(1));
        QCOMPARE(m_window->Core().State().keyboards.greekLayout, LayoutHandle(0));
    }

    void keysTypedIntoTheWindowShowTheEntry()
    {
        const QString window = QString::number(m_window->winId());
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        QTRY_VERIFY(m_window->isActiveWindow());
        m_entry->setFocus();
        Run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                        QStringLiteral("30"), QStringLiteral("Inflation")});
        QTRY_COMPARE(m_entry->text(), QStringLiteral("Inflation"));
        QTRY_COMPARE(LabelText(m_window, "Entry_Label"), QStringLiteral("Inflation"));
        QVERIFY(!LabelText(m_window, "Trans_Label").isEmpty());
        QVERIFY(!m_window->findChild<QTextEdit *>(QStringLiteral("Description_Text"))
                     ->toPlainText()
                     .isEmpty());

        // What the reader sees, kept beside the build as an artefact once two grabs agree.
        QPixmap shot;
        QImage previous;
        QTRY_VERIFY([&] {
            shot = m_window->screen()->grabWindow(m_window->winId());
            const QImage now = shot.toImage();
            const bool settled = !now.isNull() && now == previous;
            previous = now;
            return settled;
        }());
        QVERIFY(!shot.isNull());
        QCOMPARE(shot.size(), m_window->size());
        testing::SaveArtefact(shot, "termdex-window.png");
    }

    void theWindowsCopyReachesOtherPrograms()
    {
        // The selected headword, as plain text.
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("Copy_Button")),
                          Qt::LeftButton);
        QCOMPARE(Run(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                               QStringLiteral("clipboard")}),
                 QByteArray("Inflation"));

        // The whole description, with its formatting.
        m_window->findChild<QTextEdit *>(QStringLiteral("Description_Text"))->setFocus();
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("Copy_Button")),
                          Qt::LeftButton);
        const QByteArray targets =
            Run(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                 QStringLiteral("-t"), QStringLiteral("TARGETS")});
        QVERIFY2(targets.contains("text/rtf") && targets.contains("text/html"),
                 targets.constData());
        const QByteArray rtf =
            Run(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                 QStringLiteral("-t"), QStringLiteral("text/rtf")});
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1253"));
        QVERIFY(rtf.contains("\\fcharset161"));
    }

    void textCopiedByAnotherProgramIsSeenAndPasted()
    {
        int notices = 0;
        m_program.platform->Services().clipboard->SetChangedHandler([&notices] { ++notices; });
        // xclip keeps the selection in a child process until another program takes it.
        Run(QStringLiteral("xclip"),
            {QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard")},
            "Arbitrage");
        QTRY_VERIFY(notices >= 1);
        QTRY_COMPARE(m_program.platform->Services().clipboard->Text(), std::string("Arbitrage"));
        m_program.platform->Services().clipboard->SetChangedHandler({});
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("Paste_Button")),
                          Qt::LeftButton);
        QCOMPARE(m_entry->text(), QStringLiteral("Arbitrage"));
        QCOMPARE(LabelText(m_window, "Entry_Label"), QStringLiteral("Arbitrage"));
    }

    // Without a Greek group the field itself types Greek in Greek mode.
    void greekIsTypedOnTheEnglishKeyboard()
    {
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("Lang_Button")),
                          Qt::LeftButton);
        QVERIFY(m_window->Core().State().LanguageMode == Language::Greek);
        QTRY_VERIFY(m_entry->hasFocus());
        Run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                        QStringLiteral("30"), QStringLiteral("f;orow")});
        QTRY_COMPARE(m_entry->text(), QString::fromUtf8("φόρος"));
        QVERIFY(m_window->Core().State().LanguageMode == Language::Greek);
        QVERIFY(
            m_window->findChild<QListView *>(QStringLiteral("Entries_List"))->model()->rowCount() >
            0);
    }

private:
    QTemporaryDir m_home;
    testing::RealProgram m_program;
    TMainLex *m_window = nullptr;
    QLineEdit *m_entry = nullptr;
};

} // namespace termdex

QTEST_MAIN(termdex::EndToEndTest)
#include "e2e_test.moc"
