// The program against nrd535-sim on a pseudo-terminal: a first contact
// ended by a signal, and every long operation while the line fails: the receiver silent from the start, silent part-way, garbled
// replies, the device gone part-way (and then back). Each ends with its one
// message, the receiver is given back, nothing on disk changed, and the
// operation works again once the receiver is back.
#include "app/startup.h"
#include "common/endsignals.h"
#include "measure/ui/spectrum.h"
#include "memory/mem2.h"
#include "memory/ui/memman.h"
#include "panel/ui/rxctrl2.h"
#include "sim/simwait.h"
#include "simtool.h"
#include "uikit.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <csignal>
#include <gtest/gtest.h>

namespace {

enum class Fault { Silent, SilentAfter, Garbled, Removed };
const char *const kFaultNames[] = {"silent from the start", "silent after N commands",
                                   "garbled replies", "device removed, then back"};

const QString kNoAnswer = "The receiver did not answer.\nCheck the cable and that the RX is switched-on.";
const QString kUnreadable = "The receiver's reply could not be read.\nThe line may be disturbed: check the cable and its plugs.";

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

constexpr int kHang = 120000; // a hang, not a slow machine

struct Faults : ::testing::TestWithParam<std::tuple<int, Fault>>, ProgramKit {
    QTemporaryDir devDir;
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
        p = make({"vorantis", "--port", link});
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
         f.rx()->tune(9600000, Origin::Panel);
         waitUntil([&] { return f.rx()->lineFree(); }, kHang);
     }},
    {"Update", 1, "NNUN", [](Faults &f) { f.update(); }},
    {"memory fetch", 20, "NNUN", [](Faults &f) {
         MemMan w(f.p->app());
         w.show();
         w.cmd_fetch->click();
         ASSERT_TRUE(waitUntil([&] { return !w.busy(); }, kHang));
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
         ASSERT_TRUE(waitUntil([&] { return !w.busy(); }, kHang));
     }},
    {"spectrum scan", 4, "NNUN", [](Faults &f) {
         SpectrumWindow w(f.p->app());
         w.show();
         w.cmd_start->click();
         limits *d = w.limitsDialog();
         ASSERT_TRUE(d);
         const char *texts[] = {"9500", "9504", "1", "0.5"};
         for (int i = 0; i < 4; ++i)
             d->txt_in[i]->setText(texts[i]);
         d->cmd_OK->click();
         ASSERT_TRUE(waitUntil([&] { return !w.scanning(); }, kHang));
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
        waitUntil([&] { return !rx()->held() && rx()->lineFree(); }, kHang);
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

struct OverAPty : Faults {};

// The whole program over the real serial-port code: its first contact, then
// SIGTERM (a desktop logout) during a memory fetch, which ends after its
// channel; the receiver is released, the program ends, the lock file goes.
TEST_F(OverAPty, FirstContactThenATermSignalMidFetch)
{
    startSim();
    makeProgram();
    ASSERT_TRUE(goAndWait(*p)) << prompter.lastText().toStdString();
    // The demo memory's working frequency reaches the panel.
    EXPECT_FALSE(p->panel()->findChild<QLineEdit *>("txt_freqa")->text().isEmpty());
    QStringList got;
    waitUntil([&] { return (got = sim->commands()).size() >= 7; });
    EXPECT_EQ(got.mid(0, 7).join('|'), "H1|H1|U11|J1199|L199199|H0|H0");

    ASSERT_TRUE(endsignals::install(p.get(), [&](int s) { p->endBySignal(s); }));
    p->panel()->menuAction("mnu_memman")->trigger();
    MemMan *mm = shownWindow<MemMan>();
    ASSERT_TRUE(mm);
    mm->cmd_fetch->click();
    EXPECT_TRUE(waitUntil([&] { return sim->commands().contains("L010010"); }, 60000));
    const QString lock = "/var/lock/LCK.." + QString(link).replace('/', '_'); // Qt's, for that path
    EXPECT_TRUE(QFile::exists(lock)) << qPrintable(lock);
    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quitCode == 0; }, 60000));
    endsignals::uninstall();
    p.reset();
    EXPECT_FALSE(QFile::exists(lock));
    EXPECT_TRUE(waitUntil([&] { return (got = sim->commands()).mid(got.size() - 2) == QStringList{"H0", "H0"}; }, 30000))
        << qPrintable(got.join(' '));
    EXPECT_LT(got.filter(QRegularExpression("^L0\\d\\d")).last(), "L020") << "the fetch went on after the signal";
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
