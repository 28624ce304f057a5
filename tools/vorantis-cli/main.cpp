// vorantis-cli: the receiver from the command line, for scripts. Built on
// the core alone: the receiver facade, the memory table and file, and the
// memory transfers the memory manager uses.
//
//   vorantis-cli --port DEV|sim state
//   vorantis-cli --port DEV|sim tune KHZ [MODE]
//   vorantis-cli --port DEV|sim mem read [--fast] FILE
//   vorantis-cli --port DEV|sim mem write FILE [FROM TO]
//   vorantis-cli ilg DIR sw|mw [OUT]
//   vorantis-cli eibi CSV [OUT]
//   vorantis-cli eibi --update [URL]
//   vorantis-cli record SECONDS FILE [--source NAME]
//   vorantis-cli record --repair FILE
//   vorantis-cli sources
#include "common/endsignals.h"
#include "common/fmt.h"
#include "link/app.h"
#include "link/captions.h"
#include "link/limits.h"
#include "link/receiver2.h"
#include "link/rxstate.h"
#include "link/serialport.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "memory/memcsv.h"
#include "logbook/logimport.h"
#include "record/audiosource.h"
#include "record/recfiles.h"
#include "record/recorder.h"
#include "schedules/eibi.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgconvert.h"
#include "schedules/skedfetch.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "version.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStringList>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// Exit codes.
enum Exit {
    kOk = 0,
    kBadArgs = 2,    // the command line is wrong
    kNoDevice = 3,   // the port does not open (missing, busy, no permission)
    kSilent = 4,     // the receiver did not answer, the line was lost, or a
                     // reply could not be read (garbled)
    kBadFile = 5,    // a file that cannot be read or written, or is malformed
    kBadReplies = 6, // records that do not fit their layout or the receiver's
                     // limits (in a memory, database or schedule file): left out
    kStopped = 7,    // ended by SIGINT, SIGTERM or SIGHUP: the receiver released
    kNoFetch = 8,    // eibi --update: the schedule could not be fetched
};

const char *kUsage =
    "Usage: vorantis-cli --port DEVICE|sim [--timeout MS] COMMAND\n"
    "       vorantis-cli ilg|eibi ...\n"
    "\n"
    "Commands:\n"
    "  state                    show the frequency and the settings\n"
    "  tune KHZ [MODE]          tune to KHZ (10 to 29999.999), optionally in MODE\n"
    "                           (RTTY CW USB LSB AM NFM FAX AM-U AM-L, or 0-8)\n"
    "  mem read FILE            read the 200 memory channels into a memory file\n"
    "                           (--fast: all channels with one read-out command,\n"
    "                           channels that do not come whole read one by one)\n"
    "  mem write FILE [FROM TO] write channels FROM..TO (default 0 199) of a\n"
    "                           memory file into the receiver\n"
    "\n"
    "Schedule conversions (no receiver needed):\n"
    "  ilg DIR sw|mw [OUT]      convert ILGSDATA.dbf (sw) or ILGADATA.dbf (mw) in\n"
    "                           DIR into OUT (default ILGSDATA.ftl / ILGADATA.ftl)\n"
    "  eibi CSV [OUT]           import a ;-separated broadcast schedule into OUT\n"
    "                           (default: the CSV's name with .ftl)\n"
    "  eibi --update [URL]      fetch the current season's schedule (sked-b26.csv)\n"
    "                           from the set-up's address, or URL, into the base\n"
    "                           folder and import it into Rx2Db (without a settings\n"
    "                           file: the working folder); unchanged: not fetched\n"
    "                           again. Exit code 8: it could not be fetched\n"
    "\n"
    "Recording (no receiver needed):\n"
    "  record SECONDS FILE [--source NAME]\n"
    "                           record the sound input for SECONDS into FILE;\n"
    "                           the format follows the extension: .flac, .opus\n"
    "                           (or .ogg, Ogg Opus) or .wav; 48 kHz mono. NAME is\n"
    "                           an input from 'sources' (default: the sound\n"
    "                           server's default input) or tone[:HZ], a test tone.\n"
    "                           Ctrl+C ends the recording early, file closed.\n"
    "  record --repair FILE     fix the header of a WAV file whose recording was\n"
    "                           cut off (the program was killed)\n"
    "  sources                  list the sound server's inputs\n"
    "  A sound input that cannot be opened gives exit code 3, a recording file\n"
    "  that cannot be written (disk full) 5.\n"
    "\n"
    "Memory and log files (no receiver needed):\n"
    "  mem import CSV MEMFILE   the channels of CSV (the rig-control tool's layout\n"
    "                           or Channel,Frequency (kHz),Mode,...) into MEMFILE;\n"
    "                           an existing MEMFILE keeps the channels the CSV\n"
    "                           does not name; nothing is written when a row is bad\n"
    "  mem export MEMFILE CSV [--rigmem]\n"
    "                           MEMFILE as a spreadsheet CSV (or the tool's layout);\n"
    "                           an existing CSV is not written over\n"
    "  log import ADIF LOGFILE  an .adi or .adx log into a new LOGFILE; records\n"
    "                           past the log's capacity go into LOGFILE-2 and on\n"
    "\n"
    "Options:\n"
    "  --port DEVICE   the receiver's serial line (4800,N,8,1), e.g. /dev/ttyUSB0\n"
    "                  or the device nrd535-sim prints; a relative path is taken\n"
    "                  from the working folder\n"
    "  --port sim      the built-in simulated receiver\n"
    "  --timeout MS    how long to wait for each reply (default 1500)\n"
    "  --version       the program's version\n"
    "  --help          this text\n"
    "\n"
    "Exit codes: 0 done, 2 bad arguments, 3 the port does not open, 4 the\n"
    "receiver did not answer or a reply could not be read (mem read: such\n"
    "channels are written as unknown, never as data), 5 a memory, database\n"
    "or schedule file that cannot be used, 6 records that do not fit their\n"
    "layout or the receiver's limits (mem write sends the others and names\n"
    "these; database or schedule records are left out of the list), 7 stopped\n"
    "by Ctrl+C, SIGTERM or SIGHUP: a read-out or write ends after its current\n"
    "channel, says how far it got, and the receiver is released and the port\n"
    "closed. 8 a schedule that could not be fetched (eibi --update).\n"
    "A read-out whose FILE cannot be written after the read is kept in a file in\n"
    "the temporary folder; the message says where.\n";

// Messages of the facade go to standard error; questions are answered Yes.
class CliPrompter : public Prompter {
public:
    Answer message(const QString &text, const QString &, Icon, Buttons b) override
    {
        std::fprintf(stderr, "vorantis-cli: %s\n", qPrintable(QString(text).replace('\n', ' ')));
        return b == Ok || b == OkCancel ? AnsOk : AnsYes;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        return d;
    }
};

int fail(int code, const QString &text)
{
    std::fprintf(stderr, "vorantis-cli: %s\n", qPrintable(text));
    return code;
}

int badArgs(const QString &text)
{
    std::fprintf(stderr, "vorantis-cli: %s\n\n%s", qPrintable(text), kUsage);
    return kBadArgs;
}

void out(const QString &text)
{
    std::fprintf(stdout, "%s\n", qPrintable(text));
    std::fflush(stdout);
}

// Every mode caption, options or not.
const Captions &allCaptions()
{
    static const Captions c = Captions::build(true, true);
    return c;
}

int parseMode(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        return rxlimits::kMode.contains(n) ? n : -1;
    const QStringList &modes = allCaptions().mode;
    for (int i = 0; i < modes.size(); ++i)
        if (modes.at(i).trimmed().compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool parseChannel(const QString &text, int *ch)
{
    bool ok = false;
    *ch = text.toInt(&ok);
    return ok && rxlimits::validChannel(*ch);
}

// The receiver's state report, or exit 4 when any part of the reply cannot
// be used (a garbled line): a script must never take "unknown" for a
// success.
int printState(const QString &x13)
{
    const DecodedState d = DecodedState::decode(x13);
    const Captions &c = allCaptions();
    QStringList unusable;
    if (!d.freqValid || !rxlimits::inRange(d.khz))
        unusable << QStringLiteral("frequency");
    const std::pair<const char *, std::pair<const QStringList *, int>> fields[] = {
        {"mode", {&c.mode, d.mode}},
        {"bandwidth", {&c.bw, d.bw}},
        {"att", {&c.att, d.att}},
        {"agc", {&c.agc, d.agc}}};
    for (const auto &[name, f] : fields)
        if (f.second < 0 || Captions::text(*f.first, f.second).trimmed().isEmpty())
            unusable << QLatin1String(name);
    if (!unusable.isEmpty())
        return fail(kSilent, QStringLiteral("the receiver's reply \"%1\" could not be read (%2): "
                                            "the line may be disturbed")
                                 .arg(x13.mid(1).trimmed(), unusable.join(QStringLiteral(", "))));
    out(QStringLiteral("frequency  %1 kHz").arg(fmt::freqText(d.khz)));
    for (const auto &[name, f] : fields)
        out(QStringLiteral("%1 %2")
                .arg(QLatin1String(name), -10)
                .arg(Captions::text(*f.first, f.second).trimmed()));
    return kOk;
}

// Before a long read-out: the file can be written where it is to go (its
// folder is made as the save would make it, and a scratch file created
// there). Empty when it can, else why not.
QString cannotWrite(const QString &file)
{
    const QFileInfo fi(file);
    if (fi.exists() && !fi.isFile())
        return QStringLiteral("it is not a regular file");
    const QString dir = fi.absolutePath();
    if (!QDir().mkpath(dir))
        return QStringLiteral("the folder %1 cannot be made").arg(dir);
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".vorantis-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("no file can be made in %1 (%2)").arg(dir, probe.errorString());
    if (fi.exists() && !fi.isWritable())
        return QStringLiteral("it is read-only");
    return {};
}

struct Cli {
    App app;
    CliPrompter prompter;
    SystemClock clock;
    std::unique_ptr<Port> port;
    std::unique_ptr<Receiver2> rx;

    int open(const QString &device)
    {
        app.prompter = &prompter;
        app.clock = &clock;
        app.settings = settingsfile::defaults();
        // Every mode is offered: the receiver says what it has.
        app.settings.setNarrowFitted(true);
        app.settings.setEcssFitted(true);
        app.cap = allCaptions();
        rx = std::make_unique<Receiver2>(app);
        if (device == QLatin1String("sim"))
            port = std::make_unique<SimPort>();
        else
            port = std::make_unique<SerialPort>(device);
        QString err;
        if (!port->open(&err))
            return fail(kNoDevice, QStringLiteral("cannot open the port: %1").arg(err));
        rx->setPort(port.get());
        return kOk;
    }
    ~Cli()
    {
        if (!rx)
            return;
        // The serial line writes from the event loop: give the last
        // commands (the release's "H0") time to leave before the port closes.
        if (port && port->isOpen()) {
            QTimer::singleShot(2 * rxlimits::kBracketPauseMs, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
        rx->setPort(nullptr);
    }

    // Runs one job on the line's owner to its end (the program's only
    // event loop runs meanwhile).
    void run(Receiver2::Body body, bool withBracket)
    {
        const QMetaObject::Connection done =
            QObject::connect(rx.get(), &Receiver2::idle, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        rx->submit(std::move(body), withBracket);
        QCoreApplication::exec();
        QObject::disconnect(done);
    }

    // --- ending by a signal ------------------------------------------------
    // The signal that asked the tool to end (0: none). A running transfer
    // stops after its current channel and gives the receiver back; a short
    // command runs to its end. The event loop then ends as usual: the last
    // "H0" leaves and the port closes (its lock file goes with it).
    int stopSignal = 0;
    QPointer<mem2::MemTransfer> transfer;
    int lastChannel = -1; // the last channel a transfer came to

    void stopBySignal(int sig)
    {
        if (!stopSignal)
            stopSignal = sig;
        if (transfer)
            transfer->cancel();
    }
    // Called for the transfer about to run.
    void watch(mem2::MemTransfer &x)
    {
        transfer = &x;
        lastChannel = -1;
        QObject::connect(&x, &mem2::MemTransfer::progress, qApp, [this](int ch, int, int) { lastChannel = ch; });
        if (stopSignal)
            x.cancel();
    }
    int stopped(const QString &howFar) const
    {
        return fail(kStopped, QStringLiteral("Stopped by signal (%1) %2; the receiver was released")
                                  .arg(endsignals::name(stopSignal), howFar));
    }
    // A read-out whose file could not be written is kept in the temporary
    // folder, under a name the memory manager loads.
    static int keepInTemp(mem2::MemTable &t, const QString &file, const QString &why)
    {
        QTemporaryFile tmp(QDir::temp().filePath(QStringLiteral("MEM_XXXXXX.TXT")));
        tmp.setAutoRemove(false);
        QString err;
        if (!tmp.open())
            err = tmp.errorString();
        const QString path = tmp.fileName();
        tmp.close();
        if (err.isEmpty() && mem2::writeMemFile(path, t, &err))
            return fail(kBadFile, QStringLiteral("%1 The channels read are kept in %2")
                                      .arg(QString(why).replace('\n', ' '), QDir::toNativeSeparators(path)));
        QFile::remove(path);
        return fail(kBadFile, QStringLiteral("%1 The channels read could not be kept in the temporary folder "
                                             "either: %2")
                                  .arg(QString(why).replace('\n', ' '), QString(err).replace('\n', ' ')));
    }

    int silent() const
    {
        if (rx->portLost())
            return fail(kSilent, QStringLiteral("the line to the receiver was lost (%1)").arg(port->name()));
        if (rx->lastReplyState() == Receiver2::ReplyState::Unreadable)
            return fail(kSilent, QStringLiteral("the receiver's reply \"%1\" on %2 could not be read: "
                                                "the line may be disturbed")
                                     .arg(mem2::unreadableRecord(rx->lastReply()).mid(1), port->name()));
        return fail(kSilent, QStringLiteral("the receiver did not answer on %1").arg(port->name()));
    }

    int state()
    {
        std::optional<QString> x;
        run([this, &x]() -> rxjob::Task<> { x = co_await rx->aReadRxState(); }, true);
        if (!x)
            return silent();
        return printState(*x);
    }

    int tune(qint64 hz, int mode)
    {
        std::optional<QString> x;
        run(
            [this, &x, hz, mode]() -> rxjob::Task<> {
                co_await rx->aHold();
                const Receiver2::SetOutcome tuned = co_await rx->aTune({hz, Origin::Remote, {}, {}, {}});
                if (tuned == Receiver2::SetOutcome::Sent)
                    co_await rx->pause(rxlimits::kBracketPauseMs);
                if (mode >= 0) {
                    const Receiver2::SetOutcome set = co_await rx->aSetMode(mode);
                    if (set == Receiver2::SetOutcome::Sent)
                        co_await rx->pause(rxlimits::kBracketPauseMs);
                }
                // Read back what the receiver now has.
                x = co_await rx->aReadRxState();
                co_await rx->aRelease();
            },
            false);
        if (!x)
            return silent();
        return printState(*x);
    }

    int memRead(const QString &file, bool fast)
    {
        // Checked first: the read-out takes many seconds.
        if (const QString why = cannotWrite(file); !why.isEmpty())
            return fail(kBadFile,
                        QStringLiteral("cannot write %1: %2; nothing was read").arg(file, why));
        mem2::MemTable t;
        mem2::MemTransfer x(app, t);
        x.fast = fast;
        watch(x);
        mem2::FetchResult r;
        run([&]() -> rxjob::Task<> { r = co_await x.aFetch(); }, false);
        if (r.outcome == mem2::Outcome::Cancelled)
            return stopped(QStringLiteral("after %1 of 200 channels read; %2 not written").arg(r.read).arg(file));
        if (r.outcome != mem2::Outcome::Done) {
            silent();
            return fail(kSilent, QStringLiteral("%1 of 200 channels read; %2 not written")
                                     .arg(r.read)
                                     .arg(file));
        }
        QString err;
        if (!mem2::writeMemFile(file, t, &err))
            return keepInTemp(t, file, err);
        int data = 0, empty = 0;
        for (int i = 0; i < mem2::kChannels; ++i) {
            if (t.unknown[i])
                continue;
            const mem2::RecKind k = mem2::recordKind(t.rec[i]);
            data += k == mem2::RecKind::Data;
            empty += k == mem2::RecKind::Empty;
        }
        out(QStringLiteral("200 channels read: %1 with data, %2 empty%3; written to %4")
                .arg(data)
                .arg(empty)
                .arg(r.bad.isEmpty() ? QString() : QStringLiteral(", %1 unknown").arg(r.bad.size()))
                .arg(file));
        if (!r.bad.isEmpty())
            return fail(kSilent, mem2::unreadableText(t, r.bad).replace('\n', ' '));
        return kOk;
    }

    int memWrite(const QString &file, int first, int last)
    {
        mem2::MemTable t;
        int lines = 0;
        QString err;
        QList<int> bad;
        if (!mem2::readMemFile(file, t, &lines, &err, &bad))
            return fail(kBadFile, QString(err).replace('\n', ' '));
        if (lines <= last)
            return fail(kBadFile, QStringLiteral("%1 holds %2 lines; channels %3 to %4 are missing")
                                      .arg(file)
                                      .arg(lines)
                                      .arg(mem2::ch3(std::max(lines, first)))
                                      .arg(mem2::ch3(last)));
        // Checked before anything is sent; as the memory manager's fill, the
        // records that cannot go are named and left out, the others sent.
        const mem2::FillPlan plan = mem2::planFill(t, first, last);
        QList<int> badInRange = plan.bad + plan.unknown;
        std::sort(badInRange.begin(), badInRange.end());
        if (!badInRange.isEmpty())
            fail(kBadReplies, file + QStringLiteral(": ") +
                                  mem2::badRecordsText(t, badInRange).replace('\n', ' '));
        for (int ch : plan.outside)
            fail(kBadReplies, QStringLiteral("%1: channel %2: %3; not sent")
                                  .arg(file, mem2::ch3(ch), plan.why.value(ch)));
        mem2::MemTransfer x(app, t);
        watch(x);
        mem2::FillResult r;
        run([&]() -> rxjob::Task<> { r = co_await x.aFill(first, last); }, false);
        if (r.outcome == mem2::Outcome::Cancelled) {
            const qsizetype planned = plan.writes.size() + plan.empties.size();
            return stopped(lastChannel < 0 ? QStringLiteral("before channel %1: 0 of %2 written")
                                                 .arg(mem2::ch3(first))
                                                 .arg(planned)
                                           : QStringLiteral("after channel %1: %2 of %3 written")
                                                 .arg(mem2::ch3(lastChannel))
                                                 .arg(r.sent)
                                                 .arg(planned));
        }
        if (r.outcome != mem2::Outcome::Done)
            return silent();
        const qsizetype left = badInRange.size() + plan.outside.size();
        out(QStringLiteral("channels %1 to %2 written: %3 stored, %4 emptied%5")
                .arg(mem2::ch3(first), mem2::ch3(last))
                .arg(plan.writes.size())
                .arg(plan.empties.size())
                .arg(left == 0 ? QString()
                               : QStringLiteral(", %1 not sent (left as they are in the receiver)").arg(left)));
        return left == 0 ? kOk : kBadReplies;
    }
};

// The conversions of the ILG and Db2Rx windows, without a window.
int convertIlg(const QString &dir, const QString &which, QString outPath)
{
    const QString table = QLatin1String(which == QLatin1String("sw") ? ilg::SwTable : ilg::MwTable);
    if (outPath.isEmpty())
        outPath = ilg::ftlName(table);
    const QStringList &areas = allCaptions().region_codes;
    QString reason;
    std::unique_ptr<DbfTable> t = ilg::openTable(dir, table, areas, &reason);
    if (!t)
        return fail(kBadFile, QStringLiteral("could not connect to the database: %1").arg(reason));
    const ilg::Result r = ilg::convert(*t, table + QStringLiteral(".dbf"), outPath, areas);
    if (!r.ok)
        return fail(kBadFile, r.error);
    out(QStringLiteral("%1 records converted into %2").arg(r.converted).arg(outPath));
    if (!r.warning.isEmpty())
        return fail(r.badFreq + r.unreadable > 0 ? kBadReplies : kBadFile,
                    QString(r.warning).replace('\n', ' '));
    return kOk;
}

int importEibi(const QString &csv, QString outPath);

std::atomic<bool> g_stopFetch{false};

// eibi --update: the season's file (or url's) into the folder the program's
// import reads from, then imported as by "eibi CSV OUT".
int updateEibi(const QString &urlArg)
{
    QString baseDir = QDir::currentPath() + QLatin1Char('/');
    QString ftlDir = baseDir;
    QString skedBase = Settings().sked_base;
    if (const QString ini = settingsfile::locate(); !ini.isEmpty()) {
        Settings s;
        QString err;
        if (!settingsfile::load(ini, &s, &err))
            return fail(kBadFile, QString(err).replace('\n', ' '));
        baseDir = sked::csvDir(s.base_dir);
        ftlDir = ftl::dataDir(s.base_dir);
        skedBase = s.sked_base;
    }
    const QString season = sked::seasonFile(QDateTime::currentDateTimeUtc().date());
    const QUrl url = urlArg.isEmpty() ? sked::fileUrl(skedBase, season) : QUrl(urlArg);
    QString name = QFileInfo(url.path()).fileName();
    if (name.isEmpty())
        name = season;
    const QString csv = baseDir + name;

    SkedFetch f;
    f.regionCodes = allCaptions().region_codes;
    int shown = -1;
    QObject::connect(&f, &SkedFetch::progress, &f, [&shown](qint64 got, qint64 total) {
        // A line each tenth (or each 256 kB when the size is not known);
        // none while nothing has come (an unchanged file, a refused call).
        if (got <= 0)
            return;
        const int step = total > 0 ? int(got * 10 / total) : int(got >> 18);
        if (step == shown)
            return;
        shown = step;
        if (total > 0)
            std::fprintf(stderr, "vorantis-cli: fetched %lld of %lld bytes\n", got, total);
        else
            std::fprintf(stderr, "vorantis-cli: fetched %lld bytes\n", got);
    });
    g_stopFetch = false;
    std::signal(SIGINT, [](int) { g_stopFetch = true; });
    std::signal(SIGTERM, [](int) { g_stopFetch = true; });
    QTimer stop;
    QObject::connect(&stop, &QTimer::timeout, &f, [&f] {
        if (g_stopFetch)
            f.cancel();
    });
    stop.start(100);
    QObject::connect(&f, &SkedFetch::finished, QCoreApplication::instance(), &QCoreApplication::quit);
    std::fprintf(stderr, "vorantis-cli: fetching %s\n", qPrintable(url.toString()));
    f.fetch(url, csv);
    QCoreApplication::exec();
    const QString text = QString(f.message()).replace('\n', ' ');
    const QString ftlPath = ftlDir + eibi::ftlNameFor(csv);
    switch (f.outcome()) {
    case SkedFetch::Outcome::Fetched:
        std::fprintf(stderr, "vorantis-cli: %s\n", qPrintable(text));
        QDir().mkpath(ftlDir);
        return importEibi(csv, ftlPath);
    case SkedFetch::Outcome::UpToDate:
        std::fprintf(stderr, "vorantis-cli: %s\n", qPrintable(text));
        if (QFileInfo::exists(ftlPath))
            return kOk;
        QDir().mkpath(ftlDir);
        return importEibi(csv, ftlPath);
    case SkedFetch::Outcome::Cancelled:
        return fail(kStopped, text);
    default:
        return fail(kNoFetch, text);
    }
}

int importEibi(const QString &csv, QString outPath)
{
    if (outPath.isEmpty())
        outPath = eibi::ftlNameFor(csv);
    const eibi::Result r = eibi::import(csv, outPath, allCaptions().region_codes);
    if (!r.ok)
        return fail(kBadFile, QString(r.error).replace('\n', ' '));
    const QStringList s = r.summary(outPath).split('\n');
    out(s.first());
    if (r.bad > 0)
        return fail(kBadReplies, s.mid(1).join(' '));
    return kOk;
}

// Memory channels and logs from and to other programs' files.
int memImport(const QString &csv, const QString &memFile)
{
    const memcsv::Parsed p = memcsv::read(csv);
    if (!p.ok)
        return fail(kBadFile, QString(p.error).replace('\n', ' '));
    if (!p.bad.isEmpty())
        return fail(kBadReplies, memcsv::problemsText(p, csv).replace('\n', ' ') +
                                     QStringLiteral("; %1 not written").arg(memFile));
    mem2::MemTable t;
    const bool existed = QFileInfo::exists(memFile);
    if (existed) {
        int lines = 0, extra = 0;
        QString err;
        if (!mem2::readMemFile(memFile, t, &lines, &err, nullptr, &extra))
            return fail(kBadFile, QString(err).replace('\n', ' '));
        if (extra > 0)
            return fail(kBadFile, QStringLiteral("%1 holds %2 lines past channel 199; not written over")
                                      .arg(memFile).arg(extra));
    }
    const int changed = memcsv::apply(p.rows, t);
    QString err;
    if (!mem2::writeMemFile(memFile, t, &err))
        return fail(kBadFile, QString(err).replace('\n', ' '));
    out(QStringLiteral("%1 channels read from %2, %3 changed; written to %4%5")
            .arg(p.rows.size()).arg(csv).arg(changed).arg(memFile)
            .arg(existed ? QStringLiteral(" (its other channels kept)") : QString()));
    return kOk;
}

int memExport(const QString &memFile, const QString &csv, bool rigmem)
{
    if (QFileInfo::exists(csv))
        return fail(kBadFile, QStringLiteral("%1 exists; give another name").arg(csv));
    mem2::MemTable t;
    int lines = 0;
    QString err;
    if (!mem2::readMemFile(memFile, t, &lines, &err))
        return fail(kBadFile, QString(err).replace('\n', ' '));
    QList<int> left;
    const QStringList l = rigmem ? memcsv::rigmemLines(t, &left) : memcsv::sheetLines(t, &left);
    if (!memcsv::write(csv, l, rigmem ? memcsv::Layout::Rigmem : memcsv::Layout::Sheet, &err))
        return fail(kBadFile, QString(err).replace('\n', ' '));
    out(QStringLiteral("%1 channels written to %2%3").arg(l.size() - 1).arg(csv)
            .arg(left.isEmpty() ? QString()
                                : QStringLiteral("; left out (never filled or not known): %1")
                                      .arg(mem2::channelList(left))));
    return kOk;
}

int logImport(const QString &adif, const QString &logFile)
{
    if (QFileInfo::exists(logFile))
        return fail(kBadFile, QStringLiteral("%1 exists; an import goes into a new log").arg(logFile));
    const logimport::Result r = logimport::read(adif);
    if (!r.ok)
        return fail(kBadFile, QString(r.error).replace('\n', ' '));
    const int cap = logging2::LogBook::capacityFor(settingsfile::defaults());
    const QFileInfo fi(logFile);
    int written = 0;
    for (int part = 1; written < r.records.size() || part == 1; ++part) {
        const QString path = fi.dir().filePath(logimport::partName(fi.fileName(), part));
        if (part > 1 && QFileInfo::exists(path))
            return fail(kBadFile, QStringLiteral("%1 exists; %2 records not imported").arg(path)
                                      .arg(r.records.size() - written));
        int n = 0;
        QString err;
        if (!logimport::savePart(r.records, written, cap, path, &n, &err))
            return fail(kBadFile, QString(err).replace('\n', ' '));
        out(QStringLiteral("%1 records written to %2").arg(n).arg(path));
        written += n;
    }
    if (!r.bad.isEmpty())
        return fail(kBadReplies, logimport::problemsText(r, adif).replace('\n', ' '));
    return kOk;
}

// Recording from the sound input, without a receiver.
std::atomic<bool> g_interrupted{false};

void onInterrupt(int) { g_interrupted = true; }

int listInputs()
{
    std::vector<audioinput::SourceInfo> list;
    QString err;
    if (!audioinput::listSources(&list, &err))
        return fail(kNoDevice, err);
    for (const auto &s : list)
        out(s.name + QLatin1Char('\t') + s.description);
    return kOk;
}

int repairRecording(const QString &file)
{
    bool fixed = false;
    QString err;
    if (!recfiles::repairWav(file, &fixed, &err))
        return fail(kBadFile, err);
    out(fixed ? QStringLiteral("%1: header fixed").arg(file)
              : QStringLiteral("%1: header already right").arg(file));
    return kOk;
}

int recordInput(double seconds, const QString &file, const QString &source)
{
    recfiles::Format f;
    if (!recfiles::formatFromPath(file, &f))
        return badArgs(QStringLiteral("%1: the name must end in .flac, .opus, .ogg or .wav").arg(file));
    const QString dir = QFileInfo(file).absolutePath();
    const qint64 free = recfiles::freeBytes(dir);
    if (free >= 0 && free < recfiles::kLowSpace)
        std::fprintf(stderr, "vorantis-cli: warning: only %lld MB free in %s\n",
                     (long long)(free / (1024 * 1024)), qPrintable(QDir::toNativeSeparators(dir)));
    Recorder r;
    Recorder::Options o;
    o.path = file;
    o.format = f;
    o.maxFrames = (long long)std::llround(seconds * o.rate);
    std::unique_ptr<AudioSource> src = audioinput::makeSource(source);
    // The input is tried first, so that no file is made when it is missing.
    QString err;
    if (!src->open(o.rate, o.channels, &err))
        return fail(kNoDevice, QString(err).replace('\n', ' '));
    if (!r.start(std::move(src), o, &err))
        return fail(kBadFile, QString(err).replace('\n', ' '));
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    while (!r.waitEnded(100)) {
        if (g_interrupted)
            break;
    }
    r.stop();
    const QString why = r.failure();
    out(QStringLiteral("%1: %2 s at %3 Hz from %4")
            .arg(file, QString::number(r.seconds(), 'f', 2))
            .arg(o.rate)
            .arg(source.isEmpty() ? QStringLiteral("default") : source));
    if (!why.isEmpty())
        return fail(why.contains(QLatin1String("could not be written")) ? kBadFile : kNoDevice,
                    QString(why).replace('\n', ' '));
    return kOk;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication qapp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorantis-cli"));

    QString device;
    int timeoutMs = rxlimits::kReplyTimeoutMs;
    bool fast = false; // mem read --fast
    QStringList words;
    QString source;      // record --source
    bool repair = false; // record --repair
    bool rigmem = false; // mem export --rigmem
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("eibi") && args.at(2) == QLatin1String("--update")) {
        if (args.size() > 4)
            return badArgs(QStringLiteral("eibi --update takes at most one URL"));
        return updateEibi(args.value(3));
    }
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return kOk;
        } else if (a == QLatin1String("--version")) {
            std::printf("vorantis-cli %s\n", VORANTIS_VERSION);
            return kOk;
        } else if (a == QLatin1String("--port") || a == QLatin1String("--timeout")) {
            if (i + 1 >= args.size())
                return badArgs(QStringLiteral("%1 needs a value").arg(a));
            const QString v = args.at(++i);
            if (a == QLatin1String("--port")) {
                device = v;
            } else {
                bool ok = false;
                timeoutMs = v.toInt(&ok);
                if (!ok || timeoutMs < 1)
                    return badArgs(QStringLiteral("--timeout needs a number of milliseconds"));
            }
        } else if (a == QLatin1String("--fast")) {
            fast = true;
        } else if (a == QLatin1String("--source")) {
            if (i + 1 >= args.size())
                return badArgs(QStringLiteral("--source needs a value"));
            source = args.at(++i);
        } else if (a == QLatin1String("--repair")) {
            repair = true;
        } else if (a == QLatin1String("--rigmem")) {
            rigmem = true;
        } else if (a.startsWith(QLatin1String("--port="))) {
            device = a.mid(7);
        } else if (a.startsWith(QLatin1String("--"))) {
            return badArgs(QStringLiteral("unknown option: %1").arg(a));
        } else {
            words << a;
        }
    }
    if (words.isEmpty())
        return badArgs(QStringLiteral("no command given"));
    if (words.at(0) == QLatin1String("ilg")) {
        if (words.size() < 3 || words.size() > 4 ||
            (words.at(2) != QLatin1String("sw") && words.at(2) != QLatin1String("mw")))
            return badArgs(QStringLiteral("ilg needs DIR, sw or mw, and optionally OUT"));
        return convertIlg(words.at(1), words.at(2), words.value(3));
    }
    if (words.at(0) == QLatin1String("eibi")) {
        if (words.size() < 2 || words.size() > 3)
            return badArgs(QStringLiteral("eibi needs CSV and optionally OUT"));
        return importEibi(words.at(1), words.value(2));
    }
    if (words.at(0) == QLatin1String("sources")) {
        if (words.size() != 1)
            return badArgs(QStringLiteral("sources takes no arguments"));
        return listInputs();
    }
    if (words.at(0) == QLatin1String("record")) {
        if (repair) {
            if (words.size() != 2)
                return badArgs(QStringLiteral("record --repair needs FILE"));
            return repairRecording(words.at(1));
        }
        bool ok = false;
        const double seconds = words.value(1).toDouble(&ok);
        if (words.size() != 3 || !ok || !(seconds > 0 && seconds <= 86400))
            return badArgs(QStringLiteral("record needs SECONDS (up to 86400) and FILE"));
        return recordInput(seconds, words.at(2), source);
    }
    if (words.at(0) == QLatin1String("mem") &&
        (words.value(1) == QLatin1String("import") || words.value(1) == QLatin1String("export"))) {
        if (words.size() != 4)
            return badArgs(QStringLiteral("mem %1 needs two files").arg(words.at(1)));
        return words.at(1) == QLatin1String("import") ? memImport(words.at(2), words.at(3))
                                                      : memExport(words.at(2), words.at(3), rigmem);
    }
    if (words.at(0) == QLatin1String("log")) {
        if (words.value(1) != QLatin1String("import") || words.size() != 4)
            return badArgs(QStringLiteral("log import needs ADIF and LOGFILE"));
        return logImport(words.at(2), words.at(3));
    }
    if (rigmem)
        return badArgs(QStringLiteral("--rigmem goes with mem export"));
    if (!source.isEmpty() || repair)
        return badArgs(QStringLiteral("--source and --repair go with record"));
    if (device.isEmpty())
        return badArgs(QStringLiteral("--port DEVICE or --port sim is needed"));

    // Check the whole command line before the port is touched.
    const QString cmdName = words.at(0);
    qint64 hz = 0;
    int mode = -1, first = rxlimits::kFirstChannel, last = rxlimits::kLastChannel;
    QString file;
    if (cmdName == QLatin1String("state")) {
        if (words.size() != 1)
            return badArgs(QStringLiteral("state takes no arguments"));
    } else if (cmdName == QLatin1String("tune")) {
        if (words.size() < 2 || words.size() > 3)
            return badArgs(QStringLiteral("tune needs KHZ and optionally MODE"));
        bool ok = false;
        const double khz = QString(words.at(1)).replace(',', '.').toDouble(&ok);
        hz = ok && std::isfinite(khz) ? std::llround(khz * 1000.0) : -1;
        if (!rxlimits::inRangeHz(hz))
            return badArgs(QStringLiteral("%1 is not a frequency from %2 to %3 kHz")
                               .arg(words.at(1), fmt::freqText(rxlimits::kMinKhz),
                                    fmt::freqText(rxlimits::kMaxKhz)));
        if (words.size() == 3 && (mode = parseMode(words.at(2))) < 0)
            return badArgs(QStringLiteral("%1 is not a mode").arg(words.at(2)));
    } else if (cmdName == QLatin1String("mem")) {
        const QString sub = words.value(1);
        if (sub == QLatin1String("read")) {
            if (words.size() != 3)
                return badArgs(QStringLiteral("mem read needs FILE"));
        } else if (sub == QLatin1String("write")) {
            if (words.size() != 3 && words.size() != 5)
                return badArgs(QStringLiteral("mem write needs FILE and optionally FROM TO"));
            if (words.size() == 5) {
                if (!parseChannel(words.at(3), &first) || !parseChannel(words.at(4), &last))
                    return badArgs(QStringLiteral("FROM and TO are channels from %1 to %2")
                                       .arg(rxlimits::kFirstChannel)
                                       .arg(rxlimits::kLastChannel));
                if (first > last)
                    std::swap(first, last);
            }
        } else {
            return badArgs(QStringLiteral("mem needs read or write"));
        }
        file = words.at(2);
    } else {
        return badArgs(QStringLiteral("unknown command: %1").arg(cmdName));
    }

    if (fast && (cmdName != QLatin1String("mem") || words.at(1) != QLatin1String("read")))
        return badArgs(QStringLiteral("--fast goes with mem read only"));
    Cli cli;
    endsignals::install(qApp, [&cli](int sig) { cli.stopBySignal(sig); });
    if (const int rc = cli.open(device))
        return rc;
    cli.app.replyTimeoutMs = timeoutMs;
    const auto command = [&]() -> int {
        if (cmdName == QLatin1String("state"))
            return cli.state();
        if (cmdName == QLatin1String("tune"))
            return cli.tune(hz, mode);
        if (words.at(1) == QLatin1String("read"))
            return cli.memRead(file, fast);
        return cli.memWrite(file, first, last);
    };
    const int rc = command();
    // A short command asked to stop has still run to its end.
    if (cli.stopSignal && rc == kOk)
        return cli.stopped(QStringLiteral("at the end of %1").arg(cmdName));
    return rc;
}
