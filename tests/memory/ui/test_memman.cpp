// The memory manager window against a fake receiver memory: fetch, fill,
// load, save, sort, clear, print, tune, scan and the cell editor.
#include "files/ui/filedialogs.h"
#include "memory/mem2.h"
#include "memory/ui/memcell.h"
#include "memory/ui/memman.h"
#include "common/filebytes.h"
#include "memory/fakemem.h"
#include "sim/simwait.h"
#include "a11y.h"
#include "uikit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QString cell(QTableWidget *g, int r, int c)
{
    QTableWidgetItem *it = g->item(r, c);
    return it ? it->text() : QString();
}

// A message as "title: text".
QString said(const RecordingPrompter::Asked &a) { return a.title + ": " + a.text; }

// Rows r to r + n - 1 as tab-joined cells (empty ones at the end left
// out), joined by "/".
QString rowOf(QTableWidget *g, int r, int n = 1)
{
    QStringList rows;
    for (; n-- > 0; ++r) {
        QStringList cells;
        for (int c = 0; c < g->columnCount(); ++c)
            cells << cell(g, r, c);
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        rows << cells.join('\t');
    }
    return rows.join('/');
}

struct MemWin : ::testing::Test {
    TestApp t;
    FakeMemory fake;
    FakePanel panel;
    QPointer<MemMan> w;
    mem2::MemTable &tab = mem2::table();

    void SetUp() override
    {
        tab = mem2::MemTable{};
        t.app.panel = &panel;
        panel.attach(*t.rx);
        fake.ch[0] = "004095000000";  // 9500 kHz AM
        fake.ch[1] = "013071505001";  // 7150.5 kHz LSB
        fake.ch[2] = "112151100002";
        fake.ch[3] = "9#x095000005";  // malformed codes
        fake.ch[4] = "004177750000";
        fake.ch[40] = "004060000001";
        fake.ch[120] = "016039850000";
        fake.attach(t.port);
        w = new MemMan(t.app);
        w->show();
    }
    void TearDown() override { delete w; }

    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Clicks and confirms the question and its message.
    void confirm(QPushButton *b)
    {
        t.prompter.answers = {Prompter::AnsYes, Prompter::AnsOk};
        click(b);
    }
    void fetch()
    {
        confirm(w->cmd_fetch);
        t.settle();
    }
    // The selection labels as "cell|freq|tag".
    QString selection() const
    {
        return w->lbl_cell->text() + '|' + w->lbl_freq->text() + '|' + w->lbl_tag->text();
    }
    QStringList sent(const QStringList &prefixes) const { return sentWith(t.port, prefixes); }
    // Waits until n channels in all were recalled ("C" commands sent).
    bool recalled(qsizetype n)
    {
        return waitUntil([&] { return sent({"C"}).size() >= n; }, 60000);
    }
    void writeMem(const QString &name, const QByteArray &bytes)
    {
        writeBytes(t.base() + "MEM/" + name, bytes);
        t.app.files.mem = name;
    }
    // The receiver let go and its lock indicator off.
    bool released() const { return !t.rx->held() && panel.lockOn == 0; }
    bool allEnabled() const
    {
        for (QPushButton *b : {w->cmd_fetch, w->cmd_fill, w->cmd_SetRx, w->cmd_scan, w->cmd_sort,
                               w->cmd_Load, w->cmd_SaveAs, w->cmd_Close, w->cmd_prt, w->cmd_exit,
                               w->cmd_rxctrl, w->cmd_change, w->cmd_copy, w->cmd_del, w->cmd_dump})
            if (!b->isEnabled())
                return false;
        return true;
    }
};

} // namespace

// (The buttons locked while the receiver is used: the scan's test.)
TEST_F(MemWin, WithNoReceiverItsButtonsStayOffAndRxControlBringsThePanel)
{
    t.app.settings.setNoRx(true);
    w->set_mem_buttons(true);
    EXPECT_FALSE(w->cmd_fetch->isEnabled());
    EXPECT_FALSE(w->cmd_scan->isEnabled());
    EXPECT_TRUE(w->cmd_sort->isEnabled());

    click(w->cmd_rxctrl);
    EXPECT_EQ(panel.fronts, 1);
}

TEST_F(MemWin, FetchReadsEveryChannelInOrder)
{
    // The command trace itself is checked with the transfer; here the RTTY
    // stop "X0" CR "X0" CR must go out as one write.
    fetch();
    const auto &wr = t.port.writes();
    EXPECT_TRUE(std::any_of(wr.begin(), wr.end(), [](const auto &x) { return x.bytes == "X0\rX0\r"; }));

    // Channel 199: the working settings.
    EXPECT_EQ(tab.rec[0] + '|' + tab.rec[5] + '|' + tab.rec[199], "L000004095000000|L005V|L199004095000000");
    // Channel 3's reply cannot be read: it is unknown, never data.
    EXPECT_EQ(rowOf(w->grd_mem, 0, 6), "000\t 9500\t Off\tWide\tAM\tSlow/001\t 7150.5\t Off\tInter\tLSB\tFast/"
                                       "002\t 15110\t On\tInter\tUSB\t Off/003\tunknown/004\t 17775\t Off\tWide\tAM\tSlow/"
                                       "005\tno data");
    EXPECT_EQ(w->grd_mem->rowCount(), 201);
    EXPECT_EQ(rowOf(w->grd_mem, 200), "");

    EXPECT_EQ(said(t.prompter.asked[0]),
              "Fetch RX memory: Do you want to capture the NRD-535\nmemory and replace possible data in\nthe MemMan Window");
    EXPECT_EQ(said(t.prompter.asked.last()), "Fetch Rx ready: Rx memory is now loaded\nin the MemMan Window");
    EXPECT_TRUE(released());
    EXPECT_TRUE(panel.bwcCleared >= 1 && panel.pbsCleared >= 1);
    EXPECT_TRUE(allEnabled());
    EXPECT_EQ(w->lbl_cell->text() + w->lbl_tag->text(), "");

    // VOR_SCREENSHOT=dir saves pictures of the window and the cell editor.
    const QString shots = qEnvironmentVariable("VOR_SCREENSHOT");
    if (!shots.isEmpty()) {
        tab.tag[0] = "Radio Meridian - World Service";
        w->show_row(0);
        w->select_row(0);
        w->grd_mem->selectRow(0);
        QTest::qWait(200);
        w->grab().save(shots + "/memman.png");
        w->open_cell(MemMan::ActChange);
        QTest::qWait(200);
        w->cellEditor()->grab().save(shots + "/memcell.png");
    }
}

TEST_F(MemWin, RefusedOrSilentFetchKeepsTheTableAndSplitRepliesJoin)
{
    tab.rec[0] = "L000004095000000";
    tab.tag[0] = "old data";
    t.prompter.answers = {Prompter::AnsNo};
    click(w->cmd_fetch);
    EXPECT_TRUE(t.port.commands().isEmpty());

    // Silent from the start: the old table and its rows stay.
    fake.silentAfter = 0;
    fetch();
    EXPECT_EQ(tab.rec[0], "L000004095000000");
    EXPECT_EQ(rowOf(w->grd_mem, 0), "000\t 9500\t Off\tWide\tAM\tSlow\told data");
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_FALSE(t.port.trace().contains("L000000"));
    EXPECT_TRUE(released());
    EXPECT_TRUE(allEnabled());

    fake.silentAfter = -1;
    fake.splitReplies = true;
    fetch();
    EXPECT_EQ(tab.rec[1] + '|' + tab.rec[6], "L001013071505001|L006V");
    EXPECT_TRUE(tab.tag[0].isEmpty());
}

TEST_F(MemWin, ClosingTheWindowDuringAFetchReleasesTheReceiver)
{
    QTimer::singleShot(400, w, [this] { w->close(); });
    fetch();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_TRUE(released());
    EXPECT_TRUE(t.port.trace().endsWith("H0|H0")) << t.port.trace().toStdString();
    EXPECT_FALSE(t.port.trace().contains("L199199|H0")); // stopped early
}

TEST_F(MemWin, RoundTripFetchSaveClearLoadSortFill)
{
    fetch();
    tab.tag[0] = "Vanguard Relay, \"Evening\"";
    tab.tag[4] = "Caf\u00e9 Musique";
    tab.tag[5] = "tag of an empty channel";
    const mem2::MemTable fetched = tab;

    t.app.files.mem = "MEM_RT.TXT";
    w->save_mem_file();
    EXPECT_EQ(said(t.prompter.asked.last()), "Save file ready: Data in MemMan window is now\nsaved to the file MEM_RT.TXT");
    t.prompter.answers = {Prompter::AnsNo};
    click(w->cmd_Close);
    EXPECT_EQ(tab.filledCount(), 0);
    EXPECT_EQ(rowOf(w->grd_mem, 0), "");
    EXPECT_EQ(w->grd_mem->rowCount(), 201);

    w->load_mem_file();
    EXPECT_EQ(w->grd_mem->rowCount(), 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(tab.rec[i] + '|' + tab.tag[i], fetched.rec[i] + '|' + (i == 5 ? QString() : fetched.tag[i])) << i;
    EXPECT_EQ(rowOf(w->grd_mem, 0), "000\t 9500\t Off\tWide\tAM\tSlow\tVanguard Relay, \"Evening\"");

    confirm(w->cmd_sort);
    EXPECT_EQ(t.prompter.lastTitle(), "Frequency sort ready");
    EXPECT_EQ(tab.rec[0].mid(4) + '|' + tab.rec[199], "016039850000|L199V"); // 3985 kHz first

    // What the fill sends is the transfer's test; the malformed record
    // (channel 3's reply) is never sent.
    t.port.clearWrites();
    confirm(w->cmd_fill);
    t.settle();
    EXPECT_EQ(t.prompter.lastTitle(), "Fill Rx ready");
    EXPECT_TRUE(t.port.trace().contains("K000016039850000|") && t.port.trace().contains("|U5199|"));
    EXPECT_FALSE(t.port.trace().contains("#x"));
}

TEST_F(MemWin, FillRangeIsSwappedAndCheckedAndNeverFilledClears)
{
    tab.rec[20] = "L020004095000000";
    tab.rec[21] = "L021V";
    // tab.rec[22] never filled
    w->txt_from->setText("150");
    w->txt_to->setText("20");
    confirm(w->cmd_fill);
    t.settle();
    EXPECT_EQ(t.prompter.asked[0].title, "Fill NRD-535 Memory");
    // The described question, and after it how many channels would be emptied.
    EXPECT_EQ(t.prompter.asked[0].text,
              "Are sure you want to overwrite the NRD-535\nmemorycells   20  to   150\n"
              "with the data from the MemMan Window"
              "\n\n130 of these channels hold no data in the MemMan Window\n"
              "and will be emptied in the receiver.");
    const QStringList writes = sent({"K", "U5"});
    ASSERT_EQ(writes.size(), 131);
    EXPECT_EQ(writes.mid(0, 3) + writes.mid(130), (QStringList{"K020004095000000", "U5021", "U5022", "U5150"}));
    EXPECT_EQ(t.prompter.lastText(), "MemMan data is now \nloaded in the Rx memory");
    EXPECT_TRUE(released());

    // "From" 199 is refused, even with "To" 199; the boxes go back to defaults.
    t.port.clearWrites();
    t.prompter.asked.clear();
    w->txt_from->setText("199");
    w->txt_to->setText("199");
    w->txt_delay->setText("3");
    click(w->cmd_fill);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(said(t.prompter.asked.last()), QString::fromUtf8("\u00CBrror: Input Error"));
    EXPECT_EQ(w->txt_from->text() + '|' + w->txt_to->text() + '|' + w->txt_delay->text(), "0|199|1");
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(MemWin, SaveLoadMessagesAndFailures)
{
    click(w->cmd_SaveAs);
    EXPECT_EQ(said(t.prompter.asked.last()), "Save file error: No data loaded in the\nMemMan Window");

    // Sort needs a full table; "Clr" answered Cancel clears nothing.
    tab.rec[0] = "L000004095000000";
    click(w->cmd_sort);
    EXPECT_EQ(t.prompter.lastTitle(), "No data to sort");
    t.prompter.answers = {Prompter::AnsCancel};
    click(w->cmd_Close);
    EXPECT_EQ(tab.rec[0], "L000004095000000");

    // A file that is not there: the message names it; the table stays.
    t.app.files.mem = "MEM_GONE.TXT";
    w->load_mem_file();
    EXPECT_TRUE(t.prompter.lastText().contains("MEM_GONE.TXT"));
    EXPECT_EQ(tab.rec[0], "L000004095000000");
    EXPECT_TRUE(allEnabled());

    // A short file leaves blank rows for the missing channels.
    writeMem("MEM_SHORT.TXT", "L000004095000000 one\r\nL001V \r\n \r\n");
    w->load_mem_file();
    EXPECT_EQ(rowOf(w->grd_mem, 0, 4),
              "000\t 9500\t Off\tWide\tAM\tSlow\tone/001\tno data/002\t 0\t Off\tWide\tRTTY\tSlow/");
    EXPECT_EQ(w->grd_mem->rowCount(), 200);

    // Lines past channel 199 are not loaded: said on load, and a save over
    // that file is refused (the file keeps them); another name saves.
    QByteArray many;
    for (int i = 0; i < 203; ++i)
        many +=
            "L" + mem2::ch3(i % 200).toLatin1() + "004095000000 n" + QByteArray::number(i) + "\r\n";
    writeMem("MEM_LONG.TXT", many);
    w->load_mem_file();
    EXPECT_TRUE(t.prompter.lastText().contains("3 lines past channel 199"))
        << t.prompter.lastText().toStdString();
    t.prompter.answers = {Prompter::AnsYes};
    w->save_mem_file();
    EXPECT_TRUE(t.prompter.lastText().contains("not replaced"))
        << t.prompter.lastText().toStdString();
    EXPECT_EQ(readBytes(t.base() + "MEM/MEM_LONG.TXT"), many);
    t.app.files.mem = "MEM_LONG2.TXT";
    w->save_mem_file();
    EXPECT_EQ(t.prompter.lastTitle(), "Save file ready");
}

TEST_F(MemWin, GridClickShowsTheSelectionAndSetR2MTunes)
{
    fetch();
    tab.tag[40] = "Evening news";
    t.port.clearWrites();
    w->select_row(40);
    EXPECT_EQ(selection(), "040|06000.000|Evening news");
    EXPECT_EQ(tab.mem_row, 40);

    t.rx->noteFrequency(6000000, Origin::Receiver);
    click(w->cmd_SetRx);
    t.settle();
    EXPECT_TRUE(t.port.trace().startsWith("H1|H1|C040|H0|H0|H1|H1|U11|J1199|L199199|H0|H0"))
        << t.port.trace().toStdString();
    EXPECT_EQ(w->lbl_freq->text(), panel.freq);

    // Double click on lbl_cell clears the three labels.
    QTest::mouseDClick(w->lbl_cell, Qt::LeftButton);
    EXPECT_EQ(selection(), "||");
}

TEST_F(MemWin, FastReadOutIsAnOptionKeptInTheSettings)
{
    // Off by default; the choice is stored with the settings.
    EXPECT_FALSE(w->chk_fast->isChecked());
    w->chk_fast->click();
    EXPECT_TRUE(t.app.settings.fast_mem_read);
    Settings back;
    QString error;
    ASSERT_TRUE(settingsfile::load(t.base() + settingsfile::fileName, &back, &error)) << error.toStdString();
    EXPECT_TRUE(back.fast_mem_read);

    // One read-out for all; channel 3's malformed record is read again on
    // its own and named.
    fetch();
    EXPECT_TRUE(t.port.trace().contains("|X0|X0|L000199|L003003|H0|H0")) << t.port.trace().toStdString();
    EXPECT_EQ(said(t.prompter.asked[1]), "Fetch Rx ready: The reply for 1 channel could not be read, twice:\n"
                                         "003  \"L0039#x09500000\"\nIt is kept as unknown and never written to the receiver.");
}

TEST_F(MemWin, SetR2MSaysWhenTheRowIsNotWhatTheReceiverHolds)
{
    // Each step: what changes, the row recalled, and the words of the note
    // that follows the recall ("" = none: the row is what the receiver holds).
    const struct {
        std::function<void()> prepare;
        int row;
        const char *note;
    } steps[] = {
        {[] {}, 40, "not known here"},
        {[&] { fetch(); }, 40, ""},
        {[&] { tab.rec[40] = "L040004070000001"; }, 40, "holds 06000.000 kHz there"},
        {[&] { tab.rec[50] = "L050004070000001"; }, 50, "empty in the receiver"},
        {[&] {
             w->txt_from->setText("40");
             w->txt_to->setText("40");
             confirm(w->cmd_fill);
             t.settle();
         }, 40, ""},
        {[&] { writeMem("MEM_A.TXT", "L000004070000001 A\r\n"); w->load_mem_file(); }, 0,
         "holds 09500.000 kHz there"},
    };
    for (const auto &s : steps) {
        s.prepare();
        t.prompter.asked.clear();
        t.port.clearWrites();
        w->select_row(s.row);
        emit w->grd_mem->cellDoubleClicked(s.row, 0);
        t.settle();
        SCOPED_TRACE(s.note);
        EXPECT_EQ(sent({"C"}), QStringList{"C" + mem2::ch3(s.row)});   // recalled all the same
        if (!*s.note) {
            EXPECT_TRUE(t.prompter.asked.isEmpty()) << said(t.prompter.asked.value(0)).toStdString();
            continue;
        }
        ASSERT_EQ(t.prompter.asked.size(), 1);
        EXPECT_TRUE(said(t.prompter.asked[0]).contains(s.note)) << said(t.prompter.asked[0]).toStdString();
        EXPECT_TRUE(t.prompter.asked[0].text.contains("Fill RM first (From and To " + mem2::ch3(s.row)));
    }
}

TEST_F(MemWin, ScanWrapsFrom190To5GoesOnAfterAMissedReplyAndStops)
{
    t.app.replyTimeoutMs = 200;
    w->txt_from->setText("190");
    w->txt_to->setText("5");
    w->txt_delay->setText("0.1");
    click(w->cmd_scan);
    EXPECT_TRUE(w->scanning());
    EXPECT_TRUE(w->cmd_scan->isHidden());
    EXPECT_TRUE(w->cmd_scanho->isVisible() && w->cmd_scanho->isEnabled() && w->txt_from->isEnabled());
    EXPECT_FALSE(w->cmd_fetch->isEnabled() || w->cmd_exit->isEnabled());
    EXPECT_TRUE(t.rx->held());
    EXPECT_EQ(w->tmr_scan->interval(), 100);

    // The walk itself (and its turn back to 190) is the scan range's test.
    // A reply missed on the way is shown and told once; the scan goes on.
    ASSERT_TRUE(recalled(2));
    fake.silentAfter = fake.readouts; // silent from here
    ASSERT_TRUE(recalled(5));
    fake.silentAfter = -1;
    ASSERT_TRUE(recalled(12));
    EXPECT_TRUE(w->scanning());
    EXPECT_TRUE(w->lbl_status->text().startsWith("no reply ")) << w->lbl_status->text().toStdString();
    EXPECT_TRUE(w->lbl_status->text().contains("missed"));
    EXPECT_EQ(std::count_if(t.prompter.asked.begin(), t.prompter.asked.end(),
                            [](const auto &a) { return a.title == "Receiver"; }), 1);
    EXPECT_EQ(a11y::hiddenLabels(w), QStringList());
    click(w->cmd_scanho);
    t.settle();
    EXPECT_EQ(sent({"C"}).mid(0, 12).join('|'), "C190|C191|C192|C193|C194|C195|C196|C197|C198|C199|C000|C001");
    EXPECT_FALSE(w->scanning());
    EXPECT_TRUE(released());
    EXPECT_TRUE(w->cmd_scanho->isHidden());
    EXPECT_TRUE(allEnabled());

    // An invalid delay is refused with the three boxes reset.
    w->txt_delay->setText("20");
    click(w->cmd_scan);
    EXPECT_EQ(t.prompter.lastText(), "Input Error");
    EXPECT_FALSE(w->scanning());
    EXPECT_EQ(w->txt_from->text(), "0");
}

TEST_F(MemWin, NoScanWhileTheReceiverIsBeingTakenLeavesItReleased)
{
    // "NO  Scan" pressed between the two H1 of the scan's start: the
    // receiver and the lock indicator must end released, not held.
    auto inner = t.port.responder;
    bool armed = true;
    t.port.responder = [&, inner](const QByteArray &c) {
        if (armed && c == "H1") {
            armed = false;
            QTimer::singleShot(0, w->cmd_scanho, [this] { click(w->cmd_scanho); });
        }
        return inner(c);
    };
    click(w->cmd_scan);
    t.settle();
    EXPECT_FALSE(w->scanning());
    EXPECT_TRUE(released());
    QString lastH;
    for (const QString &c : t.port.commands())
        if (c == "H0" || c == "H1")
            lastH = c;
    EXPECT_EQ(lastH, "H0") << t.port.trace().toStdString();
    EXPECT_FALSE(w->tmr_scan->isActive());
    EXPECT_TRUE(allEnabled());
}

TEST_F(MemWin, PrintGoesToAPdfThroughTheSeam)
{
    click(w->cmd_prt);
    EXPECT_EQ(t.prompter.lastTitle(), "Nothing to Print");

    fetch();
    QTemporaryDir out;
    const QString pdf = out.path() + "/mem.pdf";
    w->choosePrinter = [&](QPrinter &p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    t.app.files.mem = "mem_demo.txt";
    w->txt_from->setText("190");
    w->txt_to->setText("5");
    t.prompter.answers = {Prompter::AnsYes};
    click(w->cmd_prt);
    EXPECT_EQ(said(t.prompter.asked.last()), "Memories to Printer: You want to print the contents\n"
                                              "of memorycells   190  to   5\nincluding the filled-in alpha tags");
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_GT(QFileInfo(pdf).size(), 500);

    // A long listing runs over several pages without trouble.
    QPrinter p(QPrinter::HighResolution);
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(out.path() + "/all.pdf");
    MemMan::render_lines(mem2::printLines(t.app.cap, tab, "MEM_ALL.TXT", 0, 199), p);
    EXPECT_GT(QFileInfo(out.path() + "/all.pdf").size(), QFileInfo(pdf).size());
}

// --- the cell editor --------------------------------------------------------

struct CellEd : MemWin {
    memcell *open(int action, int row)
    {
        tab.mem_row = int16_t(row);
        w->open_cell(action);
        return w->cellEditor();
    }
};

// Alt+letter of every button and field label, per window: a letter used
// twice only moves the focus between its owners and never presses a button.
static QStringList mnemonicClashes(QWidget *win)
{
    static const QRegularExpression amp("&(.)"); // "&&" is a shown "&"
    QMap<QChar, QStringList> owners;
    auto take = [&](const QString &text, const QString &who) {
        for (auto m = amp.globalMatch(text); m.hasNext();)
            if (const QChar c = m.next().captured(1).at(0); c != '&')
                return void(owners[c.toLower()] << who);
    };
    for (QAbstractButton *b : win->findChildren<QAbstractButton *>())
        take(b->text(), b->objectName());
    for (QLabel *l : win->findChildren<QLabel *>())
        if (l->buddy())
            take(l->text(), l->text());
    QStringList out;
    for (auto it = owners.cbegin(); it != owners.cend(); ++it)
        if (it->size() > 1)
            out << QString(it.key()) + ": " + it->join(", ");
    return out;
}

TEST_F(CellEd, RefusedWithoutDataExceptDumpAndEveryAltLetterUnique)
{
    EXPECT_EQ(mnemonicClashes(w).join(" | ").toStdString(), "");
    for (const auto &[b, title] : {std::pair{w->cmd_change, "Change Mem error"}, {w->cmd_copy, "Copy Mem error"},
                                   {w->cmd_del, "Delete Mem error"}}) {
        click(b);
        EXPECT_EQ(t.prompter.lastTitle(), title);
    }
    EXPECT_EQ(w->cellEditor(), nullptr);
    click(w->cmd_dump);
    ASSERT_NE(w->cellEditor(), nullptr);
    EXPECT_EQ(w->cellEditor()->lbl_action->text(), "Dump");
    EXPECT_EQ(mnemonicClashes(w->cellEditor()).join(" | ").toStdString(), "");
    EXPECT_EQ(a11y::hiddenLabels(w->cellEditor()), QStringList());
    EXPECT_EQ(w->cellEditor()->txt_freqmem->text(), "");
}

TEST_F(CellEd, ShowsTheRowAndCopiesToAnotherChannel)
{
    tab.rec[1] = "L001013071505001";
    tab.tag[1] = "Coastal";
    memcell *c = open(MemMan::ActCopy, 1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->lbl_action->text(), "Copy");
    EXPECT_EQ(QStringList({c->cmb_cell->currentText(), c->txt_freqmem->text(), c->cmb_att->currentText(),
                           c->cmb_bw->currentText(), c->cmb_md->currentText(), c->cmb_agc->currentText(),
                           c->txt_tag->text()}).join('|'),
              "001|07150.500| Off|Inter|LSB|Fast|Coastal"); // the editor's boxes

    c->cmb_cell->setCurrentIndex(9);
    c->txt_freqmem->setText("7150,5"); // comma as decimal separator
    confirm(c->cmd_ToMMW);
    EXPECT_EQ(t.prompter.asked[0].text,
              "You want to fill the MemMan\nWindow cell 009 with the\nsettings shown");
    EXPECT_EQ(t.prompter.lastText(), "MeMan Window cell\n009 is now updated");
    EXPECT_EQ(tab.rec[9] + '|' + tab.tag[9] + '|' + tab.rec[1], "L009013071505001|Coastal|L001013071505001");
    EXPECT_EQ(rowOf(w->grd_mem, 9), "009\t 7150.5\t Off\tInter\tLSB\tFast\tCoastal");
    EXPECT_TRUE(t.port.commands().isEmpty());

    confirm(c->cmd_ToRM);
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|K009013071505001|H0|H0");
    EXPECT_EQ(said(t.prompter.asked.last()), "Receiver memory is changed: Reciver memory cell\n009 is now updated");
}

TEST_F(CellEd, DeleteGivesEmptyRecordsAndNeverFilledBecomesV)
{
    tab.rec[5] = "L005004095000000";
    tab.tag[5] = "gone";
    memcell *c = open(MemMan::ActDelete, 5);
    confirm(c->cmd_ToMMW);
    EXPECT_EQ(t.prompter.asked[0].text, "You want to empty the MemMan\nWindow cell 005");
    EXPECT_EQ(tab.rec[5] + '|' + tab.tag[5] + '|' + rowOf(w->grd_mem, 5) + '|' + c->txt_freqmem->text(),
              "L005V||005\tno data|");

    c->cmb_cell->setCurrentIndex(7); // never filled
    confirm(c->cmd_ToMMW);
    EXPECT_EQ(tab.rec[7] + '|' + rowOf(w->grd_mem, 7), "V|007\tno data");

    confirm(c->cmd_ToRM);
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|U5007|H0|H0");

    // A refused confirmation changes nothing.
    t.port.clearWrites();
    c->cmb_cell->setCurrentIndex(0);
    tab.rec[0] = "L000004095000000";
    t.prompter.answers = {Prompter::AnsNo, Prompter::AnsCancel};
    click(c->cmd_ToMMW);
    click(c->cmd_ToRM);
    EXPECT_EQ(tab.rec[0], "L000004095000000");
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(CellEd, BadFrequencyOrEmptyCodeBoxIsRefusedBeforeAnyWrite)
{
    tab.rec[2] = "L002004095000000";
    memcell *c = open(MemMan::ActChange, 2);
    const QString before = tab.rec[2];
    for (const char *f : {"5", "30000", "", "abc"}) {
        c->txt_freqmem->setText(f);
        t.prompter.asked.clear();
        click(c->cmd_ToMMW);
        click(c->cmd_ToRM);
        ASSERT_EQ(t.prompter.asked.size(), 2) << f;
        EXPECT_TRUE(t.prompter.lastText().contains("10 and 29999.999 kHz")) << f;
    }
    c->txt_freqmem->setText("29999.999");
    c->cmb_md->setCurrentIndex(-1);
    t.prompter.asked.clear();
    click(c->cmd_ToMMW);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains("Mode"));
    // The reserved Narr slot (no narrow filter fitted) counts as empty.
    c->cmb_md->setCurrentIndex(4);
    c->cmb_bw->setCurrentIndex(2);
    click(c->cmd_ToRM);
    EXPECT_TRUE(t.prompter.lastText().contains("Bw"));
    EXPECT_EQ(tab.rec[2], before);
    EXPECT_TRUE(t.port.commands().isEmpty());

    c->cmb_bw->setCurrentIndex(3);
    confirm(c->cmd_ToMMW);
    EXPECT_EQ(tab.rec[2], "L002034299999990");
}

// --- faults found in use ----------------------------------------------------

TEST_F(MemWin, ACompleteFetchKeepsABackupAndOpeningKeepsTheRowLastClicked)
{
    fake.ch[3] = "004095000001"; // no malformed reply: the fetch is complete
    fetch();
    ASSERT_TRUE(saveNameAccepted(mem2::kBackupName, "MEM_"));
    mem2::MemTable b;
    ASSERT_TRUE(mem2::readMemFile(t.base() + "MEM/" + mem2::kBackupName, b, nullptr, nullptr));
    EXPECT_EQ(b.rec[1], "L001013071505001");
    w->select_row(40);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(w.isNull());

    // Opened again and given the focus: the row stays, the labels stay empty.
    w = new MemMan(t.app);
    w->show();
    w->activateWindow();
    w->grd_mem->setFocus();
    QTest::qWait(50);
    EXPECT_EQ(tab.mem_row, 40);
    EXPECT_EQ(w->lbl_cell->text(), "");
    EXPECT_EQ(w->grd_mem->currentRow(), 40);
    // The grid is empty; a line says that the table is not.
    EXPECT_TRUE(w->lbl_held->isVisible() && rowOf(w->grd_mem, 0).isEmpty());
    EXPECT_EQ(w->lbl_held->text(), "The table still holds the 200 channels of the last fetch; Save writes them");

    // The blank row under channel 199 is no channel.
    w->select_row(200);
    t.prompter.asked.clear();
    click(w->cmd_change);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastTitle(), "Change Mem error");
    EXPECT_TRUE(t.prompter.lastText().startsWith("Row 200 holds no memory channel."));
    EXPECT_EQ(w->cellEditor(), nullptr);
}

TEST_F(CellEd, CodesWithoutACaptionSurviveTheEditor)
{
    // ATT 2, Narr without the filter, AM-U without ECSS, AGC 3.
    tab.rec[2] = "L002227095000003";
    memcell *c = open(MemMan::ActChange, 2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->txt_freqmem->text(), "09500.000");
    confirm(c->cmd_ToMMW);
    EXPECT_EQ(t.prompter.lastTitle(), "MemMan Window is changed");
    EXPECT_EQ(tab.rec[2], "L002227095000003");

    // Copied to another channel they go along, but never into the receiver,
    // which cannot hold them.
    c->cmb_cell->setCurrentIndex(9);
    t.prompter.answers = {Prompter::AnsYes, Prompter::AnsOk, Prompter::AnsYes, Prompter::AnsOk};
    click(c->cmd_ToMMW);
    EXPECT_EQ(tab.rec[9], "L009227095000003");
    click(c->cmd_ToRM);
    t.settle();
    EXPECT_EQ(t.port.trace(), "");
    EXPECT_EQ(t.prompter.lastText(), "The receiver cannot hold the settings shown:\n"
                                     "attenuator code 2 is not one of the receiver's (0 to 1);\nnothing was sent.");

    // A box the user picks from takes the choice.
    c->cmb_bw->setCurrentIndex(0);
    emit c->cmb_bw->activated(0);
    EXPECT_EQ(c->build_record(), "L009207095000003");
}

TEST_F(MemWin, ASaveOverAFileChangedOnDiskSaysSoFirstAndOffersSaveAs)
{
    const QString path = t.base() + "MEM/MEM_DEMO.TXT";
    copyDemo("data/demo/MEM/MEM_DEMO.TXT", path);
    t.app.files.mem = "MEM_DEMO.TXT";
    w->load_mem_file();
    EXPECT_GT(tab.filledCount(), 20);
    // Another program sorts the file and saves it: the same size, other lines.
    QList<QByteArray> lines = readBytes(path).split('\n');
    std::swap(lines[0], lines[1]);
    const QByteArray theirs = lines.join('\n');
    writeBytes(path, theirs);
    // Cancel; replace anyway, but No to the described question; Save As.
    t.prompter.asked.clear();
    t.prompter.answers = {Prompter::AnsCancel, Prompter::AnsYes, Prompter::AnsNo, Prompter::AnsOk,
                          Prompter::AnsNo};
    whenShown<selsave>([](selsave &d) {
        d.Cmb_Save->setEditText("MEM_MINE.TXT");
        d.cmd_OK->click();
    });
    for (int i = 0; i < 3; ++i)
        w->save_mem_file();
    QStringList seen;
    for (const auto &a : t.prompter.asked)
        seen << said(a).section('\n', 0, 0);
    const QString changed = "Save File: MEM_DEMO.TXT was changed on disk since it was loaded or saved here.";
    EXPECT_EQ(seen, QStringList({changed, changed, "Save File: This file already exist",
                                 "Save File: File save action aborted", changed,
                                 "Save file ready: Data in MemMan window is now"}));
    EXPECT_EQ(t.prompter.lastText(), "Data in MemMan window is now\nsaved to the file MEM_MINE.TXT");
    EXPECT_EQ(readBytes(path), theirs);
    EXPECT_TRUE(allEnabled());
    t.app.files.mem = "MEM_DEMO.TXT"; // replaced anyway
    w->save_mem_file();
    EXPECT_NE(readBytes(path), theirs);
    // Opened again, the window says where the table came from.
    delete w;
    w = new MemMan(t.app);
    EXPECT_EQ(w->lbl_held->text(), QString("The table still holds the %1 channels of the file loaded "
                                           "(MEM_DEMO.TXT); Save writes them").arg(tab.filledCount()));
}

// CSV in and out: a file the rig-control memory tool wrote fills the table
// (never the receiver); a file with a bad row changes nothing and names the
// row; the export writes the chosen layout.
TEST_F(MemWin, CsvFillsOnlyTheTableAndABadRowChangesNothing)
{
    const qsizetype before = t.port.commands().size();
    w->chooseCsvIn = [] { return QStringLiteral(VOR_SOURCE_DIR "/tests/memory/data/rigmem_sim.csv"); };
    click(w->cmd_csvin);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Information) << qPrintable(t.prompter.lastText());
    EXPECT_TRUE(t.prompter.lastText().startsWith("200 channels read from")) << qPrintable(t.prompter.lastText());
    EXPECT_GT(tab.filledCount(), 0);
    EXPECT_EQ(t.port.commands().size(), before); // the receiver is not touched
    const QString shown = rowOf(w->grd_mem, 0, 200);

    writeBytes(t.base() + "bad.csv", "Channel,Frequency (kHz),Mode,Bandwidth,AGC,Attenuator,Tag\r\n"
                                     "5,9500,AM,Wide,Slow,Off,ok\r\n"
                                     "6,99999,AM,Wide,Slow,Off,too high\r\n");
    w->chooseCsvIn = [&] { return t.base() + "bad.csv"; };
    click(w->cmd_csvin);
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
    EXPECT_TRUE(t.prompter.lastText().contains("3")) << qPrintable(t.prompter.lastText());
    EXPECT_TRUE(t.prompter.lastText().endsWith("The memory table is not changed."));
    EXPECT_EQ(rowOf(w->grd_mem, 0, 200), shown);

    w->chooseCsvOut = [&](const QString &) { return t.base() + "out.csv"; };
    t.prompter.answers = {Prompter::AnsYes, Prompter::AnsOk}; // the tool's layout
    click(w->cmd_csvout);
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Information) << qPrintable(t.prompter.lastText());
    EXPECT_EQ(readBytes(t.base() + "out.csv"),
              readBytes(QStringLiteral(VOR_SOURCE_DIR "/tests/memory/data/rigmem_sim.csv")));
}
