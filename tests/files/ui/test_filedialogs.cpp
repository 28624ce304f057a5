#include "files/ui/filedialogs.h"
#include "common/filebytes.h"
#include "uikit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(FileKinds, EveryCallerHasAFileUnknownOnesNoneAndTheSaveNameRule)
{
    TestApp t;
    for (int code : {21, 22, 23, 31, 32, 41, 51, 52})
        EXPECT_TRUE(fileKind(code) && currentFileOf(t.app, code)) << code;
    EXPECT_EQ(fileKind(99), nullptr);
    EXPECT_EQ(fileKind(41)->errorTitle + ": " + fileKind(41)->errorText,
              "File Save Error: Something went wrong in saving the\ndata in the MemMan Window to a file ! ! !\n"
              "PLEASE TRY AGAIN");
    // The names a save takes.
    for (const char *good : {"san_test.txt", "SAN_ABCDEFGHIJKL.TXT" /* 12 letters */, "SAN_a.b.TXT"})
        EXPECT_TRUE(saveNameAccepted(good, "SAN_")) << good;
    for (const char *bad : {"SAN_ABCDEFGHIJKLM.TXT", "LOG_test.TXT", "", "SAN_test.DAT", "SAN_test",
                            "SAN_../x.TXT"})
        EXPECT_FALSE(saveNameAccepted(bad, "SAN_")) << bad;
}

TEST(FileList, PatternsCaseInsensitiveAndMissingFolder)
{
    TestApp t;
    const QString dir = t.app.settings.sub("BDXC");
    writeBytes(dir + "BDX26TOE.TXT", "x\r\n");
    writeBytes(dir + "adx26tow.txt", "x\r\n");
    writeBytes(dir + "BDX26.TXT", "x\r\n");
    writeBytes(dir + "NOTES.TXT", "x\r\n");
    QStringList names;
    QString err;
    ASSERT_TRUE(filedialogs::listFiles(dir, "BDX*TOE.TXT;ADX*TOW.TXT", &names, &err));
    EXPECT_EQ(names, QStringList({"adx26tow.txt", "BDX26TOE.TXT"}));

    // A folder not made yet holds no files; a file where the folder should
    // be cannot be read.
    EXPECT_TRUE(filedialogs::listFiles(t.base() + "NOPE/", "*", &names, &err));
    EXPECT_TRUE(names.isEmpty());
    writeBytes(t.base() + "FILE", "x\r\n");
    EXPECT_FALSE(filedialogs::listFiles(t.base() + "FILE/", "*", &names, &err));
    EXPECT_TRUE(err.contains("FILE") && err.contains("not a folder")) << err.toStdString();
}

TEST(SelSave, AcceptedNameStoredAsTypedAndSaved)
{
    TestApp t;
    writeBytes(t.app.settings.sub("SAN") + "SAN_OLD.TXT", "x\r\n");
    int saves = 0;
    whenShown<selsave>([](selsave &d) {
        EXPECT_EQ(d.Cmb_Save->currentText(), "san_xyzxyzxyzxyz.txt");
        EXPECT_EQ(d.Cmb_Save->count() == 1 ? d.Cmb_Save->itemText(0) : QString(), "SAN_OLD.TXT");
        d.Cmb_Save->setEditText("san_test.txt");
        QTest::keyClick(d.Cmb_Save->lineEdit(), Qt::Key_Return);
    });
    run_selsave(t.app, 51, [&] { ++saves; });
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(t.app.files.san, "san_test.txt");
    EXPECT_EQ(t.app.caller_code, 51);
    EXPECT_EQ(t.app.save_dir, t.app.settings.sub("SAN"));
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    // Escape cancels; a double click on the name is OK.
    whenShown<selsave>([](selsave &d) { QTest::keyClick(&d, Qt::Key_Escape); });
    run_selsave(t.app, 41, [&] { ++saves; });
    EXPECT_EQ(saves, 1);
    selsave d(t.app, 41, {}, [&] { ++saves; });
    d.Cmb_Save->setEditText("MEM_BAND31.TXT");
    QTest::mouseDClick(d.Cmb_Save->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(t.app.files.mem, "MEM_BAND31.TXT");
}

TEST(SelSave, RefusedNameIsShownOverTheOpenDialogAndSavesNothing)
{
    struct Watching : RecordingPrompter {
        QWidget *dlg = nullptr;
        bool visible = false;
        Answer message(const QString &text, const QString &title, Icon icon, Buttons b) override
        {
            visible = dlg && dlg->isVisible();
            return RecordingPrompter::message(text, title, icon, b);
        }
    } watching;
    TestApp t;
    t.app.prompter = &watching;
    t.app.files.san = "SAN_KEEP.TXT";
    selsave d(t.app, 51, {}, [] { FAIL() << "saved"; });
    watching.dlg = &d;
    d.show();
    d.Cmb_Save->setEditText("LOG_test.TXT");
    d.cmd_OK->click();
    EXPECT_FALSE(d.saved());
    EXPECT_EQ(t.app.files.san, "SAN_KEEP.TXT");
    ASSERT_EQ(watching.asked.size(), 1);
    EXPECT_EQ(watching.lastTitle() + ": " + watching.lastText(),
              "Error: Something went wrong in saving\nthe Spectrum data to a file ! ! !\nPLEASE TRY AGAIN");
    EXPECT_EQ(watching.asked.last().icon, Prompter::Exclamation);
    EXPECT_TRUE(watching.visible);
    EXPECT_FALSE(d.isVisible()); // closed after the message
}

TEST(SelFile, FirstEntrySelectedOkLoads)
{
    TestApp t;
    writeBytes(t.app.settings.sub("PAN") + "PAN_B.TXT", "x\r\n");
    writeBytes(t.app.settings.sub("PAN") + "PAN_A.TXT", "x\r\n");
    int loads = 0;
    t.app.demo_dir = t.base(); // in the demo, the dialogs say whose folder it is
    whenShown<selfile>([&t](selfile &d) {
        EXPECT_EQ(d.findChild<QLabel *>("lbl_demo")->text(), "Demo folder: " + t.app.settings.sub("PAN"));
        EXPECT_EQ(d.List->count(), 2);
        EXPECT_EQ(d.selection(), "PAN_A.TXT");
        EXPECT_FALSE(d.cmd_Edit->isVisible()); // editor not enabled
        QTest::keyClick(d.List, Qt::Key_Down);
        QTest::keyClick(&d, Qt::Key_Return);
    });
    run_selfile(t.app, 52, "PAN_*.TXT", [&] { ++loads; });
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(t.app.files.pan, "PAN_B.TXT");
}

TEST(SelFile, OkWithoutSelectionLoadsNothingAMemoryFileAsksFirst)
{
    TestApp t;
    t.app.files.log = "LOG_OLD.TXT";
    selfile none(t.app, 31, {"LOG_A.TXT"}, [] { FAIL() << "loaded"; });
    none.List->clearSelection();
    none.cmd_OK->click();
    EXPECT_FALSE(none.loaded());
    EXPECT_EQ(t.app.files.log, "LOG_OLD.TXT");
    selfile empty(t.app, 31, {}, [] { FAIL() << "loaded"; });
    empty.cmd_OK->click();
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    // Only Yes loads a memory file.
    int loads = 0;
    t.prompter.answers = {Prompter::AnsNo, Prompter::AnsCancel, Prompter::AnsYes};
    for (int i = 0; i < 3; ++i) {
        selfile d(t.app, 41, {"MEM_A.TXT"}, [&] { ++loads; });
        d.cmd_OK->click();
        EXPECT_EQ(loads, i == 2 ? 1 : 0);
    }
    EXPECT_EQ(t.app.files.mem, "MEM_A.TXT");
    ASSERT_EQ(t.prompter.asked.size(), 3);
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
              "Load Memory File: Are sure you want to load the file\nMEM_A.TXT in the MemMan "
              "Window\nand overwrite possible current data");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Question);
    EXPECT_EQ(t.prompter.asked.last().buttons, Prompter::YesNoCancel);
}

TEST(SelFile, EditOnlyWithEnableEditor)
{
    TestApp t;
    t.app.settings.v[6] = 2; // not exactly 1
    {
        selfile d(t.app, 21, {"BDX26TOE.TXT"}, {});
        d.show();
        EXPECT_FALSE(d.cmd_Edit->isVisible());
        EXPECT_FALSE(d.cmd_Edit->isEnabled());
    }
    t.app.settings.setEditorEnabled(true);
    selfile d(t.app, 21, {"BDX26TOE.TXT"}, [] { FAIL() << "loaded"; });
    d.show();
    EXPECT_TRUE(d.cmd_Edit->isVisible());
    d.cmd_Edit->click();
    ASSERT_EQ(t.launcher.opened.size(), 1);
    EXPECT_EQ(t.launcher.opened.first(), t.base() + "BDXC/BDX26TOE.TXT");
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    t.launcher.fail = true;
    d.cmd_Edit->click();
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains("BDX26TOE.TXT") && t.prompter.lastText().contains("cannot start"))
        << t.prompter.lastText().toStdString();
}
TEST(SelFile, MissingFolderShowsAnEmptyListAndSaveStillNamesTheFile)
{
    // The save routine creates the folder; an empty list is no reason to
    // keep the user from saving.
    TestApp t;
    t.app.settings.base_dir = t.base() + "gone/";
    bool shown = false;
    whenShown<selfile>([&shown](selfile &d) {
        shown = true;
        EXPECT_EQ(d.List->count(), 0);
        d.cmd_OK->click();
    });
    run_selfile(t.app, 22, "OWN_*.TXT", [] { FAIL() << "loaded"; });
    EXPECT_TRUE(shown);
    int saves = 0;
    whenShown<selsave>([](selsave &d) {
        EXPECT_FALSE(d.findChild<QLabel *>("lbl_demo")); // not in the demo
        EXPECT_EQ(d.Cmb_Save->count(), 0);
        d.Cmb_Save->setEditText("MEM_NEW.TXT");
        d.cmd_OK->click();
    });
    run_selsave(t.app, 41, [&] { ++saves; });
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(t.app.files.mem, "MEM_NEW.TXT");
    EXPECT_TRUE(t.prompter.asked.isEmpty()) << t.prompter.lastText().toStdString();
}
