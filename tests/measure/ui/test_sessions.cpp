// The measuring windows' starts: the receiver held (H1 H1), then the
// panel's refresh in its own bracket (H1 H1 again, U11, the state read and
// the P0000 of a held refresh), with the line's pauses. They share the
// receiver through the core: while one of them holds it, another one's
// start is refused with a message, whatever the menus show, and nothing of
// the refused one reaches the line.
#include "measure/ui/prophist.h"
#include "measure/ui/proptime.h"
#include "measure/ui/smeter.h"
#include "measure/ui/spectrum.h"
#include "testkit.h"

#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(MeasureSessions, StartsHoldAndRefreshAndASecondOneIsRefused)
{
    TestApp t;
    FakePanel panel;
    t.app.panel = &panel;
    panel.attach(*t.rx);
    t.port.responder = [](const QByteArray &c) -> QByteArray {
        if (c == "M")
            return "M102\r";
        if (c == "L199199")
            return "L199004095000001\r";
        return {};
    };
    // Opened side by side, as no menu would allow.
    auto sm = std::make_unique<Smeter>(t.app);
    auto sp = std::make_unique<spectrumwin>(t.app);
    auto pt = std::make_unique<Proptime>(t.app);
    auto ph = std::make_unique<prophist>(t.app);
    ASSERT_TRUE(sp->limits_ok({"9400", "9420", "5", "1"}, false, false));

    struct Case {
        const char *name;
        QWidget *window;
        std::function<void()> start, stop;
        std::function<bool()> running;
        const char *sent; // by the start, after H1 H1 of the hold
    };
    const char *refresh = "H1|H1|U11|J1199|L199199|P0000";
    const Case cases[] = {
        {"The S-meter", sm.get(), [&] { sm->cmd_start->click(); }, [&] { sm->cmd_stop->click(); },
         [&] { return sm->recording(); }, refresh},
        {"The spectrum window", sp.get(), [&] { sp->startscan(); }, [&] { sp->cmd_stop->click(); },
         [&] { return sp->scanning(); }, "F09400000|H1|H1|U11|J1199|L199199|P0000"}, // its first step
        {"The spectrum window", sp.get(), [&] { sp->on_setfre(); }, [&] { sp->cmd_stop->click(); },
         [&] { return sp->tuneMode(); }, refresh},
        {"The propagation impression", pt.get(), [&] { pt->cmd_start->click(); },
         [&] { pt->cmd_stop->click(); }, [&] { return pt->running(); }, refresh},
        {"The propagation history", ph.get(), [&] { ph->cmd_start->click(); },
         [&] { ph->cmd_stop->click(); }, [&] { return ph->running(); }, refresh},
    };
    for (const Case &first : cases) {
        SCOPED_TRACE(first.name);
        t.port.clearWrites();
        first.start();
        t.settle();
        ASSERT_TRUE(first.running());
        EXPECT_EQ(t.port.trace().toStdString(), std::string("H1|H1|") + first.sent);
        // 50 ms after each H1, after U11 and after J1199.
        const auto &w = t.port.writes();
        for (qsizetype i = 0; i + 1 < w.size(); ++i)
            if (w[i].bytes == "H1\r" || w[i].bytes == "U11\r" || w[i].bytes == "J1199\r")
                EXPECT_GE(w[i + 1].ms - w[i].ms, 50) << i << " " << w[i].bytes.constData();
        for (const Case &second : cases) {
            if (second.window == first.window)
                continue;
            t.port.clearWrites();
            t.prompter.asked.clear();
            second.start();
            t.settle();
            EXPECT_FALSE(second.running()) << second.name;
            EXPECT_EQ(t.port.trace(), "") << second.name;
            EXPECT_EQ(t.prompter.lastText(), QString(first.name) + " is using the receiver.\nStop it first.");
        }
        EXPECT_TRUE(first.running());
        first.stop();
        t.settle();
        EXPECT_FALSE(t.rx->held());
        EXPECT_TRUE(panel.enabled);
    }
}

} // namespace
