// What the measuring windows share through their session. A start holds the
// receiver (H1 H1) and runs the panel's refresh in its own bracket (H1 H1
// again, U11, the state read and the P0000 of a held refresh) with the
// line's pauses. A missed reading is shown and counted, the receiver
// message comes once, and the run goes on. While one window holds the
// receiver, another one's start is refused with a message, whatever the
// menus show, and nothing of it reaches the line. Stop gives the receiver
// back. Labels that show a value read as that value.
#include "link/limits.h"
#include "measure/ui/prophist.h"
#include "measure/ui/proptime.h"
#include "measure/ui/smeter.h"
#include "measure/ui/spectrum.h"
#include "a11y.h"
#include "measurewin.h"

#include <QLabel>
#include <functional>

namespace {

using MeasureSessions = MeasureWin<Smeter>;

TEST_F(MeasureSessions, StartMissedReadingsRefusalAndStop)
{
    // Opened side by side, as no menu would allow.
    Smeter *sm = w;
    auto sp = std::make_unique<SpectrumWindow>(t.app);
    auto pt = std::make_unique<Proptime>(t.app);
    auto ph = std::make_unique<prophist>(t.app);
    ASSERT_TRUE(sp->limits_ok({"9400", "9420", "5", "1"}, false, false));
    for (QWidget *x : std::initializer_list<QWidget *>{sm, sp.get(), pt.get(), ph.get()})
        EXPECT_EQ(a11y::hiddenLabels(x), QStringList()) << x->objectName().toStdString();

    struct Case {
        const char *name;
        QWidget *window;
        std::function<void()> start, stop, tick; // no tick in tune mode
        std::function<bool()> running;
        QLabel *status;
        const char *sent; // by the start, after H1 H1 of the hold
    };
    const char *refresh = "H1|H1|U11|J1199|L199199|P0000";
    const Case cases[] = {
        {"The S-meter", sm, [&] { sm->cmd_start->click(); }, [&] { sm->cmd_stop->click(); },
         [&] { sm->on_tick(); }, [&] { return sm->recording(); }, sm->lbl_status, refresh},
        {"The spectrum window", sp.get(), [&] { sp->startscan(); }, [&] { sp->cmd_stop->click(); },
         [&] { sp->on_tick(); }, [&] { return sp->scanning(); }, sp->lbl_status,
         "F09400000|H1|H1|U11|J1199|L199199|P0000"}, // its first step
        {"The spectrum window", sp.get(), [&] { sp->on_setfre(); }, [&] { sp->cmd_stop->click(); }, nullptr,
         [&] { return sp->tuneMode(); }, sp->lbl_status, refresh},
        {"The propagation impression", pt.get(), [&] { pt->cmd_start->click(); },
         [&] { pt->cmd_stop->click(); }, [&] { pt->on_tick(); }, [&] { return pt->running(); },
         pt->lbl_status, refresh},
        {"The propagation history", ph.get(), [&] { ph->cmd_start->click(); },
         [&] { ph->cmd_stop->click(); }, [&] { ph->on_tick(); }, [&] { return ph->running(); },
         ph->lbl_status, refresh},
    };
    for (const Case &first : cases) {
        SCOPED_TRACE(first.name);
        t.prompter.asked.clear();
        level = "M102\r";
        EXPECT_EQ(t.sends(first.start).toStdString(), std::string("H1|H1|") + first.sent);
        ASSERT_TRUE(first.running());
        // 50 ms of silence on the line after each H1, U11 and J1199 has left
        // (10 bits a character; the times are whole ms).
        const auto &wr = t.port.writes();
        double left = 0;
        for (qsizetype i = 0; i + 1 < wr.size(); ++i) {
            left = std::max(left, double(wr[i].ms)) + wr[i].bytes.size() * 10000.0 / rxlimits::kBaud;
            if (wr[i].bytes == "H1\r" || wr[i].bytes == "U11\r" || wr[i].bytes == "J1199\r")
                EXPECT_GE(wr[i + 1].ms - left, 49) << i << " " << wr[i].bytes.constData();
        }

        if (first.tick) {
            level.clear();
            for (int i = 0; i < 3; ++i) {
                if (i == 2)
                    level = "M102\r";
                first.tick();
                t.settle();
            }
            EXPECT_EQ(first.status->text(), "no reply 12:00:00, 2 missed");
            ASSERT_EQ(t.prompter.asked.size(), 1);
            EXPECT_TRUE(t.prompter.lastText().startsWith("The receiver did not answer."));
        }
        for (const Case &second : cases) {
            if (second.window == first.window)
                continue;
            t.prompter.asked.clear();
            EXPECT_EQ(t.sends(second.start), "") << second.name;
            EXPECT_FALSE(second.running()) << second.name;
            EXPECT_EQ(t.prompter.lastText(), QString(first.name) + " is using the receiver.\nStop it first.");
        }
        EXPECT_TRUE(first.running());
        EXPECT_TRUE(t.sends(first.stop).endsWith("H0|H0"));
        EXPECT_FALSE(t.rx->held());
        EXPECT_TRUE(panel.enabled);
    }
}

} // namespace
