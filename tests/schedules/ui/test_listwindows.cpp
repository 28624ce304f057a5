#include "link/panelview.h"
#include "record/recsession.h"
#include "schedules/ui/bdxc.h"
#include "schedules/ui/db2rx.h"
#include "schedules/ui/own.h"
#include "files/ui/filedialogs.h"
#include "sim/simwait.h"
#include "uikit.h"
#include "common/filebytes.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

struct ListWindows : WindowTest {
    void SetUp() override
    {
        t.app.times.utc_text = "5 Dec 2026  06:30";
        copyDemo("data/demo/BDXC/BDX26TOE.TXT", t.base() + "BDXC/BDX26TOE.TXT");
        copyDemo("data/demo/OWN/OWN_DEMO.TXT", t.base() + "OWN/OWN_DEMO.TXT");
    }
    // Loads the demo BDXC list with the given selection answer.
    void loadBdx(bdxc &w, const std::optional<QString> &answer)
    {
        t.app.files.bdxc = "BDX26TOE.TXT";
        t.prompter.inputs.push_back(answer);
        w.read_list();
    }
    // The first cell from that column on that shows text.
    static QModelIndex find(ListModel *m, const QString &text, int fromColumn)
    {
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = fromColumn; c < m->columnCount(); ++c)
                if (m->cell(r, c).trimmed() == text)
                    return m->index(r, c);
        return {};
    }
    // What double clicks on these cells send.
    QString clicked(ListView *v, const QList<QModelIndex> &cells)
    {
        return t.sends([&] {
            for (const QModelIndex &i : cells)
                dclick(v, i);
        });
    }
};

} // namespace

TEST_F(ListWindows, GridColumnsSelectionBoxAndTimeSelection)
{
    bdxc w(t.app);
    own o(t.app);
    EXPECT_TRUE(w.grd_bdx->isColumnHidden(10) && o.grd_own->isColumnHidden(13)); // the code columns
    EXPECT_EQ(w.grd_bdx->columnWidth(3), w.grd_bdx->columnWidth(9));
    EXPECT_GT(w.grd_bdx->columnWidth(1), w.grd_bdx->columnWidth(0));
    // Column 1 shows the file's columns 18-35: the language and target area.
    EXPECT_EQ(w.model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Language  Target");

    loadBdx(w, std::nullopt); // Cancel: table read, grid unchanged
    ASSERT_EQ(t.prompter.asked.size(), 1);
    const auto &q = t.prompter.asked.first();
    EXPECT_TRUE(q.isInput);
    EXPECT_EQ(q.title, "Selection Criterium");
    EXPECT_EQ(q.text, "Enter time in UTC (Format: hhmm).\nTo enter current time in UTC just press "
                      "enter\nEnter 'all' to get all records in the file");
    EXPECT_EQ(q.defaultText, "0630");
    ASSERT_TRUE(w.table());
    EXPECT_EQ(w.model->rowCount(), 0);

    // At 0630 a 0600-0700 ditto line, showing the station of the line
    // above, and a 0600-0800 line (which lines are on the air: test_listfile).
    loadBdx(w, "0630");
    ASSERT_EQ(w.model->rowCount(), 2);
    EXPECT_EQ(w.model->cell(0, 0).trimmed() + "|" + w.model->cell(0, 2) + "|" + w.model->cell(1, 2),
              "R. Halvard|0600-0700|0600-0800");

    loadBdx(w, "2401"); // ignored: previous rows stay
    EXPECT_EQ(w.model->rowCount(), 2);
    loadBdx(w, "All");
    EXPECT_EQ(w.model->rowCount(), w.table()->count());
}

TEST_F(ListWindows, DoubleClickOnAFrequencyTunesAndFansOutOtherCellsDoNothingInEitherList)
{
    RecSession rec(t.app);
    t.app.rec = &rec;
    bdxc w(t.app);
    own o(t.app);
    w.show();
    o.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    loadBdx(w, "all");
    const QModelIndex i = find(w.model, "6175", 3);
    ASSERT_TRUE(i.isValid());
    EXPECT_EQ(clicked(w.grd_bdx, {i}), "H1|H1|S199004061750001|H0|H0");
    EXPECT_EQ(w.lbl_arf->text() + " " + o.lbl_arf->text() + " " + panel.freq, "6175.000 6175.000 6175.000");
    EXPECT_EQ(QStringList(panel.labels.values()).join('|'), " Off|Wide|AM|Fast");

    // After a tune the grid stands on the code column.
    EXPECT_EQ(w.grd_bdx->currentIndex(), w.model->index(i.row(), 10));

    // Station, time, five blanks (the "9.5" of "6175, 9.5,  15120*"), an
    // empty cell and 30000 (shown, cannot be tuned): nothing is sent.
    ASSERT_EQ(w.model->cell(8, 0).trimmed(), "Radio Meridian");
    const QModelIndex f30000 = find(w.model, "30000", 3);
    ASSERT_TRUE(f30000.isValid());
    EXPECT_EQ(clicked(w.grd_bdx, {w.model->index(8, 0), w.model->index(8, 1), w.model->index(8, 2),
                                  w.model->index(8, 4), w.model->index(8, 6), f30000}),
              "");
    EXPECT_EQ(w.lbl_arf->text(), "6175.000");

    // Enter on a frequency cell does the same; a second Enter (now on the
    // code column) does not tune again.
    EXPECT_EQ(t.sends([&] {
        w.grd_bdx->setCurrentIndex(w.model->index(i.row(), i.column() + 1));
        QTest::keyClick(w.grd_bdx, Qt::Key_Return);
        QTest::keyClick(w.grd_bdx, Qt::Key_Return);
    }), "H1|H1|S199004096350001|H0|H0");
    EXPECT_EQ(w.lbl_arf->text(), "9635.000");
    // A recording names the station of the row tuned from.
    EXPECT_EQ(rec.stationAt(9635000), w.model->cell(i.row(), 0).simplified());
    EXPECT_FALSE(rec.stationAt(9635000).isEmpty());
    EXPECT_EQ(rec.stationAt(6175000), "");

    // Own rows use their code or the default.
    t.prompter.asked.clear();
    t.app.files.own = "OWN_DEMO.TXT";
    o.read_list();
    EXPECT_TRUE(t.prompter.asked.isEmpty());
    EXPECT_EQ(o.model->rowCount(), 10);
    // Coast Weather Fax: code 0160 (FAX, Inter, Slow).
    EXPECT_EQ(clicked(o.grd_own, {find(o.model, "7880", 4)}), "H1|H1|S199016078800000|H0|H0");
    EXPECT_EQ(panel.labels[PanelView::MD], "FAX");
    // Skerry Radio has no code: "0120". The time column is not a frequency column.
    EXPECT_EQ(clicked(o.grd_own, {find(o.model, "5920", 4)}), "H1|H1|S199012059200000|H0|H0");
    EXPECT_EQ(clicked(o.grd_own, {o.model->index(0, 3)}), "");
    EXPECT_EQ(w.lbl_arf->text() + " " + o.lbl_arf->text(), "5920.000 5920.000");
    EXPECT_EQ(rec.stationAt(5920000), "Skerry Radio");

    // A closed window no longer follows the receiver.
    o.close();
    t.rx->noteFrequency(7000000, Origin::Receiver);
    EXPECT_EQ(w.lbl_arf->text(), "7000.000");
    EXPECT_EQ(o.lbl_arf->text(), "5920.000");
    EXPECT_EQ(rec.stationAt(5920000), "");
    t.app.rec = nullptr;
}

TEST_F(ListWindows, OpeningReadsTheReceiverFrequencyOrTellsItIsSilent)
{
    t.app.settings.setNoRx(false);
    t.answerState("004095000001");
    bdxc w(t.app);
    w.show();
    EXPECT_TRUE(waitUntil([&] { return w.lbl_arf->text() == "9500.000"; })) << w.lbl_arf->text().toStdString();
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|J1199|L199199|H0|H0");
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    t.port.responder = nullptr;
    own o(t.app);
    o.show();
    ASSERT_TRUE(waitUntil([&] { return t.prompter.asked.size() == 1; }));
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_TRUE(o.lbl_arf->text().isEmpty());
}

TEST_F(ListWindows, CapacityMessageAndMissingFile)
{
    t.app.settings.setDim(0, 1); // DIM BDX: 1000 lines
    QByteArray many;
    for (int i = 0; i < 1200; ++i)
        many += QString("Station %1").arg(i).leftJustified(35).toLatin1() + "0000-2400    6175\r\n";
    writeBytes(t.base() + "BDXC/BDX99TOE.TXT", many);
    bdxc w(t.app);
    t.app.files.bdxc = "BDX99TOE.TXT";
    t.prompter.inputs.push_back(QString("all"));
    w.read_list();
    ASSERT_EQ(t.prompter.asked.size(), 2);
    const auto &m = t.prompter.asked.first();
    EXPECT_TRUE(m.text.contains("1000") && m.text.contains("\"DIM BDX\"")) << m.text.toStdString();
    EXPECT_EQ(m.icon, Prompter::Exclamation);
    EXPECT_EQ(w.model->rowCount(), 1000);

    // A file that has gone: message naming it, table and grid as they were.
    auto before = w.table();
    t.app.files.bdxc = "BDX00TOE.TXT";
    w.read_list();
    ASSERT_EQ(t.prompter.asked.size(), 3);
    EXPECT_TRUE(t.prompter.lastText().contains("BDX00TOE.TXT"));
    EXPECT_FALSE(t.prompter.asked.last().isInput);
    EXPECT_EQ(w.table(), before);
    EXPECT_EQ(w.model->rowCount(), 1000);
}

TEST_F(ListWindows, LoadButtonTickTopAndExit)
{
    bdxc w(t.app);
    w.show();
    whenShown<selfile>([](selfile &d) {
        EXPECT_EQ(d.List->count(), 1);
        d.cmd_OK->click();
    });
    t.prompter.inputs.push_back(QString("ALL"));
    w.cmd_load->click();
    EXPECT_EQ(t.app.files.bdxc, "BDX26TOE.TXT");
    EXPECT_EQ(t.app.caller_code, callers::Bdxc);
    EXPECT_GT(w.model->rowCount(), 20);

    w.on_tick();
    EXPECT_EQ(w.windowTitle(), "BDX26TOE.TXT      UTC :  5 Dec 2026  06:30");

    w.cmd_Top->click();
    EXPECT_EQ(panel.fronts, 1);

    // Closing without Exit keeps the table; Exit forgets it.
    w.close();
    EXPECT_TRUE(w.table());
    EXPECT_EQ(t.app.files.bdxc, "BDX26TOE.TXT");
    w.show();
    t.rx->noteFrequency(7000000, Origin::Receiver);
    EXPECT_EQ(w.lbl_arf->text(), "7000.000");
    w.cmd_Exit->click();
    EXPECT_FALSE(w.table());
    EXPECT_TRUE(t.app.files.bdxc.isEmpty());
    EXPECT_EQ(w.model->rowCount(), 0);
    EXPECT_FALSE(w.isVisible());
    t.rx->noteFrequency(8000000, Origin::Receiver);
    EXPECT_EQ(w.lbl_arf->text(), "7000.000");
}

TEST_F(ListWindows, LoadWithoutListsSaysWhichFolderAndWhatBelongsThere)
{
    QFile::remove(t.base() + "BDXC/BDX26TOE.TXT");
    QFile::remove(t.base() + "OWN/OWN_DEMO.TXT");
    QDir(t.base() + "Rx2Db").removeRecursively();
    QTimer noChooser; // an empty chooser that opened fails the test, and is closed
    QObject::connect(&noChooser, &QTimer::timeout, [] {
        if (auto *d = qobject_cast<selfile *>(QApplication::activeModalWidget()))
            ADD_FAILURE() << "an empty chooser", d->reject();
    });
    noChooser.start(20);
    bdxc b(t.app);
    own o(t.app);
    ILG2Rx i(t.app);
    b.cmd_load->click();
    o.cmd_Load->click();
    i.cmd_Load->click();
    ASSERT_EQ(t.prompter.asked.size(), 3);
    EXPECT_EQ(t.prompter.asked[0].title + ": " + t.prompter.asked[0].text,
              "BDXC: The folder " + t.base() + "BDXC/ holds no list to load.\nThe BDXC lists "
              "BDX*TOE.TXT and the ADX lists ADX*TOW.TXT belong there:\ncopy them into it, then Load again.");
    EXPECT_TRUE(t.prompter.asked[1].text.contains("OWN/ holds no list to load.\nYour own lists OWN_*.TXT"));
    EXPECT_TRUE(t.prompter.asked[2].text.startsWith("The folder " + t.base() + "Rx2Db/ is not there yet")
                && t.prompter.asked[2].text.contains("*.ftl belong there: Import EiBi"));
}

TEST_F(ListWindows, MovingScrollsColumnZeroBackIntoView)
{
    bdxc w(t.app);
    w.resize(300, 300);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    loadBdx(w, "all");
    QScrollBar *h = w.grd_bdx->horizontalScrollBar();
    ASSERT_GT(h->maximum(), 0);
    h->setValue(h->maximum());
    QTest::keyClick(w.grd_bdx, Qt::Key_Down);
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(w.grd_bdx->currentIndex().row(), 1);
}
