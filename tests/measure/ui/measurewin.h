// One measuring window over a scripted receiver: "M" answers `level` (or
// what `levels` holds for the frequency last tuned), the state read answers
// AM at 9500 kHz (the panel shows it), `silent` answers nothing; files the
// window asks for go to the test's folder.
#pragma once
#include "common/ui/canvas.h"
#include "testkit.h"

#include <QDir>
#include <QPushButton>
#include <cmath>
#include <gtest/gtest.h>

template <class W> struct MeasureWin : ::testing::Test {
    TestApp t;
    FakePanel panel;
    QPointer<W> w;
    QByteArray level = "M102\r"; // S9
    QByteArray tuned;            // the last "F" command
    QMap<QByteArray, QByteArray> levels;
    bool silent = false;

    void SetUp() override
    {
        t.app.panel = &panel;
        panel.attach(*t.rx);
        panel.freq = "9500.000";
        t.port.responder = [this](const QByteArray &c) -> QByteArray {
            if (c.startsWith('F'))
                tuned = c;
            if (silent)
                return {};
            if (c == "M")
                return levels.value(tuned, level);
            return c == "L199199" ? "L199004095000001\r" : QByteArray();
        };
        w = new W(t.app);
        w->askPath = [this](QWidget *, const QString &, const QString &name, const QString &) {
            return QDir(t.dir.path()).filePath(name);
        };
        w->show();
    }
    void TearDown() override { delete w; }
    void click(QPushButton *b)
    {
        b->click();
        t.settle();
    }
    void tick()
    {
        w->on_tick();
        t.settle();
    }
    void tickAt(int h, int m, int s)
    {
        t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(h, m, s));
        tick();
    }
    // A fading signal around S8, reading n.
    static QByteArray fading(int n, double slow = 97.0)
    {
        return "M" + QByteArray::number(104 + int(8 * std::sin(n / slow) + 3 * std::sin(n / 2.3))) + "\r";
    }
    // The window's picture for the user guide, with VOR_SCREENSHOT set.
    void shot(const QString &name)
    {
        if (!qEnvironmentVariableIsEmpty("VOR_SCREENSHOT"))
            w->grab().save(qEnvironmentVariable("VOR_SCREENSHOT") + "/" + name);
    }
};
