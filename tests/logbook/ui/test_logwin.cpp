#include "common/textfile.h"
#include "files/ui/filedialogs.h"
#include "logbook/ui/logdialogs.h"
#include "logbook/ui/logmodel.h"
#include "logbook/ui/logwin.h"
#include "panel/ui/rxctrl2.h"
#include "schedules/ui/listmodel.h"
#include "testkit.h"
#include "common/filebytes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace logging2;

namespace {

QStringList fileLines(const QString &path)
{
    QStringList l = QString::fromUtf8(readBytes(path)).split("\r\n");
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

struct LogWin : ::testing::Test {
    TestApp t;
    FakePanel panel;
    // What each modal dialog does, in the order they open.
    std::deque<std::function<void(QDialog &)>> dialogs;

    void SetUp() override
    {
        t.app.panel = &panel;
        panel.attach(*t.rx);
        t.app.settings[5] = 1; // NO RX: no read on open unless a test wants it
        QFile::copy(sourcePath("data/demo/LOG/LOG_DEMO.TXT"), t.base() + "LOG/LOG_DEMO.TXT");
    }
    void hook(logwin &w)
    {
        w.runDialog = [this](QDialog &d) {
            ASSERT_FALSE(dialogs.empty()) << "unexpected dialog " << qPrintable(d.windowTitle());
            auto f = dialogs.front();
            dialogs.pop_front();
            f(d);
        };
    }
    // A record dialog that is filled with these boxes and confirmed.
    void typeRecord(std::map<int, QString> boxes, bool ok = true)
    {
        dialogs.push_back([boxes, ok](QDialog &d) {
            auto &in = dynamic_cast<loginput &>(d);
            for (auto &[k, v] : boxes) {
                in.txt_in[k]->clear();
                bool ascii = true;
                for (QChar c : v)
                    ascii = ascii && c.unicode() < 0x80;
                if (ascii)
                    QTest::keyClicks(in.txt_in[k], v); // as typed, stopping at the width
                else
                    in.txt_in[k]->insert(v);
            }
            (ok ? in.cmd_OK : in.cmd_cancel)->click();
        });
    }
    void load(logwin &w, const QString &name)
    {
        t.app.files.log = name;
        ASSERT_TRUE(w.read_log_file());
    }
    static void dclick(ListView *v, const QModelIndex &i)
    {
        v->scrollTo(i);
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(i).center());
    }
    // The grid cell of record r showing field k.
    static QModelIndex cellOf(logwin &w, int r, int field)
    {
        for (int c = 0; c < w.model->columnCount(); ++c)
            if (w.model->fieldOf(c) == field)
                return w.model->index(r, c);
        return {};
    }
    // Answers the next selfile / selsave as a user would.
    static void whenDialog(std::function<void()> f) { QTimer::singleShot(0, f); }
    template <typename D> static D *openDialog()
    {
        for (QWidget *tw : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<D *>(tw); d && d->isVisible())
                return d;
        return nullptr;
    }
};

} // namespace

TEST_F(LogWin, OpensWithItsControlsAndEmptyGrid)
{
    logwin w(t.app);
    w.show();
    // Without a log only Load, RX Control and Exit work.
    QStringList on;
    for (QPushButton *b : w.findChildren<QPushButton *>())
        if (b->isEnabled())
            on << b->objectName();
    on.sort();
    EXPECT_EQ(on.join(' '), "cmd_Load cmd_Top cmd_exit cmd_new");
    EXPECT_EQ(w.model->rowCount(), 0);
    EXPECT_EQ(w.book.format, kDefaultFormat);
    // Default format: number, Date, Begin, Frequency, SINPO, Language, BC Org., // 1, // 2.
    EXPECT_EQ(w.model->columnCount(), 9);
    EXPECT_GT(w.grd_log->columnWidth(6), w.grd_log->columnWidth(3));

    load(w, "LOG_DEMO.TXT");
    EXPECT_EQ(w.model->rowCount(), w.book.count());
    EXPECT_GT(w.book.count(), 24);
    EXPECT_TRUE(w.cmd_add->isEnabled());
    EXPECT_TRUE(w.cmd_adif->isEnabled());
    EXPECT_EQ(w.model->rowText(0).split('\t').mid(0, 3), (QStringList{"000", "20261102", "0005"}));

    // Close empties the grid, the table stays; opening again starts empty too.
    w.cmd_Close->click();
    EXPECT_EQ(w.model->rowCount(), 0);
    EXPECT_FALSE(w.cmd_add->isEnabled());
    EXPECT_GT(w.book.count(), 24);
    EXPECT_EQ(t.app.files.log, "LOG_DEMO.TXT");
}

TEST_F(LogWin, RoundTripThroughTheWindow)
{
    QFile::copy(sourcePath("data/demo/LOG/LOG_DEMO.TXT"), t.base() + "LOG/LOG_RT.TXT");
    writeBytes(t.base() + "LOG/LOG_NEW.TXT", {});

    auto w = std::make_unique<logwin>(t.app);
    hook(*w);
    w->show();
    // Load the empty log through the file selection dialog.
    whenDialog([] {
        auto *d = openDialog<selfile>();
        ASSERT_TRUE(d);
        for (int i = 0; i < d->List->count(); ++i)
            if (d->List->item(i)->text() == "LOG_NEW.TXT")
                d->List->setCurrentRow(i);
        d->cmd_OK->click();
    });
    w->cmd_Load->click();
    EXPECT_EQ(t.app.files.log, "LOG_NEW.TXT");
    EXPECT_EQ(t.app.caller_code, callers::Log);
    EXPECT_EQ(w->book.last(), -1);

    typeRecord({{Date, "20261205"}, {BeginTime, "930"}, {Frequency, "9635"}, {Sinpo, "45444"},
                {Organisation, "Radio Nordvik"}, {Abmg, "0041"}});
    w->cmd_add->click();
    typeRecord({{Date, "20261204"}, {BeginTime, "2100"}, {Frequency, "6175,5"},
                {Organisation, QString::fromUtf8("Radio Brêmhaven")}});
    w->cmd_add->click();
    typeRecord({{Date, "20261206"}, {BeginTime, "0015"}, {Frequency, "15120"}, {Organisation, "Voice of Tarsis"},
                {Remarks, "Weak, QSB"}});
    w->cmd_add->click();
    EXPECT_EQ(w->model->rowCount(), 3);
    EXPECT_TRUE(w->book.notSaved);
    EXPECT_EQ(w->book.record(1)[Frequency], "06175.500");
    EXPECT_EQ(w->book.record(0)[BeginTime], "0930");

    // SaveAs: the naming dialog with a new name; the log is saved in date order.
    whenDialog([] {
        auto *d = openDialog<selsave>();
        ASSERT_TRUE(d);
        EXPECT_EQ(d->Cmb_Save->currentText(), "log_xyzxyxxyzxyz.txt");
        d->Cmb_Save->setEditText("LOG_RT2.TXT");
        d->cmd_OK->click();
    });
    w->cmd_savez->click();
    EXPECT_EQ(t.app.files.log, "LOG_RT2.TXT");
    EXPECT_FALSE(w->book.notSaved);
    EXPECT_TRUE(t.prompter.asked.isEmpty()) << qPrintable(t.prompter.lastText());
    QStringList lines = fileLines(t.base() + "LOG/LOG_RT2.TXT");
    ASSERT_EQ(lines.size(), 3);
    // Date order is the default choice: the table is written as entered.
    EXPECT_TRUE(lines[0].startsWith("000 20261205 0930      09635    ")) << qPrintable(lines[0]);

    // Exit (saved: no question), open again, load, sort by frequency.
    w->cmd_exit->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(t.prompter.asked.isEmpty());
    w->show();
    EXPECT_FALSE(w->cmd_add->isEnabled());
    load(*w, "LOG_RT2.TXT");
    dialogs.push_back([](QDialog &d) {
        auto &s = dynamic_cast<selsort2 &>(d);
        s.chk_so[2]->click();
        s.cmd_OK->click();
    });
    w->cmd_sort->click();
    EXPECT_EQ(w->model->cell(0, 3).trimmed(), "06175.500");
    EXPECT_EQ(w->model->cell(2, 3).trimmed(), "15120");

    // Change the first row (Radio Brêmhaven): new SINPO and end time.
    w->grd_log->setCurrentIndex(w->model->index(0, 0));
    dialogs.push_back([](QDialog &d) {
        auto &in = dynamic_cast<loginput &>(d);
        EXPECT_EQ(in.windowTitle(), "Change record 000");
        EXPECT_EQ(in.txt_in[Organisation]->text().trimmed(), QString::fromUtf8("Radio Brêmhaven"));
        in.txt_in[Sinpo]->setText("34333");
        in.txt_in[EndTime]->setText("2130");
        in.cmd_OK->click();
    });
    w->cmd_chg->click();
    EXPECT_EQ(w->book.record(0)[Sinpo], "34333");

    // Delete the last row (Voice of Tarsis).
    w->grd_log->setCurrentIndex(w->model->index(2, 1));
    w->cmd_del->click();
    EXPECT_EQ(t.prompter.lastTitle(), "Check");
    EXPECT_EQ(t.prompter.lastText(), "You are sure you want delete\nrecord 002 about frequency 15120    ?");
    EXPECT_EQ(w->model->rowCount(), 2);

    // Save to the current file (it asks first) and look at the file.
    w->cmd_Save->click();
    EXPECT_EQ(t.prompter.lastText(), "File LOG_RT2.TXT already exist.\nDo you want to replace it ?");
    EXPECT_EQ(t.prompter.lastTitle(), "Save file");
    EXPECT_FALSE(w->book.notSaved);
    lines = fileLines(t.base() + "LOG/LOG_RT2.TXT");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].left(48), QString::fromUtf8("000 20261204 2100 2130 06175.500 34333     Radio"));
    EXPECT_EQ(lines[1].left(32), "001 20261205 0930      09635    ");
}

TEST_F(LogWin, RecordDialogEdges)
{
    logwin w(t.app);
    hook(w);
    w.show();
    load(w, "LOG_DEMO.TXT");
    const int n = w.book.count();
    w.book.notSaved = false;

    // OK with every box empty: nothing added, but the log counts as changed.
    typeRecord({});
    w.cmd_add->click();
    EXPECT_EQ(w.book.count(), n);
    EXPECT_EQ(w.model->rowCount(), n);
    EXPECT_TRUE(w.book.notSaved);

    // Cancel drops the new record.
    dialogs.push_back([&](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), "Input Record " + recordNumber(n));
        EXPECT_EQ(w.book.count(), n + 1);
        dynamic_cast<loginput &>(d).txt_in[Date]->setText("20261201");
        d.reject(); // Escape
    });
    w.cmd_add->click();
    EXPECT_EQ(w.book.count(), n);

    // Typing past a field's width stops at the width.
    typeRecord({{Language, "ENGL"}, {Date, "2026120512"}, {Remarks, QString(50, 'x')}});
    w.cmd_add->click();
    ASSERT_EQ(w.book.count(), n + 1);
    EXPECT_EQ(w.book.record(n)[Language], "ENG");
    EXPECT_EQ(w.book.record(n)[Date], "20261205");
    EXPECT_EQ(w.book.record(n)[Remarks].size(), 40);

    // With the check turned on, a bad field is refused by name and nothing
    // is stored; the dialog stays open until it is right or cancelled.
    const Record before = w.book.record(0);
    w.grd_log->setCurrentIndex(w.model->index(0, 0));
    dialogs.push_back([&](QDialog &d) {
        auto &in = dynamic_cast<loginput &>(d);
        in.chk_check->setChecked(true);
        const struct {
            int field;
            QString text, label;
        } bad[] = {{Date, "20261332", "Date (yyyymmdd)"},
                   {BeginTime, "2575", "Start UTC (hhmm)"},
                   {Frequency, "45444", "Frequency (kHz)"}};
        for (const auto &b : bad) {
            const QString keep = in.txt_in[b.field]->text();
            in.txt_in[b.field]->setText(b.text);
            in.cmd_OK->click();
            EXPECT_TRUE(t.prompter.lastText().startsWith(b.label + ": ")) << qPrintable(t.prompter.lastText());
            EXPECT_TRUE(t.prompter.lastText().endsWith("Nothing was stored."));
            EXPECT_EQ(w.book.record(0), before);
            in.txt_in[b.field]->setText(keep);
        }
        in.cmd_cancel->click();
    });
    w.cmd_chg->click();
    EXPECT_EQ(w.book.record(0), before);
    EXPECT_TRUE(w.checkInput);

    // Change and Delete without a record selected.
    w.grd_log->setCurrentIndex(QModelIndex());
    const int asked = t.prompter.asked.size();
    w.cmd_chg->click();
    w.cmd_del->click();
    ASSERT_EQ(t.prompter.asked.size(), asked + 2);
    EXPECT_EQ(t.prompter.lastText(), "No record Selected");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);

    // Delete answered Cancel keeps the record.
    w.grd_log->setCurrentIndex(w.model->index(1, 0));
    t.prompter.answers.push_back(Prompter::AnsCancel);
    w.cmd_del->click();
    EXPECT_EQ(w.book.count(), n + 1);
}

TEST_F(LogWin, FullTableAndLongFile)
{
    t.app.settings[10] = 1; // DIM LOG: 1001 records
    QStringList many;
    Record r;
    r[Date] = "20261201";
    r[Frequency] = "06175";
    for (int i = 0; i < 1500; ++i)
        many << formatLine(i, r);
    QString err;
    ASSERT_TRUE(textfile::writeLines(t.base() + "LOG/LOG_BIG.TXT", many, &err));
    logwin w(t.app);
    hook(w);
    w.show();
    load(w, "LOG_BIG.TXT");
    EXPECT_EQ(w.book.count(), 1001);
    EXPECT_EQ(w.model->rowCount(), 1001);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    const QString said = t.prompter.lastText();
    EXPECT_TRUE(said.contains("1001 records") && said.contains("\"DIM LOG\" (1)") &&
                said.contains("499 were not loaded")) << said.toStdString();
    EXPECT_EQ(w.model->cell(1000, 0), "000"); // record 1000 shows as 000

    // Save and the way out with Yes refuse to write over the file: its 1,500
    // lines stay. The refusal asks nothing first.
    const auto onDisk = [&] { return readBytes(t.base() + "LOG/LOG_BIG.TXT"); };
    const QByteArray before = onDisk();
    t.prompter.asked.clear();
    w.cmd_Save->click();
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains("499 of its records were not loaded"))
        << t.prompter.lastText().toStdString();
    t.prompter.answers = {Prompter::AnsYes};
    EXPECT_FALSE(w.may_leave());
    EXPECT_TRUE(t.prompter.lastText().contains("SaveAs"));
    EXPECT_EQ(onDisk(), before);
    EXPECT_EQ(w.book.count(), 1001);

    // Add refuses a full table; nothing is written past it.
    w.cmd_add->click();
    EXPECT_EQ(w.book.count(), 1001);
    EXPECT_TRUE(t.prompter.lastText().startsWith("The log is full"));
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(LogWin, NotSavedQuestionOnEveryWayOut)
{
    logwin w(t.app);
    hook(w);
    // Cancel keeps the window; a failed Yes keeps it and the log; No discards.
    struct Case {
        const char *name;
        std::function<void()> leave;
    };
    const Case ways[] = {
        {"Exit", [&] { w.cmd_exit->click(); }},
        {"close box", [&] { w.close(); }},
        {"Escape", [&] { QTest::keyClick(&w, Qt::Key_Escape); }},
    };
    for (const Case &c : ways) {
        w.show();
        w.activateWindow();
        (void)QTest::qWaitForWindowActive(&w);
        load(w, "LOG_DEMO.TXT"); // loading sets the flag
        const int n = w.book.count();
        t.prompter.asked.clear();

        t.prompter.answers.push_back(Prompter::AnsCancel);
        c.leave();
        EXPECT_TRUE(w.isVisible()) << c.name;
        ASSERT_EQ(t.prompter.asked.size(), 1) << c.name;
        EXPECT_EQ(t.prompter.lastText(), "Log file is not saved\nDo you want to save it ?");
        EXPECT_EQ(t.prompter.lastTitle(), "Save File");

        // Yes, but the folder is gone: a message, nothing lost.
        const QString saved = t.app.files.log;
        t.app.files.log = "NOFOLDER/LOG_DEMO.TXT";
        t.prompter.answers.push_back(Prompter::AnsYes);
        c.leave();
        EXPECT_TRUE(w.isVisible()) << c.name;
        EXPECT_EQ(w.book.count(), n);
        EXPECT_TRUE(w.book.notSaved);
        EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation) << c.name;
        EXPECT_TRUE(t.prompter.lastText().contains("LOG_DEMO.TXT"));
        t.app.files.log = saved;

        t.prompter.answers.push_back(Prompter::AnsNo);
        c.leave();
        EXPECT_FALSE(w.isVisible()) << c.name;
        EXPECT_FALSE(w.book.hasTable());
        EXPECT_TRUE(t.app.files.log.isEmpty());
    }
    // Yes saves, then leaves.
    w.show();
    load(w, "LOG_DEMO.TXT");
    w.book.sortChoice = 3;
    t.prompter.answers.push_back(Prompter::AnsYes);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(fileLines(t.base() + "LOG/LOG_DEMO.TXT").first().startsWith("000 20261102"));
}

TEST_F(LogWin, TunesFromFrequencyColumns)
{
    logwin w(t.app);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    load(w, "LOG_DEMO.TXT");
    // Record 7 (Skerry Radio 05920, code 0120), record 10 (13882.500, code 0160).
    t.port.clearWrites();
    dclick(w.grd_log, cellOf(w, 7, Frequency));
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|S199012059200000|H0|H0");
    // A recording or a record names the logged station.
    EXPECT_EQ(t.rx->stationAt(5920000), "Skerry Radio");
    EXPECT_EQ(w.lbl_arf->text(), "5920.000");
    EXPECT_EQ(panel.freq, "5920.000");
    EXPECT_EQ(panel.labels.value(PanelView::MD), t.app.cap.mode.at(2));

    t.port.clearWrites();
    w.grd_log->setCurrentIndex(cellOf(w, 7, Par1));
    QTest::keyClick(w.grd_log, Qt::Key_Return);
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|S199012061750000|H0|H0");

    // SINPO 45444, a date, a record number, a parallel frequency left empty:
    // nothing is sent.
    t.port.clearWrites();
    dclick(w.grd_log, cellOf(w, 0, Sinpo));
    dclick(w.grd_log, cellOf(w, 0, Date));
    dclick(w.grd_log, w.model->index(0, 0));
    dclick(w.grd_log, cellOf(w, 12, Par2));
    t.settle();
    EXPECT_EQ(t.port.trace(), "");

    // A SINPO cell that holds a frequency tunes; an empty code means 0041.
    w.book.record(0)[Sinpo] = "9500 ";
    w.book.record(0)[Abmg] = "    ";
    dclick(w.grd_log, cellOf(w, 0, Sinpo));
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|S199004095000001|H0|H0");

    // Another window's tune shows here too.
    t.rx->frequency_fanout("7000.000");
    EXPECT_EQ(w.lbl_arf->text(), "7000.000");
}

TEST_F(LogWin, GetCurrentSettingTakesWhatTheReceiverIsOnAndTheRowsStation)
{
    t.app.settings[5] = 0;
    t.answerState("113123456200"); // LSB, Inter
    t.app.times.utc_stamp = "20261205 0742";
    logwin w(t.app);
    hook(w);
    w.show();
    QTest::qWait(50);
    t.settle();
    EXPECT_EQ(w.lbl_arf->text(), "12345.620");
    load(w, "LOG_DEMO.TXT");
    // What it fills in after each way the receiver was tuned.
    const std::pair<std::function<void()>, const char *> cases[] = {
        {[&] { t.run([&] { return t.rx->aRefreshPanel(Receiver2::Tell::All); }); }, "12345.620|1130||"},
        {[&] { dclick(w.grd_log, cellOf(w, 7, Frequency)); }, "5920.000|0120|Skerry Radio|"},
        {[&] { // a BDXC row, then a typed value that was refused
             t.rx->tune_from_row(9550, "", "0041", FreqFanout::Bdxc, "Radio Test");
             panel.freq = "40000";
         }, "9550.000|0041|Radio Test|"},
    };
    // On an empty record it fills without asking; the other boxes stay.
    dialogs.push_back([&](QDialog &d) {
        auto &in = dynamic_cast<loginput &>(d);
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
        EXPECT_EQ(t.prompter.lastTitle(), "Replace");
        EXPECT_EQ(t.prompter.lastText(), "You are sure you want to replace the\ncurrent record by current Rx setting\n");
        EXPECT_EQ(in.txt_in[Date]->text(), "20200101");
        in.cmd_OK->click();
    });
    w.cmd_add->click();
    // The AM broadcast is exported as AM.
    w.chooseExportPath = [&](const QString &, const QString &) { return t.base() + "x.adi"; };
    w.cmd_adif->click();
    const QString rec = fileLines(t.base() + "x.adi").filter("Radio Test").value(0);
    EXPECT_TRUE(rec.contains("<MODE:2>AM") && !rec.contains("SUBMODE")) << rec.toStdString();
}

TEST_F(LogWin, SortAndFormatDialogs)
{
    logwin w(t.app);
    hook(w);
    w.show();
    load(w, "LOG_DEMO.TXT");
    // Cancel after a click: the choice stays, nothing is sorted.
    const Record first = w.book.record(0);
    dialogs.push_back([](QDialog &d) {
        auto &s = dynamic_cast<selsort2 &>(d);
        EXPECT_EQ(s.windowTitle(), "Select sort order");
        EXPECT_TRUE(s.chk_so[0]->isChecked());
        s.chk_so[3]->click();
        s.cmd_Cancel->click();
    });
    w.cmd_sort->click();
    EXPECT_EQ(w.book.sortChoice, 3);
    EXPECT_EQ(w.book.record(0), first);

    // Unchecking every field leaves the number column; Escape applies.
    dialogs.push_back([](QDialog &d) {
        auto &f = dynamic_cast<logfmt2 &>(d);
        EXPECT_EQ(f.windowTitle(), "Log Screen Format");
        EXPECT_EQ(f.lbl_tl->text(), "067");
        for (QCheckBox *c : f.chk_fmt)
            if (c->isChecked())
                c->click();
        EXPECT_EQ(f.lbl_tl->text(), "000");
        f.reject();
    });
    w.cmd_fmt->click();
    EXPECT_EQ(w.book.format, "000000000000000");
    EXPECT_EQ(w.model->columnCount(), 1);
    EXPECT_EQ(w.model->rowCount(), w.book.count());

    dialogs.push_back([](QDialog &d) {
        auto &f = dynamic_cast<logfmt2 &>(d);
        f.chk_fmt[Remarks]->click();
        f.chk_fmt[Frequency]->click();
        EXPECT_EQ(f.lbl_tl->text(), "051");
        f.cmd_OK->click();
    });
    w.cmd_fmt->click();
    ASSERT_EQ(w.model->columnCount(), 3);
    EXPECT_EQ(w.model->fieldOf(1), Frequency);
    EXPECT_EQ(w.model->fieldOf(2), Remarks);
    EXPECT_GT(w.grd_log->columnWidth(2), 3 * w.grd_log->columnWidth(1));
}

TEST_F(LogWin, ExportsWhereTheUserChooses)
{
    logwin w(t.app);
    w.show();
    load(w, "LOG_DEMO.TXT");
    QString suggested;
    w.chooseExportPath = [&](const QString &s, const QString &) {
        suggested = s;
        return t.base() + "export" + s.right(4);
    };
    w.cmd_adif->click();
    EXPECT_EQ(suggested, t.base() + "LOG/LOG_DEMO.adi");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Information);
    const QStringList adi = fileLines(t.base() + "export.adi");
    EXPECT_EQ(adi.size(), w.book.count() + 3);
    EXPECT_TRUE(adi.at(1).contains("<CREATED_TIMESTAMP:15>20261205 120000"));
    w.cmd_adx->click();
    EXPECT_EQ(suggested, t.base() + "LOG/LOG_DEMO.adx");
    EXPECT_EQ(fileLines(t.base() + "export.adx").value(0), R"(<?xml version="1.0" encoding="UTF-8"?>)");
    w.cmd_csv->click();
    EXPECT_EQ(fileLines(t.base() + "export.csv").size(), w.book.count() + 1);

    // A folder that is not there: a message naming the file.
    w.chooseExportPath = [&](const QString &, const QString &) { return t.base() + "none/x.csv"; };
    w.cmd_csv->click();
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
    EXPECT_TRUE(t.prompter.lastText().contains("x.csv"));
}

TEST_F(LogWin, NewLogStartsAnEmptyLogUnderANewName)
{
    QFile::remove(t.base() + "LOG/LOG_DEMO.TXT"); // a fresh base directory
    logwin w(t.app);
    hook(w);
    w.show();
    // Names tried in turn: LOG_ and .TXT are added; one that does not fit
    // even so is told with the rule, and the dialog stays for another try.
    auto name = [](QStringList tries) {
        whenDialog([tries] {
            for (const QString &n : tries) {
                auto *d = openDialog<selsave>();
                ASSERT_TRUE(d) << qPrintable(n);
                d->Cmb_Save->setEditText(n);
                d->cmd_OK->click();
            }
        });
    };
    name({"a name far too long", "mine"});
    w.cmd_new->click();
    ASSERT_EQ(t.prompter.asked.size(), 2);
    EXPECT_TRUE(t.prompter.asked[0].text.endsWith("both are added when missing.\nBetween them go at most 12 "
                                                  "characters, without / or \\.\n\"a name far too long\" does not fit."));
    EXPECT_EQ(t.prompter.lastText(), "Something went wrong in saving\nyour loggings to a file ! ! !\nPLEASE TRY AGAIN");
    EXPECT_EQ(t.app.files.log, "LOG_mine.TXT");
    EXPECT_TRUE(w.cmd_add->isEnabled());
    EXPECT_EQ(w.book.count(), 0);
    EXPECT_TRUE(QFileInfo::exists(t.base() + "LOG/LOG_mine.TXT")); // in the Load list from now on
    EXPECT_EQ(w.lbl_file->text(), "Log file: " + QDir::toNativeSeparators(t.base() + "LOG/LOG_mine.TXT"));

    typeRecord({{Date, "20261205"}, {BeginTime, "930"}, {Frequency, "9635"}});
    w.cmd_add->click();
    t.prompter.answers = {Prompter::AnsYes};
    w.cmd_Save->click();
    EXPECT_EQ(fileLines(t.base() + "LOG/LOG_mine.TXT").size(), 1);

    // A name in use is refused and the open log stays; a log not saved is
    // offered for saving first (Cancel: nothing happens).
    name({"LOG_mine.TXT"});
    t.prompter.asked.clear();
    w.cmd_new->click();
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains("already exists")) << qPrintable(t.prompter.lastText());
    EXPECT_EQ(t.app.files.log, "LOG_mine.TXT");
    EXPECT_EQ(w.book.count(), 1);

    // SaveAs over a file answered No: aborted, the file and the name stay.
    writeBytes(t.base() + "LOG/LOG_old.TXT", "old\r\n");
    name({"old"});
    t.prompter.answers = {Prompter::AnsNo};
    w.cmd_savez->click();
    EXPECT_EQ(t.prompter.asked.value(1).text, "This file already exist\nYou want to replace ?");
    EXPECT_EQ(t.prompter.lastText(), "File save action aborted");
    EXPECT_EQ(t.app.files.log + readBytes(t.base() + "LOG/LOG_old.TXT"), "LOG_mine.TXTold\r\n");

    w.book.notSaved = true;
    t.prompter.answers = {Prompter::AnsCancel};
    w.cmd_new->click();
    EXPECT_EQ(t.prompter.lastText(), "Log file is not saved\nDo you want to save it ?");
    EXPECT_EQ(w.book.count(), 1);
    EXPECT_FALSE(openDialog<selsave>());
}

// Pictures of the log window and its dialogs for a look by eye:
// VOR_SCREENSHOT=/tmp writes log*.png.
TEST_F(LogWin, Screenshots)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    logwin w(t.app);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    load(w, "LOG_DEMO.TXT");
    w.lbl_arf->setText("9635.000");
    w.grd_log->setCurrentIndex(w.model->index(3, 3));
    QTest::qWait(100);
    EXPECT_TRUE(w.grab().save(out + "/log.png"));
    auto shot = [&](QDialog &d, const QString &name) {
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        QTest::qWait(50);
        EXPECT_TRUE(d.grab().save(out + "/" + name));
        d.hide();
    };
    loginput in(t.app, w);
    in.load("Change record 003", w.book.record(3));
    shot(in, "loginput.png");
    selsort2 s(w);
    shot(s, "selsort2.png");
    logfmt2 f(w);
    shot(f, "logfmt2.png");
}
