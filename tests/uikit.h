// Window-test helpers: the dialogs that open, double clicks, demo files and
// a whole program over the scripted seams.
#pragma once
#include "app/startup.h"
#include "settings/settings.h"
#include "testkit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// What the "RS232 Communication Error" box says.
inline const QString kCommError = QStringLiteral(
    "Please check wether :\n1. The cable between RX and PC is OK\n2. The RX is switched-on\n"
    "3. The right Comm port is selected and free\nand try again");

// The visible top-level window of type W (and that object name, when given).
template <class W = QWidget> W *shownWindow(const QString &name = {})
{
    W *found = nullptr;
    for (QWidget *t : QApplication::topLevelWidgets())
        if (auto *w = qobject_cast<W *>(t); w && w->isVisible() && (name.isEmpty() || w->objectName() == name))
            found = w;
    return found;
}

// Works the modal dialog D that opens next: fn runs on it `times` times in
// a row (a dialog that stays open after a refused entry).
template <class D> void whenShown(std::function<void(D &)> fn, int times = 1)
{
    QTimer::singleShot(0, [fn, times] {
        for (int i = 0; i < times; ++i) {
            D *d = shownWindow<D>();
            ASSERT_TRUE(d) << "no dialog, pass " << i;
            fn(*d);
        }
    });
}

inline void dclick(QAbstractItemView *v, const QModelIndex &i)
{
    v->scrollTo(i);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(i).center());
}

// A file of the demo data (data/demo/...) copied to `to`, writable.
inline void copyDemo(const QString &rel, const QString &to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(sourcePath(rel), to)) << qPrintable(rel);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

// A window over the scripted seams: the panel a fake that shows what the
// receiver tells it; no receiver read as a window opens (NO RX) unless a
// test turns it back on.
struct WindowTest : ::testing::Test {
    TestApp t;
    FakePanel panel;
    WindowTest()
    {
        t.app.panel = &panel;
        panel.attach(*t.rx);
        t.app.settings.setNoRx(true);
    }
};

// The whole program over the scripted seams, with the default settings and
// a temporary base directory; quitCode is what it ended with.
struct ProgramKit {
    FixedClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    QTemporaryDir dir;
    int quitCode = -1;
    std::unique_ptr<Program> make(const QStringList &args = {"vorantis"})
    {
        auto p = std::make_unique<Program>(Options::parse(args), &clock, &prompter, &launcher);
        p->quit = [this](int c) { quitCode = c; };
        p->app().settings = settingsfile::defaults();
        p->app().settings.base_dir = dir.path() + '/';
        return p;
    }
};
