// The spectrum window against the simulated receiver: a scan of 9400 to
// 9900 kHz in 5 kHz steps finds the simulated stations as peaks.
#include "measure/ui/spectrum.h"
#include "sim/simport.h"
#include "sim/simradio.h"
#include "testkit.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

TEST(SimBand, ScanShowsTheStationsAsPeaksScreenshot)
{
    TestApp t;
    FakePanel panel;
    t.app.panel = &panel;
    t.app.replyTimeoutMs = 1500;
    panel.attach(*t.rx);
    SimRadio radio;
    SimPort sim(&radio);
    QString err;
    ASSERT_TRUE(sim.open(&err));
    t.rx->setPort(&sim);

    QPointer<spectrumwin> w = new spectrumwin(t.app);
    w->show();
    auto scan = [&](const char *name) {
        w->cmd_start->click();
        limits *d = w->limitsDialog();
        d->txt_in[0]->setText("9400");
        d->txt_in[1]->setText("9900");
        d->txt_in[2]->setText("5");
        d->txt_in[3]->setText("0.5");
        d->cmd_OK->click();
        sim.clearLog();
        for (int i = 0; i < 200 && w->scanning(); ++i)
            w->on_tick(); // the ticks without the delay between them
        w->cmd_stop->click();
        t.app.files.san = name;
        w->savespectrum();
    };
    scan("SAN_FIRST.TXT");
    const spectrum::Scan &s = w->scan();
    ASSERT_EQ(s.index, 101);
    auto at = [&](double khz) { return s.data[size_t((khz - 9400) / 5)]; };
    // The stations stand well above the empty channels between them.
    for (double f : {9410.0, 9500.0, 9580.0, 9730.0, 9860.0})
        EXPECT_GT(at(f), at(f + 25) + 4) << f;
    EXPECT_LT(at(9625), 3);

    if (!qEnvironmentVariableIsEmpty("VOR_SCREENSHOT")) {
        // The trace of the last steps: command and the time its CR arrived.
        const auto &log = sim.commandLog();
        for (int i = std::max<qsizetype>(0, log.size() - 9); i < log.size(); ++i)
            std::printf("%8lld ms  %s\n", (long long)log[i].first, log[i].second.constData());
        radio.setWorking({0, 0, 4, 9500000, 0});
        scan("SAN_SECOND.TXT");
        w->cmd_cls->click();
        w->loadspectrum(t.base() + "SAN/SAN_FIRST.TXT");
        w->loadspectrum(t.base() + "SAN/SAN_SECOND.TXT");
        w->grab().save(qEnvironmentVariable("VOR_SCREENSHOT") + "/spectrum-sim.png");
    }
    delete w;
    t.rx->setPort(&t.port);
}

} // namespace
