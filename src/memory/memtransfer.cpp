#include "memory/memtransfer.h"

#include "link/app.h"
#include "link/commands.h"
#include "link/port.h"
#include "link/receiver2.h"

#include <QElapsedTimer>
#include <QPointer>
#include <algorithm>

namespace mem2 {

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
        case RecKind::Data: p.writes << i; break;
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
    return s;
}

MemTransfer::MemTransfer(App &app, MemTable &table) : app_(app), t_(table) {}

Outcome MemTransfer::failure() const
{
    return app_.rx->portLost() ? Outcome::Lost : Outcome::NoAnswer;
}

bool MemTransfer::collect(QString *r)
{
    Receiver2 *rx = app_.rx;
    QElapsedTimer clock;
    clock.start();
    while (true) {
        Port *port = rx->port();
        if (!port)
            return false;
        const QByteArray piece = port->readAll();
        *r += QString::fromLatin1(piece);
        if (piece.endsWith('\r') || r->size() >= kRecLen)
            return true;
        if (cancel_)
            return false;
        const qint64 left = app_.replyTimeoutMs - clock.elapsed();
        if (!rx->wait_for_chars(1, int(std::max<qint64>(left, 0))))
            return false;
    }
}

FetchResult MemTransfer::fetch()
{
    FetchResult res;
    Receiver2 *rx = app_.rx;
    if (!rx || rx->wouldQueue()) {
        res.outcome = Outcome::Busy;
        return res;
    }
    running_ = true;
    const MemTable before = t_;
    t_.clear();
    // Unknown until read.
    for (int i = 0; i < kChannels; ++i)
        t_.unknown[i] = true;

    bool answered = false;
    rx->sequence([&] {
        rx->hold();
        answered = !cancel_ && rx->refresh_panel(false);
        if (answered && !cancel_) {
            // The RTTY output stopped, twice, in one write.
            const QByteArray x0 = cmd::rttyOff().toLatin1() + '\r';
            rx->send_raw(x0 + x0);
            rx->wait_ms(100);
        }
        for (int i = 0; answered && !cancel_ && i < kChannels; ++i) {
            if (progress)
                progress(i, i, kChannels);
            rx->wait_ms(15);
            if (cancel_)
                break;
            Port *port = rx->port();
            if (!port || rx->portLost()) {
                answered = false;
                break;
            }
            port->clear();
            rx->send_cmd(cmd::readout(i, i));
            QString r;
            if (!collect(&r)) {
                answered = cancel_;
                break;
            }
            if (r.endsWith(QLatin1Char('\r')))
                r.chop(1);
            r = r.left(kRecLen);
            if (isEmptyChannel(r))
                r = r.left(5);
            t_.rec[i] = r;
            t_.unknown[i] = recordKind(r) == RecKind::Bad;
            t_.inRx[i] = rxContent(r);
            if (t_.unknown[i])
                res.bad << i;
            res.read = i + 1;
            if (channelRead)
                channelRead(i);
        }
        rx->release();
    });
    running_ = false;

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
    return res;
}

FillResult MemTransfer::fill(int first, int last)
{
    FillResult res;
    Receiver2 *rx = app_.rx;
    if (!rx || rx->wouldQueue()) {
        res.outcome = Outcome::Busy;
        return res;
    }
    running_ = true;
    bool answered = false;
    rx->sequence([&] {
        rx->hold();
        answered = !cancel_ && rx->refresh_panel(false);
        for (int i = first; answered && !cancel_ && i <= last; ++i) {
            if (progress)
                progress(i, i - first, last - first + 1);
            // Checked when sent: the table may have changed since the plan.
            if (t_.unknown[i])
                continue;
            const QString &rec = t_.rec[i];
            const RecKind kind = recordKind(rec);
            if (kind == RecKind::Bad)
                continue;
            if (kind == RecKind::Data)
                rx->send_cmd(cmd::write(i, rec.mid(4, 12)));
            else
                rx->send_cmd(cmd::clearChannel(i));
            ++res.sent;
            rx->wait_ms(10);
            // A write on a line that went away may not have arrived.
            t_.inRx[i] = rx->portLost() ? QString() : rxContent(rec);
            if (rx->portLost())
                answered = false;
        }
        rx->release();
    });
    running_ = false;
    res.outcome = cancel_ ? Outcome::Cancelled : (answered ? Outcome::Done : failure());
    return res;
}

bool MemTransfer::scanHold()
{
    Receiver2 *rx = app_.rx;
    bool ok = false;
    if (rx->wouldQueue())
        return false;
    rx->sequence([&] {
        rx->hold();
        ok = rx->refresh_panel(false);
    });
    return ok;
}

bool MemTransfer::scanStep(int ch, bool *busy)
{
    Receiver2 *rx = app_.rx;
    if (busy)
        *busy = false;
    if (rx->wouldQueue()) {
        if (busy)
            *busy = true;
        return false;
    }
    bool ok = false;
    rx->sequence([&] {
        rx->send_cmd(cmd::recall(ch));
        ok = rx->refresh_panel(false);
    });
    return ok;
}

void MemTransfer::scanRelease()
{
    // Queued behind another caller's sequence when one runs.
    QPointer<Receiver2> rx(app_.rx);
    rx->sequence([rx] {
        if (rx)
            rx->release();
    });
}

bool MemTransfer::writeCell(int ch, const QString &rec)
{
    if (recordKind(rec) != RecKind::Data || ch < 0 || ch >= kChannels)
        return false;
    app_.rx->bracket_cmd(cmd::write(ch, rec.mid(4, 12)));
    t_.inRx[ch] = app_.rx->portLost() ? QString() : rxContent(rec);
    return true;
}

bool MemTransfer::clearCell(int ch)
{
    if (ch < 0 || ch >= kChannels)
        return false;
    app_.rx->bracket_cmd(cmd::clearChannel(ch));
    t_.inRx[ch] = app_.rx->portLost() ? QString() : QStringLiteral("V");
    return true;
}

} // namespace mem2
