// The ILG conversion window, the Db2Rx window with its filters and the
// tracking window, driven through their controls (by click and by a screen
// reader's toggle action).
#include "a11y.h"
#include "common/textfile.h"
#include "record/recsession.h"
#include "schedules/ui/db2rx.h"
#include "schedules/ui/ilgwindow.h"
#include "schedules/ui/trackwindow.h"
#include "sim/simwait.h"
#include "uikit.h"
#include "common/filebytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct IlgWindows : WindowTest {
    void SetUp() override
    {
        t.app.times.utc_text = "5 Dec 2026  12:00";
        t.app.cap = Captions::build(t.app.settings);
        for (const char *f : {"ILGSDATA.ftl", "ILGADATA.ftl"})
            copyDemo(QString("data/demo/Rx2Db/") + f, t.base() + "Rx2Db/" + f);
    }
};

} // namespace

// A folder without the tables, or a damaged one, is refused; then the short
// wave table converted.
TEST_F(IlgWindows, ConnectFailuresAndConvertTheShortWaveTable)
{
    ILG w(t.app);
    w.show();
    EXPECT_TRUE(w.opt_db[0]->isChecked());
    EXPECT_FALSE(w.cmd_convert->isEnabled());
    struct Case {
        QString file;      // what the folder holds as ILGADATA.dbf
        QByteArray bytes;
        QString detail;    // a word of the second message
        a11y::How how;     // each way says it once
    } cases[] = {{"", {}, "holds no ILGADATA.dbf", a11y::How::Click}, // (other damage: test_ilg)
                 {"ilgadata.dbf", QByteArray("garbage"), "not a dBASE table", a11y::How::Toggle}};
    int n = 0;
    for (const Case &c : cases) {
        const QString d = t.base() + QString("bad%1").arg(n++);
        QDir().mkpath(d);
        if (!c.file.isEmpty())
            writeBytes(d + "/" + c.file, c.bytes);
        t.prompter.asked.clear();
        w.setDirectory(d);
        ASSERT_TRUE(a11y::choose(w.opt_db[1], c.how));
        ASSERT_EQ(t.prompter.asked.size(), 2) << c.detail.toStdString();
        EXPECT_EQ(t.prompter.asked[0].title + ": " + t.prompter.asked[0].text,
                  "Error: Could not connect to database\nCheck path and/or filename");
        EXPECT_EQ(t.prompter.asked[0].icon, Prompter::Critical);
        EXPECT_TRUE(t.prompter.asked[1].text.contains(c.detail)) << t.prompter.asked[1].text.toStdString();
        EXPECT_TRUE(w.opt_db[0]->isChecked() && !w.cmd_convert->isEnabled());
    }

    // The demo tables in a folder of their own, names in any letter case.
    const QString tables = t.base() + "ILGDB";
    QDir().mkpath(tables);
    copyDemo("data/demo/ILG/ilgsdata.dbf", tables + "/ILGSDATA.DBF");
    copyDemo("data/demo/ILG/ilgadata.dbf", tables + "/IlgAData.dbf");
    ILGfind find(t.app, tables);
    EXPECT_EQ(find.flb_ilg->count(), 2);
    EXPECT_TRUE(find.cmd_OK->isEnabled());
    find.setPath(t.base());
    EXPECT_FALSE(find.cmd_OK->isEnabled());

    w.setDirectory(tables);
    EXPECT_TRUE(w.fra_seldb->isEnabled());
    ASSERT_TRUE(a11y::toggle(w.opt_db[2]));
    EXPECT_EQ(w.lbl_record->text(), "ILGRadio SW database connected, conversion can be started.");
    EXPECT_EQ(a11y::name(w.lbl_record), w.lbl_record->text());
    EXPECT_TRUE(w.cmd_convert->isEnabled());
    EXPECT_FALSE(w.txt_db[0]->text().isEmpty()); // FREQ of record 1
    w.dat_ilg->next->click();
    EXPECT_EQ(w.dat_ilg->current(), 1);
    w.dat_ilg->last->click();
    EXPECT_FALSE(w.dat_ilg->next->isEnabled());

    QFile::remove(t.base() + "Rx2Db/ILGSDATA.ftl");
    w.cmd_convert->click();
    ASSERT_TRUE(waitUntil([&] { return !w.converting(); }));
    ASSERT_FALSE(t.prompter.asked.isEmpty());
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(), "ILGRadio database: Conversion ready");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::NoIcon);
    EXPECT_FALSE(w.isVisible());
    const qsizetype lines = readBytes(t.base() + "Rx2Db/ILGSDATA.ftl").count('\n');
    EXPECT_GT(lines, 300);
    EXPECT_EQ(w.lbl_cnr->text(), QString::number(lines));
    EXPECT_EQ(a11y::hiddenLabels(&w), QStringList()); // the count read out as shown
}

// (The default filter file made on first use: the filters' test.)
TEST_F(IlgWindows, Db2RxLoadTuneAndFilter)
{
    t.app.settings.setNoRx(false);
    t.answerState("004061750001");
    RecSession rec(t.app);
    t.app.rec = &rec;
    ILG2Rx w(t.app);
    w.show();
    EXPECT_TRUE(waitUntil([&] { return w.txt_arf->text() == "6175.000"; }));
    EXPECT_FALSE(w.cmd_Filters->isEnabled());

    t.app.files.converted = "ILGSDATA.ftl";
    ASSERT_TRUE(w.read_file());
    const int n = w.table().count();
    EXPECT_EQ(w.windowTitle(), QString("ILG Radio Database ILGSDATA.ftl /  %1 records").arg(n));
    EXPECT_EQ(w.entries().size(), n);
    EXPECT_TRUE(w.cmd_Filters->isEnabled());

    // Tune from a line: S199 with the code 0041.
    t.settle();
    const QString f8 = w.table().lines.at(3).left(8);
    const QString hz = QString::number(qRound64(f8.toDouble() * 1000)).rightJustified(8, '0');
    EXPECT_EQ(t.sends([&] {
        w.lst_ilg->setCurrentIndex(w.model->index(3));
        QTest::keyClick(w.lst_ilg, Qt::Key_Return);
    }), "H1|H1|S199004" + hz + "1|H0|H0");
    EXPECT_EQ(w.txt_arf->text(), QString::number(f8.toDouble(), 'f', 3));
    EXPECT_EQ(panel.freq, w.txt_arf->text());
    // A recording names the station of the line tuned from.
    const QString station = w.table().lines.at(3).mid(19, 22).simplified();
    EXPECT_FALSE(station.isEmpty());
    EXPECT_EQ(rec.stationAt(qRound64(f8.toDouble() * 1000)), station);

    // A typed frequency out of range sends nothing.
    w.txt_arf->setText("40000");
    EXPECT_EQ(t.sends([&] { QTest::keyClick(w.txt_arf, Qt::Key_Return); }), "");
    EXPECT_EQ(t.prompter.lastText(), "Freqyency outside range");

    // Filters: 5.9 to 6.2 MHz in the dialog.
    w.filters->chk_filter[0]->setChecked(true);
    w.filters->cmb_filter[0]->setEditText("5.9");
    w.filters->cmb_filter[1]->setEditText("6.2");
    w.filters->cmd_Search->click();
    ASSERT_FALSE(w.entries().isEmpty());
    for (const QString &e : w.entries()) // shown as entries: 77 + 20 characters
        EXPECT_TRUE(e.left(5).toInt() >= 5900 && e.left(5).toInt() <= 6200 && e.size() == 97) << qPrintable(e);
    EXPECT_FALSE(w.lbl_ready->isVisible());
    w.filters->cmd_Clear->click();
    EXPECT_TRUE(!w.filters->chk_filter[0]->isChecked() && w.filters->cmb_filter[0]->currentText().isEmpty());
    w.filters->cmd_Search->click();
    EXPECT_EQ(w.entries().size(), n);
    t.app.rec = nullptr;
}

TEST_F(IlgWindows, Db2RxBadFilterFileUnorderedListAndEibiImport)
{
    textfile::writeLines(t.base() + "ilgfilter.ini",
                         {"before", "*** 0", "1", "*** 1", "*** 2", "*** 3", "*** 4", "*** 5", "EU",
                          "*** 6", "extra"},
                         nullptr);
    textfile::writeLines(t.base() + "Rx2Db/mixed.ftl",
                         {"09500.00 0000-2400 B", "06175.00 0000-2400 A", "short"}, nullptr);
    ILG2Rx w(t.app);
    EXPECT_EQ(w.filters->cmb_filter[0]->count(), 1);
    EXPECT_EQ(w.filters->cmb_filter[5]->count(), 1);
    t.app.files.converted = "mixed.ftl";
    ASSERT_TRUE(w.read_file());
    EXPECT_TRUE(t.prompter.lastText().contains("not in order of rising frequency"));
    EXPECT_EQ(w.entries().value(1).left(8), "06175.00");
    t.app.files.converted = "gone.ftl";
    EXPECT_FALSE(w.read_file());
    EXPECT_EQ(w.entries().size(), 3); // the list stays

    QString asked;
    w.chooseScheduleFile = [&](const QString &dir) {
        asked = dir;
        return QString();
    };
    w.cmd_eibi->click(); // cancelled: nothing happens
    EXPECT_EQ(asked, t.app.settings.base_dir);
    EXPECT_EQ(w.entries().size(), 3);

    const QString csv = t.base() + "sked-demo.csv";
    copyDemo("data/demo/EIBI/sked-demo.csv", csv);
    w.chooseScheduleFile = [&](const QString &) { return csv; };
    w.cmd_eibi->click();
    ASSERT_TRUE(waitUntil([&] { return !w.importing(); }));
    EXPECT_EQ(t.prompter.lastText().section('\n', 0, 0),
              "66 record(s) imported into " + QDir::toNativeSeparators(t.base() + "Rx2Db/sked-demo.ftl") + ".");
    EXPECT_EQ(w.windowTitle(), "ILG Radio Database sked-demo.ftl /  66 records");
    EXPECT_TRUE(w.cmd_Filters->isEnabled());

    // A file without one record: said, and the list shown stays.
    textfile::writeLines(csv, {"6175;99-99;;CAN;X;E;NAm"}, nullptr);
    w.cmd_eibi->click();
    ASSERT_TRUE(waitUntil([&] { return !w.importing(); }));
    EXPECT_TRUE(t.prompter.lastText().contains("holds no broadcast records"));
    EXPECT_EQ(w.entries().size(), 66);
}

TEST_F(IlgWindows, TrackingMouseMode)
{
    t.app.settings.rx_lat = "5205N";
    t.app.settings.rx_long = "00445E";
    t.rx->noteFrequency(6000000, Origin::Receiver);
    tracking w(t.app);
    w.show();
    EXPECT_FALSE(w.spn_frtr->isEnabled() || w.fra_hial->isEnabled());
    t.app.files.tracking = "ILGSDATA.ftl";
    ASSERT_TRUE(w.load_file());
    const int n = w.table().count();
    EXPECT_EQ(w.windowTitle(), QString("Tracking mode active with ILGSDATA.ftl /  %1 records").arg(n));
    EXPECT_EQ(w.txt_fs->text(), "5");
    EXPECT_TRUE(w.spn_frtr->isEnabled());

    // All, with a catch range wide enough to fill the lines around 6000 kHz.
    w.txt_cr->setText("150");
    ASSERT_TRUE(a11y::toggle(w.opt_hial[1]));
    ASSERT_GT(w.result().n(), 2);
    const double p = ftl::freqOf(w.table().lines.at(w.position() - 1));
    EXPECT_LE(p, 6000);
    EXPECT_EQ(w.lbl_fr[0]->text(), QString()); // entry 0 stays empty
    EXPECT_EQ(w.lbl_fr[1]->text(), w.result().entries.at(1));
    EXPECT_EQ(a11y::hiddenLabels(&w), QStringList()); // the results read out as shown

    ASSERT_TRUE(a11y::toggle(w.opt_ladi[1])); // Dis/Dir
    const QString shown = w.lbl_fr[1]->text();
    EXPECT_TRUE(shown.mid(77, 12).contains(" km ")) << shown.toStdString();

    // Stepping without a receiver: 10 kHz floor.
    t.rx->noteFrequency(12000, Origin::Receiver);
    w.txt_fs->setText("5");
    w.spnDown->click();
    EXPECT_EQ(w.txt_arf->text(), "10.000");
    EXPECT_EQ(panel.freq, "10.000");
    t.rx->noteFrequency(29998000, Origin::Receiver);
    w.spnUp->click();
    EXPECT_EQ(w.txt_arf->text(), "29999.999");

    // A tune elsewhere moves the list.
    t.rx->tune({9500000, Origin::Bdxc, "", "0041", {}});
    EXPECT_EQ(w.txt_arf->text(), "9500.000");
    EXPECT_LE(ftl::freqOf(w.table().lines.at(w.position() - 1)), 9500);

    w.txt_arf->setText("0");
    QTest::keyClick(w.txt_arf, Qt::Key_Return);
    EXPECT_EQ(t.prompter.lastText(), "Freqyency outside range");
}

TEST_F(IlgWindows, TrackingDialModeFollowsTheReceiver)
{
    t.app.settings.setNoRx(false);
    QString clickTrace;
    for (const a11y::How how : {a11y::How::Click, a11y::How::Toggle}) {
        SCOPED_TRACE(a11y::howName(how));
        t.answerState("004061750001");
        tracking w(t.app);
        w.show();
        t.app.files.tracking = "ILGSDATA.ftl";
        ASSERT_TRUE(w.load_file());
        t.settle();
        EXPECT_EQ(w.txt_arf->text(), "6175.000");
        t.port.clearWrites();
        ASSERT_TRUE(a11y::choose(w.opt_modi[1], how));
        EXPECT_TRUE(waitUntil([&] { return t.rx->reportsOn(); }));
        t.settle();
        EXPECT_TRUE(w.dialMode());
        EXPECT_FALSE(w.spn_frtr->isVisible());
        const QString trace = t.port.trace();
        EXPECT_TRUE(trace.endsWith("I1|H0")) << trace.toStdString();
        EXPECT_TRUE(trace.contains("H1|H1|J1199|L199199|H0|H0|H1|H1")) << trace.toStdString();
        if (how == a11y::How::Click)
            clickTrace = trace;
        EXPECT_EQ(trace, clickTrace); // the same, once, whichever way
        EXPECT_EQ(panel.lockOn, 1);

        // The receiver reports its dial: the list follows.
        t.port.inject("I004095100001\r");
        EXPECT_TRUE(waitUntil([&] { return w.txt_arf->text() == "9510.000"; }));
        EXPECT_LE(ftl::freqOf(w.table().lines.at(w.position() - 1)), 9510);

        t.port.clearWrites();
        ASSERT_TRUE(a11y::choose(w.opt_modi[0], how));
        EXPECT_TRUE(waitUntil([&] { return t.port.trace() == "I0|H0|H0"; })) << t.port.trace().toStdString();
        EXPECT_FALSE(t.rx->reportsOn());
        EXPECT_EQ(panel.lockOn, 0);
    }
}

// The time choice beside the other filters (both must pass), and the status
// line under the list counting what it shows.
TEST_F(IlgWindows, Db2RxTimeChoiceAndShownCount)
{
    ILG2Rx w(t.app);
    w.show();
    t.app.files.converted = "ILGSDATA.ftl";
    ASSERT_TRUE(w.read_file());
    const int n = w.table().count();
    EXPECT_EQ(w.lbl_shown->text(), QString("%1 of %1 shown").arg(n));
    Filters &f = *w.filters;
    for (int i = 0; i < onair::WhenCount; ++i)
        EXPECT_EQ(a11y::name(f.opt_time[i]), onair::whenCaption(onair::When(i)));
    EXPECT_TRUE(f.opt_time[0]->isChecked());

    // On air now (the clock: Saturday 12:00 UTC) in English, chosen as a
    // screen reader does.
    ASSERT_TRUE(a11y::toggle(f.opt_time[1]));
    f.chk_filter[1]->setChecked(true);
    f.cmb_filter[2]->setEditText("ENG");
    f.cmd_Search->click();
    const QStringList now = w.entries();
    ASSERT_FALSE(now.isEmpty());
    EXPECT_LT(now.size(), n);
    for (const QString &e : now)
        EXPECT_TRUE(ftl::onAir(e, 1200) && e.mid(51, 3).toUpper() == "ENG") << qPrintable(e);
    EXPECT_EQ(w.lbl_shown->text(),
              QString("%1 of %2 shown (On air now, Sat 12:00 UTC)").arg(now.size()).arg(n));
    EXPECT_EQ(a11y::hiddenLabels(&w), QStringList());
    if (const QString d = qEnvironmentVariable("VOR_SCREENSHOT"); !d.isEmpty()) {
        f.show(); w.resize(900, 520); QTest::qWait(300);
        w.grab().save(d + "/shot-db2rx-onair.png"); f.grab().save(d + "/shot-filters-onair.png");
    }

    // The next 6 hours hold more; Clear goes back to any time.
    f.opt_time[4]->click();
    f.cmd_Search->click();
    EXPECT_GT(w.entries().size(), now.size());
    f.cmd_Clear->click();
    EXPECT_TRUE(f.opt_time[0]->isChecked());
    f.cmd_Search->click();
    EXPECT_EQ(w.lbl_shown->text(), QString("%1 of %1 shown").arg(n));
}
