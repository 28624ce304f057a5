// A control panel over the scripted receiver, with helpers to click its
// grids and keys and to read its labels.
#pragma once
#include "panel/ui/rxctrl2.h"
#include "panel/ui/textgrid.h"
#include "testkit.h"

#include <QAction>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// The bracket around one command.
inline QString br(const QString &c) { return "H1|H1|" + c + "|H0|H0"; }
// A full refresh.
inline const char *kRefresh = "H1|H1|U11|J1199|L199199|H0|H0";

struct PanelTest : ::testing::Test {
    TestApp t;
    std::unique_ptr<rxctrl2> w;
    int exitCode = -1;

    void make()
    {
        w = std::make_unique<rxctrl2>(t.app);
        w->exitHook = [this](int c) { exitCode = c; };
        w->show();
    }
    template <typename T> T *get(const char *name)
    {
        T *p = w->findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(p) << name;
        return p;
    }
    QString label(const char *name) { return get<QLabel>(name)->text(); }
    QColor colour(const char *name) { return get<QLabel>(name)->property("background").value<QColor>(); }
    TextGrid *grid(const char *name) { return get<TextGrid>(name); }
    // Every cell of a grid: cells joined by '|', rows by '/'.
    QString cells(const char *name)
    {
        TextGrid *g = grid(name);
        QStringList rows;
        for (int r = 0; r < g->rows(); ++r) {
            QStringList row;
            for (int c = 0; c < g->cols(); ++c)
                row << g->cellText(r, c);
            rows << row.join('|');
        }
        return rows.join('/');
    }
    void click(const char *name, int r, int c)
    {
        TextGrid *g = grid(name);
        QTest::mouseClick(g, Qt::LeftButton, {}, g->cellCenter(r, c));
        t.settle();
    }
    void press(const char *name)
    {
        QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton);
        t.settle();
    }
    // Keypad keys: digits, '.', F (enter), C (channel).
    void keys(const QString &seq)
    {
        for (QChar ch : seq)
            press(ch == 'F' ? "cmd_enter" : ch == 'C' ? "cmd_enterC" : ch == '.' ? "cmd_dot"
                                                      : qPrintable("cmd_0to9_" + QString(ch)));
    }
    QLineEdit *freq() { return get<QLineEdit>("txt_freqa"); }
    // GO from 100 kHz with NO RX (the steps go out without a refresh), with
    // during(command, F steps so far) told of each command sent.
    void go(std::function<void(const QByteArray &, int)> during)
    {
        t.app.settings.setNoRx(true);
        make();
        at(100000);
        auto steps = std::make_shared<int>(0);
        t.port.responder = [steps, during](const QByteArray &c) {
            *steps += c.startsWith('F');
            during(c, *steps);
            return QByteArray();
        };
        press("cmd_gono");
    }
    // The receiver is at hz, as a state read would have shown it.
    void at(qint64 hz) { t.rx->noteFrequency(hz, Origin::Receiver); }
    QString trace() { return t.settle(), t.port.trace(); }
    void clear() { t.port.clearWrites(), t.prompter.asked.clear(); }
    void trigger(const char *action)
    {
        QAction *a = w->menuAction(QString::fromLatin1(action));
        ASSERT_TRUE(a) << action;
        a->trigger();
        t.settle();
    }
};
