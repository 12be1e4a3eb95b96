// Quick translation end to end under Xvfb with the real clipboard: xclip is the other program
// that copies. Run by xvfb-run (see CMakeLists.txt).
#include "tests/gui/other_program.h"
#include "tests/gui/real_program.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <filesystem>

namespace termdex {

namespace {

using testing::Run;

QByteArray ClipboardOfOthers()
{
    return Run(QStringLiteral("xclip"),
               {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
}

void CopyInOtherProgram(const QByteArray &text)
{
    // xclip keeps the selection in a child process until another program takes it.
    Run(QStringLiteral("xclip"),
        {QStringLiteral("-i"), QStringLiteral("-selection"), QStringLiteral("clipboard")}, text);
}

} // namespace

class QuickTranslationEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing::StartWindowTests(m_home);
        m_program.Start();
        m_window = m_program.window;
        m_entry = m_program.entry;
    }

    void cleanupTestCase() { m_program.Stop(); }

    void turningTheModeOnKeepsTheReadersClipboard()
    {
        CopyInOtherProgram("kept");
        QTRY_COMPARE(ClipboardOfOthers(), QByteArray("kept"));
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("AutoTranslate_Button")),
                          Qt::LeftButton);
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Termdex - Γρήγορη Μετάφραση"));
        testing::RunPostedEvents();
        QCOMPARE(ClipboardOfOthers(), QByteArray("kept"));
        QVERIFY(m_entry->text().isEmpty());
    }

    void anotherProgramsCopyIsLookedUpAndTheWindowComesBack()
    {
        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
        CopyInOtherProgram("Arbitrage\nand more");
        QTRY_COMPARE(m_entry->text(), QStringLiteral("Arbitrage"));
        QTRY_COMPARE(m_window->findChild<QLabel *>(QStringLiteral("Entry_Label"))->text(),
                     QStringLiteral("Arbitrage"));
        QTRY_VERIFY(!m_window->isMinimized());
    }

    void withTheModeOffCopiesAreLeftAlone()
    {
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("AutoTranslate_Button")),
                          Qt::LeftButton);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Termdex"));
        // The window hears of a change in the same signal, before this test's own handler.
        bool noticed = false;
        const QMetaObject::Connection watch = QObject::connect(
            QGuiApplication::clipboard(), &QClipboard::dataChanged, [&noticed] { noticed = true; });
        CopyInOtherProgram("Bond");
        QTRY_VERIFY(noticed);
        QObject::disconnect(watch);
        QCOMPARE(m_program.platform->Services().clipboard->Text(), std::string("Bond"));
        QCOMPARE(m_entry->text(), QStringLiteral("Arbitrage"));
    }

private:
    QTemporaryDir m_home;
    testing::RealProgram m_program;
    TMainLex *m_window = nullptr;
    QLineEdit *m_entry = nullptr;
};

} // namespace termdex

QTEST_MAIN(termdex::QuickTranslationEndToEndTest)
#include "quick_translation_e2e_test.moc"
