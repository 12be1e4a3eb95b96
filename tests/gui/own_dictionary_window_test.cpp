// The window on an imported dictionary: it proposes and keeps the dictionary's own folder for
// the reader's entries, and an entry made there is not listed in the shipped dictionary.
#include "custom/ui/insert_entry_frm.h"
#include "dialogs/select_custom_dir_form.h"
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <fstream>

namespace termdex {
namespace fs = std::filesystem;
using testing::WindowUnderTest;

namespace {

int Cli(const QStringList &arguments)
{
    QProcess cli;
    cli.start(QString::fromStdString((testing::BuildFolder() / "termdex-cli").string()), arguments);
    return cli.waitForFinished(60000) ? cli.exitCode() : -1;
}

QStringList OwnEntriesListed(const fs::path &programFolder)
{
    WindowUnderTest w(programFolder);
    w.Find<QAction>("CustomEntriesItem")->trigger();
    const QAbstractItemModel *model = w.Find<QListView>("Entries_List")->model();
    QStringList items;
    for (int row = 0; row < model->rowCount(); ++row)
        items << model->index(row, 0).data().toString();
    return items;
}

} // namespace

class OwnDictionaryWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void entriesMadeInAnImportedDictionaryStayInIt()
    {
        testing::UseScratchHome(m_home);
        const QString share = m_home.path() + QStringLiteral("/share");
        qputenv("XDG_DATA_HOME", share.toUtf8());
        QVERIFY(QDir().mkpath(share));
        const fs::path root = m_home.path().toStdString();
        fs::create_directories(root / "shipped" / "data");
        for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
            fs::copy_file(testing::BuildFolder() / "data" / name, root / "shipped" / "data" / name);
        std::ofstream(root / "small.tsv") << "Tax\tΦόρος\tA levy\n";
        QCOMPARE(Cli({"import", "tsv", QString::fromStdString((root / "small.tsv").string()),
                      "--to", QString::fromStdString((root / "own").string()), "--name", "Own"}),
                 0);
        QCOMPARE(Cli({"--program-folder", QString::fromStdString((root / "shipped").string()),
                      "insert", "--en", "Shippedish", "--gr", "Απεσταλμένο"}),
                 0);

        {
            WindowUnderTest w(root / "own");
            // Two windows on two dictionaries are told apart by their titles.
            QCOMPARE(w.window->windowTitle(), QStringLiteral("Termdex — Own"));
            // Its folder holds no program: nothing to install.
            QVERIFY(w.Find("InstallLabel")->isHidden());
            QString proposed;
            testing::WhenDialogOpens([&](QDialog *dialog) {
                auto *form = qobject_cast<TSelectCustomDirForm *>(dialog);
                QVERIFY(form != nullptr);
                proposed = form->findChild<QLineEdit *>("Dir_Edit")->text();
                testing::WhenDialogOpens([](QDialog *editor) {
                    QVERIFY(qobject_cast<TInsertEntryFrm *>(editor) != nullptr);
                    editor->findChild<QLineEdit *>("InsertEntry_Text")->setText("Levyish");
                    editor->findChild<QLineEdit *>("InsertEntry_Trans")->setText("Εισφορά");
                    editor->findChild<QPushButton *>("InsertOk_Button")->click();
                });
                form->findChild<QPushButton *>("BitBtn1")->click();
            });
            w.Find<QAction>("InsertEntryItem")->trigger();
            QCOMPARE(proposed, share + QStringLiteral("/Termdex/Own"));
        }
        QCOMPARE(OwnEntriesListed(root / "own"), QStringList{QStringLiteral("Levyish *")});
        QCOMPARE(OwnEntriesListed(root / "shipped"), QStringList{QStringLiteral("Shippedish *")});
        QCOMPARE(WindowUnderTest(root / "shipped").window->windowTitle(),
                 QStringLiteral("Termdex"));
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::OwnDictionaryWindowTest)
#include "own_dictionary_window_test.moc"
