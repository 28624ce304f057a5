#include "a11y.h"
#include "common/filebytes.h"
#include "files/ui/filedialogs.h"
#include "logbook/ui/logdialogs.h"
#include "logbook/ui/logmodel.h"
#include "logbook/ui/logwin.h"
#include "schedules/ui/listmodel.h"
#include "uikit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace logging2;

namespace {

QStringList fileLines(const QString &path)
{
    return QString::fromUtf8(readBytes(path)).split("\r\n", Qt::SkipEmptyParts);
}

struct LogWin : WindowTest {
    // What each modal dialog does, in the order they open.
    std::deque<std::function<void(QDialog &)>> dialogs;

    void SetUp() override
    {
        copyDemo("data/demo/LOG/LOG_DEMO.TXT", t.base() + "LOG/LOG_DEMO.TXT");
    }
    // The window, shown, with its dialogs run by the test and this log loaded.
    std::unique_ptr<LogWindow> open(const QString &log = {})
    {
        auto w = std::make_unique<LogWindow>(t.app);
        w->runDialog = [this](QDialog &d) {
            ASSERT_FALSE(dialogs.empty()) << "unexpected dialog " << qPrintable(d.windowTitle());
            auto f = dialogs.front();
            dialogs.pop_front();
            f(d);
        };
        w->show();
        if (!log.isEmpty()) {
            t.app.files.log = log;
            EXPECT_TRUE(w->read_log_file());
        }
        return w;
    }
    // The next dialog, a D, worked by f.
    template <class D> void then(std::function<void(D &)> f)
    {
        dialogs.push_back([f](QDialog &d) { f(dynamic_cast<D &>(d)); });
    }
    // A record dialog that is filled with these boxes and confirmed.
    void typeRecord(std::map<int, QString> boxes)
    {
        then<loginput>([boxes](loginput &in) {
            for (auto &[k, v] : boxes) {
                in.txt_in[k]->clear();
                if (std::all_of(v.begin(), v.end(), [](QChar c) { return c.unicode() < 0x80; }))
                    QTest::keyClicks(in.txt_in[k], v); // as typed, stopping at the width
                else
                    in.txt_in[k]->insert(v);
            }
            in.cmd_OK->click();
        });
    }
    // The grid cell of record r showing field k.
    static QModelIndex cellOf(LogWindow &w, int r, int field)
    {
        for (int c = 0; c < w.model->columnCount(); ++c)
            if (w.model->fieldOf(c) == field)
                return w.model->index(r, c);
        return {};
    }
    // Names typed in turn into the save dialog that opens next.
    static void nameIt(QStringList tries)
    {
        auto next = std::make_shared<QStringList>(tries);
        whenShown<selsave>([next](selsave &d) {
            d.Cmb_Save->setEditText(next->takeFirst());
            d.cmd_OK->click();
        }, tries.size());
    }
};

} // namespace

TEST_F(LogWin, RoundTripThroughTheWindow)
{
    writeBytes(t.base() + "LOG/LOG_NEW.TXT", {});
    auto w = open();
    // Without a log only Load, New, RX Control and Exit work (and Import,
    // which makes a new log as New does).
    QStringList on;
    for (QPushButton *b : w->findChildren<QPushButton *>())
        if (b->isEnabled())
            on << b->objectName();
    on.sort();
    EXPECT_EQ(on.join(' '), "cmd_Load cmd_Top cmd_exit cmd_import cmd_new");
    // Load the empty log through the file selection dialog.
    whenShown<selfile>([](selfile &d) {
        d.List->setCurrentItem(d.List->findItems("LOG_NEW.TXT", Qt::MatchExactly).value(0));
        d.cmd_OK->click();
    });
    w->cmd_Load->click();
    EXPECT_EQ(t.app.files.log, "LOG_NEW.TXT");
    EXPECT_EQ(t.app.caller_code, callers::Log);
    EXPECT_EQ(w->book.last(), -1);
    EXPECT_TRUE(w->cmd_add->isEnabled() && w->cmd_adif->isEnabled());

    typeRecord({{Date, "20261205"}, {BeginTime, "930"}, {Frequency, "9635"}, {Sinpo, "45444"}});
    typeRecord({{Date, "20261204"}, {BeginTime, "2100"}, {Frequency, "6175,5"},
                {Organisation, QString::fromUtf8("Radio Brêmhaven")}});
    typeRecord({{Date, "20261206"}, {Frequency, "15120"}, {Organisation, "Voice of Tarsis"}});
    for (int i = 0; i < 3; ++i)
        w->cmd_add->click();
    EXPECT_EQ(w->model->rowCount(), 3); // stored as the files below show

    // SaveAs under a new name, in the default (date) order: as entered.
    nameIt({"LOG_RT2.TXT"});
    w->cmd_savez->click();
    EXPECT_EQ(t.app.files.log, "LOG_RT2.TXT");
    EXPECT_FALSE(w->book.notSaved);
    EXPECT_TRUE(fileLines(t.base() + "LOG/LOG_RT2.TXT").value(0).startsWith("000 20261205 0930      09635"));

    // Exit (saved: no question), open again, load, sort by frequency.
    w->cmd_exit->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(t.prompter.asked.isEmpty()) << qPrintable(t.prompter.lastText());
    w->show();
    EXPECT_FALSE(w->cmd_add->isEnabled());
    ASSERT_TRUE(w->read_log_file());
    then<selsort2>([](selsort2 &s) {
        s.chk_so[2]->click();
        s.cmd_OK->click();
    });
    w->cmd_sort->click();
    EXPECT_EQ(w->model->cell(0, 3).trimmed() + " " + w->model->cell(2, 3).trimmed(), "06175.500 15120");

    // Change the first row (Radio Brêmhaven), delete the last (15120).
    w->grd_log->setCurrentIndex(w->model->index(0, 0));
    then<loginput>([](loginput &in) {
        EXPECT_EQ(in.windowTitle(), "Change record 000");
        EXPECT_EQ(in.txt_in[Organisation]->text().trimmed(), QString::fromUtf8("Radio Brêmhaven"));
        in.txt_in[Sinpo]->setText("34333");
        in.txt_in[EndTime]->setText("2130");
        in.cmd_OK->click();
    });
    w->cmd_chg->click();
    w->grd_log->setCurrentIndex(w->model->index(2, 1));
    w->cmd_del->click();
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
              "Check: You are sure you want delete\nrecord 002 about frequency 15120    ?");
    EXPECT_EQ(w->model->rowCount(), 2);

    // Save to the current file asks first.
    w->cmd_Save->click();
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
              "Save file: File LOG_RT2.TXT already exist.\nDo you want to replace it ?");
    EXPECT_FALSE(w->book.notSaved);
    const QStringList lines = fileLines(t.base() + "LOG/LOG_RT2.TXT");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].left(48), QString::fromUtf8("000 20261204 2100 2130 06175.500 34333     Radio"));
    EXPECT_EQ(lines[1].left(32), "001 20261205 0930      09635    ");
    EXPECT_EQ(w->model->rowText(0).split('\t').mid(0, 3), (QStringList{"000", "20261204", "2100"}));
    // Close empties the grid; the table stays.
    w->cmd_Close->click();
    EXPECT_EQ(w->model->rowCount(), 0);
    EXPECT_FALSE(w->cmd_add->isEnabled());
    EXPECT_EQ(w->book.count(), 2);
}

TEST_F(LogWin, RecordDialogEdges)
{
    auto w = open("LOG_DEMO.TXT");
    const int n = w->book.count();
    w->book.notSaved = false;

    // OK with every box empty: nothing added, but the log counts as changed.
    typeRecord({});
    w->cmd_add->click();
    EXPECT_EQ(w->model->rowCount(), n);
    EXPECT_TRUE(w->book.notSaved);

    // Escape drops the new record.
    then<loginput>([&](loginput &in) {
        EXPECT_EQ(in.windowTitle(), "Input Record " + recordNumber(n));
        EXPECT_EQ(w->book.count(), n + 1);
        in.txt_in[Date]->setText("20261201");
        in.reject();
    });
    w->cmd_add->click();
    EXPECT_EQ(w->book.count(), n);

    // Typing past a field's width stops at the width.
    typeRecord({{Language, "ENGL"}, {Date, "2026120512"}, {Remarks, QString(50, 'x')}});
    w->cmd_add->click();
    ASSERT_EQ(w->book.count(), n + 1);
    EXPECT_EQ(w->book.record(n)[Language] + w->book.record(n)[Date], "ENG20261205");
    EXPECT_EQ(w->book.record(n)[Remarks].size(), 40);

    // With the check turned on, a bad field is refused by its box's name and
    // nothing is stored; the dialog stays open until it is right or cancelled.
    const Record before = w->book.record(0);
    w->grd_log->setCurrentIndex(w->model->index(0, 0));
    then<loginput>([&](loginput &in) {
        in.chk_check->setChecked(true);
        in.txt_in[BeginTime]->setText("2575");
        in.cmd_OK->click();
        EXPECT_TRUE(t.prompter.lastText().startsWith("Start UTC (hhmm): ") &&
                    t.prompter.lastText().endsWith("Nothing was stored."))
            << qPrintable(t.prompter.lastText());
        EXPECT_EQ(w->book.record(0), before);
        in.cmd_cancel->click();
    });
    w->cmd_chg->click();
    EXPECT_EQ(w->book.record(0), before);
    EXPECT_TRUE(w->checkInput);

    // Change and Delete without a record selected; Delete answered Cancel.
    w->grd_log->setCurrentIndex(QModelIndex());
    t.prompter.asked.clear();
    w->cmd_chg->click();
    w->cmd_del->click();
    ASSERT_EQ(t.prompter.asked.size(), 2);
    EXPECT_EQ(t.prompter.lastText(), "No record Selected");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
    w->grd_log->setCurrentIndex(w->model->index(1, 0));
    t.prompter.answers.push_back(Prompter::AnsCancel);
    w->cmd_del->click();
    EXPECT_EQ(w->book.count(), n + 1);
}

TEST_F(LogWin, FullTableAndLongFile)
{
    t.app.settings.setDim(2, 1); // DIM LOG: 1001 records
    QByteArray many;
    Record r;
    r[Date] = "20261201";
    for (int i = 0; i < 1500; ++i)
        many += formatLine(i, r).toUtf8() + "\r\n";
    writeBytes(t.base() + "LOG/LOG_BIG.TXT", many);
    auto w = open("LOG_BIG.TXT");
    EXPECT_EQ(w->model->rowCount(), 1001);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    const QString said = t.prompter.lastText();
    EXPECT_TRUE(said.contains("1001 records") && said.contains("\"DIM LOG\" (1)") &&
                said.contains("499 were not loaded")) << said.toStdString();

    // Save and the way out with Yes refuse to write over the file, asking
    // nothing first; Add refuses a full table.
    t.prompter.asked.clear();
    w->cmd_Save->click();
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains("499 of its records were not loaded"))
        << t.prompter.lastText().toStdString();
    t.prompter.answers = {Prompter::AnsYes};
    EXPECT_FALSE(w->may_leave());
    EXPECT_TRUE(t.prompter.lastText().contains("SaveAs"));
    EXPECT_EQ(readBytes(t.base() + "LOG/LOG_BIG.TXT"), many);
    w->cmd_add->click();
    EXPECT_EQ(w->book.count(), 1001);
    EXPECT_TRUE(t.prompter.lastText().startsWith("The log is full"));
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(LogWin, NotSavedQuestionOnEveryWayOut)
{
    auto w = open();
    // Cancel keeps the window; a failed Yes keeps it and the log; No discards.
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Exit", [&] { w->cmd_exit->click(); }},
        {"close box", [&] { w->close(); }},
        {"Escape", [&] { QTest::keyClick(w.get(), Qt::Key_Escape); }},
    };
    for (const auto &[name, leave] : ways) {
        SCOPED_TRACE(name);
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w.get());
        t.app.files.log = "LOG_DEMO.TXT";
        ASSERT_TRUE(w->read_log_file()); // loading sets the flag
        const int n = w->book.count();
        t.prompter.asked.clear();
        t.prompter.answers = {Prompter::AnsCancel};
        leave();
        EXPECT_TRUE(w->isVisible());
        ASSERT_EQ(t.prompter.asked.size(), 1);
        EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
                  "Save File: Log file is not saved\nDo you want to save it ?");

        // Yes, but the folder is gone: a message, nothing lost.
        t.app.files.log = "NOFOLDER/LOG_DEMO.TXT";
        t.prompter.answers = {Prompter::AnsYes};
        leave();
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->book.count(), n);
        EXPECT_TRUE(w->book.notSaved);
        EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
        EXPECT_TRUE(t.prompter.lastText().contains("LOG_DEMO.TXT"));
        t.prompter.answers = {Prompter::AnsNo};
        leave();
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(w->book.hasTable());
        EXPECT_TRUE(t.app.files.log.isEmpty());
    }
    // Yes saves, then leaves.
    w->show();
    t.app.files.log = "LOG_DEMO.TXT";
    ASSERT_TRUE(w->read_log_file());
    const int n = w->book.count();
    QFile::remove(t.base() + "LOG/LOG_DEMO.TXT");
    t.prompter.answers = {Prompter::AnsYes};
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(fileLines(t.base() + "LOG/LOG_DEMO.TXT").size(), n);
}

TEST_F(LogWin, TunesFromFrequencyColumns)
{
    auto w = open("LOG_DEMO.TXT");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // Record 7: Skerry Radio 05920, parallel 06175, code 0120. Record 0:
    // SINPO 45444 is no frequency; record 12 has no second parallel.
    const std::tuple<std::function<void()>, const char *, const char *> cases[] = {
        {[&] { dclick(w->grd_log, cellOf(*w, 7, Frequency)); }, "S199012059200000", "5920.000"},
        {[&] {
             w->grd_log->setCurrentIndex(cellOf(*w, 7, Par1));
             QTest::keyClick(w->grd_log, Qt::Key_Return);
         }, "S199012061750000", "6175.000"},
        {[&] {
             for (QModelIndex i : {cellOf(*w, 0, Sinpo), cellOf(*w, 0, Date), w->model->index(0, 0),
                                   cellOf(*w, 12, Par2)})
                 dclick(w->grd_log, i);
         }, "", "6175.000"},
        {[&] { // a SINPO cell that holds a frequency; an empty code is 0041
             w->book.record(0)[Sinpo] = "9500 ";
             w->book.record(0)[Abmg] = "    ";
             dclick(w->grd_log, cellOf(*w, 0, Sinpo));
         }, "S199004095000001", "9500.000"},
    };
    for (const auto &[act, sent, shown] : cases) {
        EXPECT_EQ(t.sends(act), *sent ? "H1|H1|" + QString(sent) + "|H0|H0" : "");
        EXPECT_EQ(w->lbl_arf->text() + " " + panel.freq, QString(shown) + " " + shown);
        if (QString(shown) == "5920.000")
            EXPECT_EQ(t.rx->stationAt(5920000), "Skerry Radio"); // a recording names it
    }
    // Another window's tune shows here too.
    t.rx->noteFrequency(7000000, Origin::Receiver);
    EXPECT_EQ(w->lbl_arf->text(), "7000.000");
}

TEST_F(LogWin, GetCurrentSettingTakesWhatTheReceiverIsOnAndTheRowsStation)
{
    t.app.settings.setNoRx(false);
    t.answerState("113123456200"); // LSB, Inter
    t.app.times.utc_stamp = "20261205 0742";
    auto w = open("LOG_DEMO.TXT");
    QTest::qWait(50);
    t.settle();
    EXPECT_EQ(w->lbl_arf->text(), "12345.620");
    // What it fills in after each way the receiver was tuned.
    const std::pair<std::function<void()>, const char *> cases[] = {
        {[&] { t.run([&] { return t.rx->aRefreshPanel(Receiver2::Tell::All); }); }, "12345.620|1130||"},
        {[&] { dclick(w->grd_log, cellOf(*w, 7, Frequency)); }, "5920.000|0120|Skerry Radio|"},
        {[&] { // a BDXC row, then a typed value that was refused
             t.rx->tune({9550000, Origin::Bdxc, "", "0041", "Radio Test"});
             panel.freq = "40000";
         }, "9550.000|0041|Radio Test|"},
    };
    // On an empty record it fills without asking; the other boxes stay.
    then<loginput>([&](loginput &in) {
        in.txt_in[Remarks]->setText("heard well");
        for (const auto &[before, expect] : cases) {
            before();
            t.settle();
            in.txt_in[Frequency]->clear();
            in.txt_in[Organisation]->clear();
            in.cmd_GetCurrent->click();
            QStringList got;
            for (int k : {Date, BeginTime, Frequency, Abmg, Organisation, Remarks})
                got << in.txt_in[k]->text();
            EXPECT_EQ(got.join('|'), QString("20261205|0742|") + expect + "heard well");
            EXPECT_TRUE(t.prompter.asked.isEmpty());
        }
        // With a frequency it asks first; No keeps the boxes.
        in.txt_in[Date]->setText("20200101");
        t.prompter.answers.push_back(Prompter::AnsNo);
        in.cmd_GetCurrent->click();
        EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
                  "Replace: You are sure you want to replace the\ncurrent record by current Rx setting\n");
        EXPECT_EQ(in.txt_in[Date]->text(), "20200101");
        in.cmd_OK->click();
    });
    w->cmd_add->click();
    EXPECT_EQ(w->book.record(w->book.last())[Organisation].trimmed(), "Radio Test");
}

// The sort and format dialogs, clicked or worked as a screen reader works
// them: the toggle action chooses as a click does, once, and the format
// length is read out as its value.
TEST_F(LogWin, SortAndFormatDialogs)
{
    for (const a11y::How how : {a11y::How::Click, a11y::How::Toggle}) {
        SCOPED_TRACE(a11y::howName(how));
        auto w = open("LOG_DEMO.TXT");
        // Cancel after a choice: the choice stays, nothing is sorted.
        const Record first = w->book.record(0);
        then<selsort2>([how](selsort2 &s) {
            ASSERT_TRUE(a11y::choose(s.chk_so[3], how));
            EXPECT_TRUE(s.chk_so[3]->isChecked() && !s.chk_so[0]->isChecked());
            s.cmd_Cancel->click();
        });
        w->cmd_sort->click();
        EXPECT_EQ(w->book.sortChoice, 3);
        EXPECT_EQ(w->book.record(0), first);

        // Unchecking every field leaves the number column; Escape applies.
        then<logfmt2>([how](logfmt2 &f) {
            for (QCheckBox *c : f.chk_fmt)
                if (c->isChecked())
                    ASSERT_TRUE(a11y::choose(c, how));
            EXPECT_EQ(a11y::name(f.lbl_tl), "000");
            f.reject();
        });
        then<logfmt2>([how](logfmt2 &f) {
            for (int k : {Remarks, Frequency, Language, Language})
                ASSERT_TRUE(a11y::choose(f.chk_fmt[k], how)); // Language on and off again
            EXPECT_FALSE(f.chk_fmt[Language]->isChecked());
            EXPECT_EQ(a11y::name(f.lbl_tl), "051");
            EXPECT_EQ(a11y::hiddenLabels(&f), QStringList());
            f.cmd_OK->click();
        });
        w->cmd_fmt->click();
        EXPECT_EQ(w->book.format, "000000000000000");
        EXPECT_EQ(w->model->columnCount(), 1);
        EXPECT_EQ(w->model->rowCount(), w->book.count());
        w->cmd_fmt->click();
        EXPECT_EQ(w->book.format, "000100000000100");
        ASSERT_EQ(w->model->columnCount(), 3);
        EXPECT_EQ(w->model->fieldOf(1), Frequency);
        EXPECT_EQ(w->model->fieldOf(2), Remarks);
        EXPECT_GT(w->grd_log->columnWidth(2), 3 * w->grd_log->columnWidth(1));
    }
}

// (What the files hold: the export test.)
TEST_F(LogWin, ExportsWhereTheUserChooses)
{
    auto w = open("LOG_DEMO.TXT");
    QString suggested;
    w->chooseExportPath = [&](const QString &s, const QString &) {
        suggested = s;
        return t.base() + "export" + s.right(4);
    };
    for (QPushButton *b : {w->cmd_adif, w->cmd_adx, w->cmd_csv}) {
        t.prompter.asked.clear();
        b->click();
        EXPECT_TRUE(suggested.startsWith(t.base() + "LOG/LOG_DEMO."));
        EXPECT_EQ(t.prompter.asked.value(0).icon, Prompter::Information);
        EXPECT_GT(QFileInfo(t.base() + "export" + suggested.right(4)).size(), 1000)
            << qPrintable(suggested);
    }
    EXPECT_EQ(suggested.right(4), ".csv");
    // A folder that is not there: a message naming the file.
    w->chooseExportPath = [&](const QString &, const QString &) { return t.base() + "none/x.adx"; };
    w->cmd_adx->click();
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
    EXPECT_TRUE(t.prompter.lastText().contains("x.adx"));
}

TEST_F(LogWin, NewLogStartsAnEmptyLogUnderANewName)
{
    QFile::remove(t.base() + "LOG/LOG_DEMO.TXT"); // a fresh base directory
    auto w = open();
    // Names tried in turn: LOG_ and .TXT are added; one that does not fit
    // even so is told with the rule, and the dialog stays for another try.
    nameIt({"a name far too long", "mine"});
    w->cmd_new->click();
    ASSERT_EQ(t.prompter.asked.size(), 2);
    EXPECT_TRUE(t.prompter.asked[0].text.endsWith("both are added when missing.\nBetween them go at most 12 "
                                                  "characters, without / or \\.\n\"a name far too long\" does not fit."));
    EXPECT_EQ(t.prompter.lastText(), "Something went wrong in saving\nyour loggings to a file ! ! !\nPLEASE TRY AGAIN");
    EXPECT_EQ(t.app.files.log, "LOG_mine.TXT");
    EXPECT_TRUE(w->cmd_add->isEnabled());
    EXPECT_EQ(w->book.count(), 0);
    EXPECT_TRUE(QFileInfo::exists(t.base() + "LOG/LOG_mine.TXT")); // in the Load list from now on
    EXPECT_EQ(w->lbl_file->text(), "Log file: " + QDir::toNativeSeparators(t.base() + "LOG/LOG_mine.TXT"));

    typeRecord({{Date, "20261205"}, {BeginTime, "930"}, {Frequency, "9635"}});
    w->cmd_add->click();
    t.prompter.answers = {Prompter::AnsYes};
    w->cmd_Save->click();
    EXPECT_EQ(fileLines(t.base() + "LOG/LOG_mine.TXT").size(), 1);

    // A name in use is refused and the open log stays.
    nameIt({"LOG_mine.TXT"});
    t.prompter.asked.clear();
    w->cmd_new->click();
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains("already exists")) << qPrintable(t.prompter.lastText());
    EXPECT_EQ(t.app.files.log, "LOG_mine.TXT");
    EXPECT_EQ(w->book.count(), 1);

    // SaveAs over a file answered No: aborted, the file and the name stay.
    writeBytes(t.base() + "LOG/LOG_old.TXT", "old\r\n");
    nameIt({"old"});
    t.prompter.answers = {Prompter::AnsNo};
    w->cmd_savez->click();
    EXPECT_EQ(t.prompter.asked.value(1).text, "This file already exist\nYou want to replace ?");
    EXPECT_EQ(t.prompter.lastText(), "File save action aborted");
    EXPECT_EQ(t.app.files.log + readBytes(t.base() + "LOG/LOG_old.TXT"), "LOG_mine.TXTold\r\n");

    // A log not saved is offered for saving first (Cancel: nothing happens).
    w->book.notSaved = true;
    t.prompter.answers = {Prompter::AnsCancel};
    w->cmd_new->click();
    EXPECT_EQ(t.prompter.lastText(), "Log file is not saved\nDo you want to save it ?");
    EXPECT_EQ(w->book.count(), 1);
    EXPECT_FALSE(shownWindow<selsave>());
}

// The user guide's picture of the log window: VOR_SCREENSHOT=/tmp writes log.png.
TEST_F(LogWin, Screenshot)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    auto w = open("LOG_DEMO.TXT");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->lbl_arf->setText("9635.000");
    w->grd_log->setCurrentIndex(w->model->index(3, 3));
    QTest::qWait(100);
    EXPECT_TRUE(w->grab().save(out + "/log.png"));
}

// An exported log comes back through Import into a new log; a file larger
// than a log goes on into a second file when the user agrees.
TEST_F(LogWin, ImportGoesIntoANewLogAndTheRestIntoASecondFile)
{
    auto w = open("LOG_DEMO.TXT");
    const QStringList demo = w->book.lines();
    w->chooseExportPath = [&](const QString &, const QString &) { return t.base() + "demo.adx"; };
    w->cmd_adx->click();
    w->chooseImportPath = [&] { return t.base() + "demo.adx"; };
    nameIt({"back"});
    t.prompter.asked.clear();
    w->cmd_import->click();
    EXPECT_EQ(t.app.files.log, "LOG_back.TXT");
    EXPECT_EQ(w->book.lines(), demo);
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Information) << qPrintable(t.prompter.lastText());

    const int cap = LogBook::capacityFor(t.app.settings);
    QByteArray adi = "made elsewhere<EOH>\n";
    for (int i = 0; i < cap + 3; ++i)
        adi += "<CALL:4>TEST<FREQ:5>9.580<QSO_DATE:8>20261208<TIME_ON:4>0800<EOR>\n";
    adi += "<CALL:4>TEST<QSO_DATE:8>20261208<TIME_ON:4>0800<EOR>\n"; // no frequency
    writeBytes(t.base() + "big.adi", adi);
    w->chooseImportPath = [&] { return t.base() + "big.adi"; };
    nameIt({"big"});
    t.prompter.asked.clear();
    t.prompter.answers = {Prompter::AnsYes, Prompter::AnsOk};
    w->cmd_import->click();
    EXPECT_EQ(w->book.count(), cap);
    ASSERT_EQ(t.prompter.asked.size(), 2);
    EXPECT_TRUE(t.prompter.asked[0].text.contains("3 more")) << qPrintable(t.prompter.asked[0].text);
    EXPECT_EQ(fileLines(t.base() + "LOG/LOG_big-2.TXT").size(), 3);
    EXPECT_EQ(t.prompter.asked[1].icon, Prompter::Exclamation); // the record without a frequency named
    EXPECT_TRUE(t.prompter.asked[1].text.startsWith(QString("%1 of %2 records imported").arg(cap + 3).arg(cap + 4)))
        << qPrintable(t.prompter.asked[1].text);
}
