// Every long operation against nrd535-sim on a pseudo-terminal while the
// line fails: the receiver silent from the start, silent part-way, garbled
// replies, the device gone part-way (and then back). Each ends with its one
// message, the receiver is given back, nothing on disk changed, and the
// operation works again once the receiver is back.
#include "app/startup.h"
#include "measure/ui/spectrum.h"
#include "memory/mem2.h"
#include "memory/ui/memman.h"
#include "panel/ui/rxctrl2.h"
#include "simtool.h"
#include "testkit.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

enum class Fault { Silent, SilentAfter, Garbled, Removed };
const char *const kFaultNames[] = {"silent from the start", "silent after N commands",
                                   "garbled replies", "device removed, then back"};

const QString kNoAnswer = "The receiver did not answer.\nCheck the cable and that the RX is switched-on.";
const QString kUnreadable = "The receiver's reply could not be read.\nThe line may be disturbed: check the cable and its plugs.";
const QString kCommError = "Please check wether :\n1. The cable between RX and PC is OK\n"
                           "2. The RX is switched-on\n3. The right Comm port is selected and free\n"
                           "and try again";

struct Faults;
struct Op {
    const char *name;
    int n; // commands of the operation before a part-way fault
    // The message for each fault: 'N' the receiver did not answer, 'U' its reply
    // could not be read, 'C' the communication error box, '-' none (a tune is
    // not answered: a silent or garbling receiver cannot be told from one that tuned).
    const char *expect;
    std::function<void(Faults &)> run;
};

bool waitUntil(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 120000) // a hang, not a slow machine
        QTest::qWait(20);
    return done();
}

struct Faults : ::testing::TestWithParam<std::tuple<int, Fault>> {
    FixedClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    QTemporaryDir dir, devDir;
    const QString link = devDir.path() + "/rx";
    std::unique_ptr<SimTool> sim;
    std::unique_ptr<Program> p;

    void startSim(QStringList args = {})
    {
        sim.reset();
        sim = std::make_unique<SimTool>(args << "--link" << link);
        ASSERT_FALSE(sim->device.isEmpty());
    }
    void makeProgram()
    {
        p.reset();
        p = std::make_unique<Program>(Options::parse({"vorantis", "--port", link}), &clock, &prompter,
                                      &launcher);
        p->quit = [](int) {};
        p->app().settings = settingsfile::defaults();
        p->app().settings.base_dir = dir.path() + '/';
    }
    Receiver2 *rx() const { return p ? p->app().rx : nullptr; }
    void update()
    {
        p->panel()->menuAction("mnu_update")->trigger();
        QTest::qWaitFor([&] { return p->app().rx->lineFree(); }); // the refresh is a job
    }
    // Every file under the base folder and a digest of its contents.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly))
                out[f.fileName()] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5);
        }
        return out;
    }
};

const Op kOps[] = {
    {"start-up", 3, "CCUC", [](Faults &f) {
         f.makeProgram();
         goAndWait(*f.p);
     }},
    {"tune", 1, "---N", [](Faults &f) {
         f.rx()->tune(9600.0);
         waitUntil([&] { return f.rx()->lineFree(); });
     }},
    {"Update", 1, "NNUN", [](Faults &f) { f.update(); }},
    {"memory fetch", 20, "NNUN", [](Faults &f) {
         MemMan w(f.p->app());
         w.show();
         w.cmd_fetch->click();
         ASSERT_TRUE(waitUntil([&] { return !w.busy(); }));
     }},
    {"memory fill", 6, "NNUN", [](Faults &f) {
         mem2::MemTable &t = mem2::table();
         for (int i = 0; i < 20; ++i) {
             t.rec[i] = QStringLiteral("%1004095%2").arg(i, 3, 10, QChar('0')).arg(i, 3, 10, QChar('0'));
             t.unknown[i] = false;
         }
         MemMan w(f.p->app());
         w.show();
         w.txt_from->setText("0");
         w.txt_to->setText("19");
         w.cmd_fill->click();
         ASSERT_TRUE(waitUntil([&] { return !w.busy(); }));
     }},
    {"spectrum scan", 4, "NNUN", [](Faults &f) {
         spectrumwin w(f.p->app());
         w.show();
         w.cmd_start->click();
         limits *d = w.limitsDialog();
         ASSERT_TRUE(d);
         const char *texts[] = {"9500", "9504", "1", "0.5"};
         for (int i = 0; i < 4; ++i)
             d->txt_in[i]->setText(texts[i]);
         d->cmd_OK->click();
         ASSERT_TRUE(waitUntil([&] { return !w.scanning(); }));
     }},
};

} // namespace

TEST_P(Faults, EndsWithOneMessageReleasedIntactAndWorksAgain)
{
    const Op &op = kOps[std::get<0>(GetParam())];
    const Fault fault = std::get<1>(GetParam());
    const bool startUp = std::string(op.name) == "start-up";
    mem2::table() = mem2::MemTable{};

    // The fault from the start.
    QStringList args;
    if (startUp && fault == Fault::Silent)
        args << "--silent";
    if (startUp && fault == Fault::Garbled)
        args << "--garble";
    startSim(args);
    if (!startUp) {
        makeProgram();
        ASSERT_TRUE(goAndWait(*p)) << prompter.lastText().toStdString();
        if (fault == Fault::Silent)
            sim->say("silent");
        if (fault == Fault::Garbled)
            sim->say("garble");
        ASSERT_TRUE(sim->sync());
        waitUntil([&] { return !rx()->held() && rx()->lineFree(); });
    }
    const auto before = files();
    prompter.asked.clear();

    // ... or part-way, once the operation has sent n commands.
    const int base = int(sim->commands().size());
    QTimer partWay;
    partWay.setInterval(2);
    QObject::connect(&partWay, &QTimer::timeout, [&] {
        if (sim->commands().size() < base + op.n)
            return;
        partWay.stop();
        if (fault == Fault::SilentAfter)
            sim->say("silent");
        else
            sim->stop();
    });
    if (fault == Fault::SilentAfter || fault == Fault::Removed)
        partWay.start();

    op.run(*this);
    partWay.stop();

    QStringList texts;
    for (const auto &a : prompter.asked)
        if (a.icon != Prompter::Question)
            texts << a.title + ": " + a.text;
    const char want = op.expect[int(fault)];
    const QString expected = want == 'C' ? "RS232 Communication Error: " + kCommError
                                         : "Receiver: " + (want == 'U' ? kUnreadable : kNoAnswer);
    EXPECT_EQ(texts, want == '-' ? QStringList() : QStringList{expected});
    if (rx()) {
        EXPECT_FALSE(rx()->held());
    }
    EXPECT_EQ(files(), before);

    // The receiver back: the operation works again.
    if (fault == Fault::Removed || startUp) {
        startSim();
    } else {
        sim->say(fault == Fault::Garbled ? "garble 0" : "silent 0");
        ASSERT_TRUE(sim->sync());
    }
    if (!startUp)
        update(); // as the user would after a fault
    prompter.asked.clear();
    op.run(*this);
    for (const auto &a : prompter.asked)
        EXPECT_TRUE(a.title != "RS232 Communication Error" && a.title != "Receiver") << a.text.toStdString();
    ASSERT_TRUE(rx());
    EXPECT_FALSE(rx()->held());
    EXPECT_FALSE(rx()->portLost());
}

INSTANTIATE_TEST_SUITE_P(Matrix, Faults,
                         ::testing::Combine(::testing::Range(0, int(std::size(kOps))),
                                            ::testing::Values(Fault::Silent, Fault::SilentAfter,
                                                              Fault::Garbled, Fault::Removed)),
                         [](const auto &info) {
                             QString n = QString::fromLatin1(kOps[std::get<0>(info.param)].name) + "_"
                                         + kFaultNames[int(std::get<1>(info.param))];
                             n.replace(QRegularExpression("[^A-Za-z0-9]+"), "_");
                             return n.toStdString();
                         });
