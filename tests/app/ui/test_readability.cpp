// Explanations of short captions, and the high-contrast look.
#include "app/startup.h"
#include "common/ui/canvas.h"
#include "common/ui/guideview.h"
#include "common/ui/contrast.h"
#include "common/ui/hints.h"
#include "logbook/ui/logdialogs.h"
#include "logbook/ui/logmodel.h"
#include "logbook/ui/logwin.h"
#include "memory/ui/memcell.h"
#include "memory/ui/memman.h"
#include "utilities/ui/rxclocks.h"
#include "link/receiver2.h"
#include "panel/ui/rxctrl2.h"
#include "panel/ui/textgrid.h"
#include "schedules/ui/trackwindow.h"
#include "settings/ui/setup.h"
#include "uikit.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <memory>

TEST(Hints, ShortCaptionsGetTipsAndKeepTheirCaptions)
{
    TestApp t;
    std::unique_ptr<QWidget> windows[] = {std::make_unique<rxctrl2>(t.app), std::make_unique<MemMan>(t.app),
                                          std::make_unique<setup>(t.app), std::make_unique<tracking>(t.app),
                                          std::make_unique<LogWindow>(t.app), std::make_unique<RxClocks>(t.app)};
    auto *log = static_cast<LogWindow *>(windows[4].get());
    // Dialogs and windows of those windows (deleted with them).
    QWidget *more[] = {new memcell(t.app, static_cast<MemMan *>(windows[1].get()), 2),
                       new logfmt2(*log), new loginput(t.app, *log)};
    QList<QWidget *> all(std::begin(more), std::end(more));
    for (auto &w : windows)
        all << w.get();
    // Installed, they reach every window as it is shown.
    uihints::install();
    auto *fill = windows[1]->findChild<QPushButton *>("cmd_fill");
    EXPECT_TRUE(fill->statusTip().isEmpty());
    windows[1]->show();
    EXPECT_TRUE(fill->statusTip().startsWith("Fill RM"));
    for (QWidget *w : all) {
        uihints::apply(w);
        // Every explanation meant for this window finds its control.
        for (const QString &name : uihints::namesFor(w->objectName())) {
            QObject *o = w->findChild<QObject *>(name);
            ASSERT_TRUE(o) << qPrintable(w->objectName() + "/" + name);
            EXPECT_FALSE(o->property("toolTip").toString().isEmpty()) << qPrintable(name);
            EXPECT_EQ(o->property("statusTip").toString(), uihints::of(w->objectName(), name)) << qPrintable(name);
        }
    }
    auto *panel = static_cast<rxctrl2 *>(windows[0].get());
    const struct {
        const char *item, *caption, *tipStart;
    } menus[] = {{"mnu_db2rx", "Db&2Rx", "Db2Rx, database to receiver"},
                 {"mnu_rx2db", "&Rx2Db", "Rx2Db, receiver to database"},
                 {"mnu_mem", "&MemMan", "MemMan, memory management"},
                 {"mnu_signalan", "&Signal An", "Signal An, signal analysis"}};
    for (const auto &m : menus) {
        auto *a = panel->findChild<QMenu *>(m.item)->menuAction();
        EXPECT_EQ(a->text(), m.caption);
        EXPECT_TRUE(a->toolTip().startsWith(m.tipStart)) << m.item;
        EXPECT_EQ(a->statusTip(), a->toolTip()) << m.item;
    }
    auto *fetch = windows[1]->findChild<QPushButton *>("cmd_fetch");
    EXPECT_EQ(fetch->text().remove(QLatin1Char('&')), "Fetch RM");
    EXPECT_TRUE(fetch->toolTip().contains("read all 200 channels"));
    // A tooltip a control already had stays; the status tip is added.
    EXPECT_TRUE(windows[2]->findChild<QWidget *>("fra_bdx")->statusTip().startsWith("DIM BDX"));

    // The log's short column titles explain themselves too.
    logging2::LogBook book;
    LogModel columns(book);
    QStringList explained;
    for (int c = 0; c < columns.columnCount(); ++c)
        if (!columns.headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString().isEmpty())
            explained << columns.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(explained, QStringList({"SINPO", "Lng", "BC Org.", "// 1", "// 2"}));
}

TEST(HighContrast, KeepsFourAndAHalfToOneAndOnlyWhenChosen)
{
    // Relative luminance as the accessibility guidelines define it.
    EXPECT_NEAR(contrast::ratio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrast::ratio(QColor(119, 119, 119), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(contrast::ratio(Qt::white, QColor(170, 170, 0)), 2.48, 0.01); // the described target row

    // Every colour the measuring windows draw, mapped: a background (black
    // or white) or a mark that stands out on the black panels.
    QList<QColor> drawn;
    for (int i = 0; i < 16; ++i)
        drawn << Canvas::palette(i);
    drawn << QColor(255, 239, 223) << QColor(255, 240, 192) << QColor(127, 0, 0) << QColor(128, 0, 0);
    for (const QColor &c : drawn) {
        const QColor m = contrast::map(c);
        if (m == QColor(Qt::white) || m == QColor(Qt::black))
            continue; // a background: its marks are black or as below
        EXPECT_GE(contrast::ratio(m, Qt::black), contrast::kMinRatio) << qPrintable(c.name());
    }
    EXPECT_EQ(contrast::map(QColor(128, 0, 0)), QColor(Qt::black));      // the panels
    EXPECT_EQ(contrast::map(QColor(255, 239, 223)), QColor(Qt::white)); // the S-meter's scale
    EXPECT_EQ(contrast::map(QColor(255, 255, 0)), QColor(255, 255, 0));  // a trace stays itself

    // The tracking list's three kinds of row.
    for (auto kind : {contrast::Row::Plain, contrast::Row::Station, contrast::Row::Target}) {
        const auto rc = contrast::trackingRow(kind);
        EXPECT_GE(contrast::ratio(rc.background, rc.text), contrast::kMinRatio) << int(kind);
    }

    // Only when chosen.
    TestApp t;
    const auto rowOf = [](tracking &w) {
        auto *l = w.findChild<QLabel *>("lbl_fr_0");
        return std::make_pair(l->palette().color(QPalette::Window), l->font().pointSizeF());
    };
    tracking plain(t.app);
    EXPECT_EQ(rowOf(plain).first, QColor(128, 0, 0)); // the described colours by default
    EXPECT_LT(rowOf(plain).second, contrast::kMinPoints);
    t.app.settings.high_contrast = true;
    tracking strong(t.app);
    EXPECT_EQ(rowOf(strong).first, QColor(Qt::black));
    EXPECT_GE(rowOf(strong).second, contrast::kMinPoints);
    EXPECT_EQ(strong.rowColour(0), QColor(128, 0, 0)); // what the row means stays

    Canvas c(4, 4, QColor(128, 0, 0));
    c.line(0, 0, 3, 0, QColor(0, 0, 128));
    c.setHighContrast(true); // the picture so far is mapped too
    EXPECT_EQ(c.pixel(2, 2), QColor(Qt::black));
    EXPECT_GE(contrast::ratio(c.pixel(1, 0), Qt::black), contrast::kMinRatio);
    c.fillRect(0, 1, 3, 3, QColor(255, 240, 192));
    EXPECT_EQ(c.pixel(2, 2), QColor(Qt::white));
}

// VOR_SCREENSHOT=folder: the guide's picture of a first session (the panel
// on the simulated receiver, Lock On, the signal meter); with
// VOR_SCREENSHOT_GUIDE=folder also the guide window at its walkthrough.
TEST(Screenshot, FirstSession)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    ProgramKit kit;
    qputenv("VORANTIS_DEMO_DIR", kit.dir.path().toLocal8Bit());
    auto prog = kit.make({"vorantis", "--demo"});
    Program &p = *prog;
    QString err;
    ASSERT_TRUE(p.loadSettings(&err)) << err.toStdString();
    p.app().settings.panel_meter = true;
    ASSERT_TRUE(goAndWait(p));
    rxctrl2 *w = p.panel();
    // The panel shows once the first contact is answered.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, 10000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    auto *lock = w->findChild<TextGrid *>("grd_lock");
    QTest::mouseClick(lock, Qt::LeftButton, {}, lock->cellCenter(0, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.app().rx->held() && p.app().rx->lineFree(); }, 10000));
    w->meterTick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->findChild<QLabel *>("lbl_smeter")->text() != "--"; }, 10000));
    w->statusBar()->showMessage(uihints::of("rxctrl2", "mnu_signalan"));
    QTest::qWait(50);
    EXPECT_TRUE(w->grab().save(out + "/panel-demo.png"));

    const QString guideOut = qEnvironmentVariable("VOR_SCREENSHOT_GUIDE");
    if (guideOut.isEmpty())
        return;
    GuideView g;
    ASSERT_TRUE(g.load(guideFile(), &err)) << err.toStdString();
    g.resize(900, 860);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    g.browser()->scrollToAnchor("your-first-session");
    QTest::qWait(100);
    EXPECT_TRUE(g.grab().save(guideOut + "/guide-first-session.png"));
}
