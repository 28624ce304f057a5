#include "memory/memtransfer.h"

#include "link/app.h"
#include "link/commands.h"
#include "link/receiver2.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace mem2 {

QString sendFault(const QString &rec)
{
    return rxreply::recordFault(rec.mid(4, 12));
}

FillPlan planFill(const MemTable &t, int first, int last)
{
    FillPlan p;
    p.first = first;
    p.last = last;
    for (int i = first; i <= last; ++i) {
        if (t.unknown[i]) {
            // Not read at all, or read (or loaded) in a shape that does not fit.
            (recordKind(t.rec[i]) == RecKind::Bad ? p.bad : p.unknown) << i;
            continue;
        }
        switch (recordKind(t.rec[i])) {
        case RecKind::Data:
            if (const QString why = sendFault(t.rec[i]); !why.isEmpty()) {
                p.outside << i;
                p.why[i] = why;
            } else {
                p.writes << i;
            }
            break;
        case RecKind::Empty:
        case RecKind::NeverFilled: p.empties << i; break;
        case RecKind::Bad: p.bad << i; break;
        }
    }
    return p;
}

QString fillNotes(const FillPlan &p)
{
    QString s;
    if (!p.empties.isEmpty())
        s += QStringLiteral("\n\n%1 of these channels %2 no data in the MemMan Window\n"
                            "and will be emptied in the receiver.")
                 .arg(p.empties.size())
                 .arg(p.empties.size() == 1 ? QStringLiteral("holds") : QStringLiteral("hold"));
    if (!p.unknown.isEmpty())
        s += QStringLiteral("\n\nNot read from the receiver, left as they are:\n") +
             channelList(p.unknown);
    if (!p.bad.isEmpty())
        s += QStringLiteral("\n\nRecords that do not fit the memory layout, left as they are:\n") +
             channelList(p.bad);
    if (!p.outside.isEmpty()) {
        s += QStringLiteral("\n\nRecords the receiver cannot hold, not sent (left as they are):");
        constexpr int kShown = 8;
        for (int k = 0; k < p.outside.size() && k < kShown; ++k)
            s += QLatin1Char('\n') + ch3(p.outside.at(k)) + QStringLiteral("  ") + p.why.value(p.outside.at(k));
        if (p.outside.size() > kShown)
            s += QStringLiteral("\nand ") + channelList(p.outside.mid(kShown));
    }
    return s;
}

QString StreamParser::record(QByteArrayView line, int *ch)
{
    const rxreply::Readout r = rxreply::readout(line);
    if (!r.ok())
        return {};
    const QString rec = r.kind == rxreply::Readout::Empty ? emptyRecord(r.channel)
                                                          : QLatin1Char('L') + ch3(r.channel) + r.rec12;
    // Also a record of the table's layout (an NFM channel's AGC digit too).
    if (recordKind(rec) == RecKind::Bad)
        return {};
    *ch = r.channel;
    return rec;
}

QString unreadableRecord(QByteArrayView reply)
{
    // As long as a record at most, so that a memory file keeps it whole.
    QString out(1, QLatin1Char('?'));
    for (char c : reply) {
        if (out.size() == kRecLen)
            break;
        if (c != '\r')
            out += (uchar(c) <= 0x20 || uchar(c) > 0x7e) ? QLatin1Char('?') : QLatin1Char(c);
    }
    return out;
}

QString unreadableText(const MemTable &t, const QList<int> &channels)
{
    if (channels.isEmpty())
        return {};
    const QString head =
        channels.size() == 1
            ? QStringLiteral("The reply for 1 channel could not be read, twice:\n")
            : QStringLiteral("The replies for %1 channels could not be read, twice:\n").arg(channels.size());
    return mem2::keptAsUnknownText(head, channels, [&t](int c) { return t.rec[c].mid(1); });
}

MemTransfer::MemTransfer(App &app, MemTable &table, QObject *parent)
    : QObject(parent), app_(app), t_(table)
{
}

MemTransfer::~MemTransfer()
{
    if (!running_ || !app_.rx)
        return;
    // The job goes with this object (the owner drops it at its next wait);
    // a receiver it was holding is let go after it.
    Receiver2 *rx = app_.rx;
    if (held_)
        rx->submit([rx]() -> rxjob::Task<> { co_await rx->aRelease(); }, false, nullptr);
    rx->endSession(this);
}

Outcome MemTransfer::failure() const
{
    return app_.rx->portLost() ? Outcome::Lost : Outcome::NoAnswer;
}

bool MemTransfer::begin(const QString &name)
{
    if (running_ || !app_.rx || !app_.rx->beginSession(this, name))
        return false;
    running_ = true;
    cancel_ = false;
    return true;
}

void MemTransfer::end()
{
    running_ = false;
    app_.rx->endSession(this);
}

bool MemTransfer::fetch()
{
    if (!begin(QStringLiteral("The memory fetch")))
        return false;
    app_.rx->submit(
        [this]() -> rxjob::Task<> {
            fetchResult_ = co_await aFetch();
            end();
            // Told once the job has left the line: a message shown then
            // holds nobody up.
            QTimer::singleShot(0, this, [this] { emit fetched(fetchResult_); });
        },
        false, this);
    return true;
}

bool MemTransfer::fill(int first, int last)
{
    if (!begin(QStringLiteral("The memory fill")))
        return false;
    app_.rx->submit(
        [this, first, last]() -> rxjob::Task<> {
            fillResult_ = co_await aFill(first, last);
            end();
            QTimer::singleShot(0, this, [this] { emit filled(fillResult_); });
        },
        false, this);
    return true;
}

void MemTransfer::store(int ch, const QString &rec, FetchResult *res)
{
    t_.rec[ch] = rec;
    // A reply that could not be read is kept marked, never as data.
    t_.unknown[ch] = rec.startsWith(QLatin1Char('?'));
    t_.inRx[ch] = rxContent(rec);
    if (t_.unknown[ch])
        res->bad << ch;
    ++res->read;
    emit channelRead(ch);
}

rxjob::Task<bool> MemTransfer::aReadOne(int ch, FetchResult *res, int tries)
{
    Receiver2 *rx = app_.rx;
    QByteArray line, after;
    for (int attempt = 0; attempt < tries; ++attempt) {
        if (attempt > 0) {
            // Read once more, as the first time.
            ++res->again;
            co_await rx->pause(15);
        }
        if (!rx->lineOpen() || rx->portLost())
            co_return false;
        // Up to the reply's CR: a stored channel's 17 characters or an
        // empty one's 6 (dial reports in front of it dropped).
        co_await rx->aAskLine(cmd::readout(ch, ch), &line, &after, rxreply::kStoredLen);
        if (line.isEmpty() || rx->portLost()) {
            rx->noteReply(Receiver2::ReplyState::Silent);
            co_return false;
        }
        int n = -1;
        const QString rec = StreamParser::record(line, &n);
        if (!rec.isEmpty() && n == ch && rxreply::onlyReportsAfter(after)) {
            rx->noteReply(Receiver2::ReplyState::Read);
            store(ch, rec, res);
            co_return true;
        }
    }
    rx->noteReply(Receiver2::ReplyState::Unreadable, line + after);
    store(ch, unreadableRecord(line + after), res);
    co_return true;
}

rxjob::Task<> MemTransfer::aStream(FetchResult *res, QList<bool> *got)
{
    Receiver2 *rx = app_.rx;
    co_await rx->pause(15);
    if (!rx->lineOpen() || rx->portLost() || cancel_)
        co_return;
    StreamParser parser;
    // A channel whose record comes twice (one of them under a wrong number)
    // is doubtful: it is read again on its own.
    QList<bool> twice(kChannels, false);
    auto take = [&](const QByteArray &bytes) {
        parser.feed(bytes, [&](int ch, const QString &rec) {
            if (twice[ch])
                return;
            if ((*got)[ch]) {
                twice[ch] = true;
                (*got)[ch] = false;
                t_.unknown[ch] = true;
                --res->streamed;
                --res->read;
                return;
            }
            (*got)[ch] = true;
            ++res->streamed;
            emit progress(ch, res->read, kChannels);
            store(ch, rec, res);
        });
        return !cancel_ && parser.lines < kChannels;
    };
    co_await rx->aStream(cmd::readout(0, kChannels - 1), take);
}

rxjob::Task<FetchResult> MemTransfer::aFetch()
{
    FetchResult res;
    Receiver2 *rx = app_.rx;
    const MemTable before = t_;
    t_.clear();
    // Unknown until read.
    for (int i = 0; i < kChannels; ++i)
        t_.unknown[i] = true;

    held_ = true;
    co_await rx->aHold();
    // No dial report may run into the read-out.
    rx->pauseReports();
    bool answered = false;
    if (!cancel_)
        answered = co_await rx->aRefreshPanel(Receiver2::Tell::None);
    if (answered && !cancel_) {
        // The RTTY output stopped, twice, in one write.
        const QByteArray x0 = cmd::rttyOff().toLatin1() + '\r';
        rx->send_raw(x0 + x0);
        co_await rx->pause(100);
    }
    QList<bool> got(kChannels, false);
    if (answered && !cancel_ && fast)
        co_await aStream(&res, &got);
    // The described read-out, channel by channel: every channel, or those
    // the stream did not bring whole.
    for (int i = 0; answered && !cancel_ && i < kChannels; ++i) {
        if (got[i])
            continue;
        emit progress(i, res.read, kChannels);
        co_await rx->pause(15);
        if (cancel_)
            break;
        if (fast)
            res.refetched << i;
        // After the stream it is this channel's second reading.
        const bool ok = co_await aReadOne(i, &res, fast ? 1 : 2);
        if (!ok) {
            answered = false;
            break;
        }
    }
    rx->resumeReports();
    co_await rx->aRelease();
    held_ = false;

    res.outcome = cancel_ ? Outcome::Cancelled : (answered ? Outcome::Done : failure());
    if (res.read == 0 && res.outcome != Outcome::Done) {
        // Nothing came back at all: keep what the table held before.
        const int16_t row = t_.mem_row;
        t_ = before;
        t_.mem_row = row;
        res.restored = true;
    }
    res.unknown = t_.unknownChannels();
    if (res.outcome == Outcome::Done && res.bad.isEmpty() && !backupDir.isEmpty()) {
        MemTable copy = t_;
        const QString path = backupDir + QLatin1String(kBackupName);
        if (writeMemFile(path, copy, &res.backupError))
            res.backupPath = path;
    }
    co_return res;
}

rxjob::Task<FillResult> MemTransfer::aFill(int first, int last)
{
    FillResult res;
    Receiver2 *rx = app_.rx;
    held_ = true;
    co_await rx->aHold();
    bool answered = false;
    if (!cancel_)
        answered = co_await rx->aRefreshPanel(Receiver2::Tell::None);
    for (int i = first; answered && !cancel_ && i <= last; ++i) {
        emit progress(i, i - first, last - first + 1);
        // Checked when sent: the table may have changed since the plan.
        if (t_.unknown[i])
            continue;
        const QString rec = t_.rec[i];
        const RecKind kind = recordKind(rec);
        if (kind == RecKind::Bad || (kind == RecKind::Data && !sendFault(rec).isEmpty()))
            continue;
        if (kind == RecKind::Data)
            rx->send_cmd(cmd::write(i, rec.mid(4, 12)));
        else
            rx->send_cmd(cmd::clearChannel(i));
        ++res.sent;
        co_await rx->pause(10);
        // A write on a line that went away may not have arrived.
        t_.inRx[i] = rx->portLost() ? QString() : rxContent(rec);
        if (rx->portLost())
            answered = false;
    }
    co_await rx->aRelease();
    held_ = false;
    res.outcome = cancel_ ? Outcome::Cancelled : (answered ? Outcome::Done : failure());
    co_return res;
}

rxjob::Task<bool> MemTransfer::aTakeForScan(App &app)
{
    const bool ok = co_await app.rx->aRefreshPanel(Receiver2::Tell::None);
    co_return ok;
}

rxjob::Task<> MemTransfer::aScanHeld(App &app)
{
    co_await app.rx->aBracket(true);
    co_await app.rx->aBracket(false);
}

rxjob::Task<bool> MemTransfer::aScanStep(App &app, int ch)
{
    app.rx->send_cmd(cmd::recall(ch));
    const bool ok = co_await aTakeForScan(app);
    co_return ok;
}

namespace {
// One command in a bracket; then the table knows what the channel holds.
void bracketCommand(App &app, MemTable &t, int ch, const QString &text, const QString &content)
{
    Receiver2 *rx = app.rx;
    MemTable *table = &t;
    rx->submit(
        [rx, table, ch, text, content]() -> rxjob::Task<> {
            rx->send_cmd(text);
            table->inRx[ch] = rx->portLost() ? QString() : content;
            co_return;
        },
        true, nullptr);
}
} // namespace

void MemTransfer::recall(App &app, int ch, QObject *context)
{
    app.rx->recall(ch, context);
}

bool MemTransfer::writeCell(App &app, MemTable &t, int ch, const QString &rec)
{
    if (recordKind(rec) != RecKind::Data || !sendFault(rec).isEmpty() || ch < 0 || ch >= kChannels)
        return false;
    bracketCommand(app, t, ch, cmd::write(ch, rec.mid(4, 12)), rxContent(rec));
    return true;
}

bool MemTransfer::clearCell(App &app, MemTable &t, int ch)
{
    if (ch < 0 || ch >= kChannels)
        return false;
    bracketCommand(app, t, ch, cmd::clearChannel(ch), QStringLiteral("V"));
    return true;
}

} // namespace mem2
