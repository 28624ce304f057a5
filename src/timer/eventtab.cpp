#include "timer/eventtab.h"

#include "common/fmt.h"
#include "common/seams.h"
#include "link/captions.h"
#include "link/limits.h"
#include "link/rxstate.h"

#include <cstdlib>

namespace timertab {

namespace {
constexpr int kMonthDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kEpochYear = 1990;

// Leap years from year 1 up to and including y (y >= 0).
long long leapsUpTo(long long y) { return y / 4 - y / 100 + y / 400; }

int wrap(int v, int lo, int hi)
{
    if (v < lo)
        return hi;
    if (v > hi)
        return lo;
    return v;
}
} // namespace

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int monthLength(int month, int year)
{
    if (month < 1 || month > 12)
        return 31;
    return kMonthDays[month] + (month == 2 && isLeap(year) ? 1 : 0);
}

long long eventMinute(int day, int month, int year, int hour, int minute)
{
    // Whole years since 1990, then whole months, days, hours, minutes.
    const long long y = year;
    long long days = 365 * (y - kEpochYear) + (leapsUpTo(y - 1) - leapsUpTo(kEpochYear - 1));
    for (int m = 1; m < month && m <= 12; ++m)
        days += monthLength(m, year);
    days += day - 1;
    return days * 1440 + hour * 60LL + minute;
}

QDateTime utcOf(const QDateTime &local, double ltMinusUtcHours)
{
    return local.addSecs(-qRound64(ltMinusUtcHours * 3600.0));
}

long long minuteOf(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime c = t.time();
    return eventMinute(d.day(), d.month(), d.year(), c.hour(), c.minute());
}

QString monthName(int month)
{
    static const char *names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

bool pbsSet(int pbs) { return pbs >= rxlimits::kPbsMin && pbs <= rxlimits::kPbsMax; }
bool bwcSet(int bwc)
{
    return bwc >= rxlimits::kBwcInter.lo() && bwc <= rxlimits::kBwcWide.hi();
}

QString pbsText(int pbs)
{
    if (!pbsSet(pbs))
        return QString();
    return (pbs >= 0 ? QStringLiteral("+") : QStringLiteral("-")) + fmt::fixed(std::abs(pbs) / 1000.0, 1);
}

QString bwcText(int bwc) { return bwcSet(bwc) ? fmt::fixed(bwc / 1000.0, 1) : QString(); }

long long TimerEvent::hz() const
{
    long long v = 0;
    for (int d = 7; d >= 0; --d)
        v = v * 10 + f[11 + d];
    return v;
}

RowTexts rowTexts(const TimerEvent &e, const Captions &cap)
{
    RowTexts r;
    r.date[0] = QString::number(e.day());
    r.date[1] = monthName(e.month());
    r.date[2] = fmt::zeros(e.year() - 2000, 2);
    r.time[0] = fmt::zeros(e.hour(), 2);
    r.time[1] = fmt::zeros(e.minute(), 2);
    r.time[2] = QString::number(e.duration());
    r.stat[0] = Captions::text(cap.att, e.att());
    r.stat[1] = Captions::text(cap.bw, e.bw());
    r.stat[2] = Captions::text(cap.mode, e.mode());
    r.stat[3] = Captions::text(cap.agc, e.agc());
    r.stat[4] = pbsText(e.pbs());
    r.stat[5] = bwcText(e.bwc());
    for (int d = 0; d < 8; ++d)
        r.freq[d] = QString::number(e.f[11 + d]);
    return r;
}

// ------------------------------------------------------------------ edit values

EventEdit::EventEdit() { setHz(rxlimits::kMinHz); }

bool EventEdit::isFm() const { return mode == rxlimits::kModeFm; }

bool EventEdit::bwcActive() const
{
    return opt.bwcUnit && !isFm() && rxlimits::bwcRange(bw).has_value();
}

void EventEdit::clampDay()
{
    day = qBound(1, day, monthLength(month, year));
}

void EventEdit::step(Spin s, int dir)
{
    const int d = dir < 0 ? -1 : 1;
    switch (s) {
    case Day:
        day = wrap(day + d, 1, monthLength(month, year));
        break;
    case Month:
        month = wrap(month + d, 1, 12);
        clampDay();
        break;
    case Year:
        year = qBound(kFirstYear, year + d, kLastYear);
        clampDay();
        break;
    case Hour:
        hour = wrap(hour + d, 0, 23);
        break;
    case Minute:
        minute = wrap(minute + d, 0, 59);
        break;
    case Duration:
        duration = qBound(kMinDuration, duration + d, kMaxDuration);
        break;
    case Att:
        att = wrap(att + d, rxlimits::kAtt.min, rxlimits::kAtt.max);
        break;
    case Bw:
        if (isFm())
            return;
        bw = wrap(bw + d, rxlimits::kBw.min, rxlimits::kBw.max);
        if (bw == rxlimits::kBwNarrow && !opt.narrow)
            bw = wrap(bw + d, rxlimits::kBw.min, rxlimits::kBw.max);
        applyBwRule();
        break;
    case Mode:
        prev_mode = mode;
        mode = wrap(mode + d, rxlimits::kMode.min, rxlimits::kMode.max);
        // Without the ECSS unit the two ECSS modes are skipped.
        while (mode >= rxlimits::kFirstEcssMode && !opt.ecss)
            mode = wrap(mode + d, rxlimits::kMode.min, rxlimits::kMode.max);
        modeChanged();
        break;
    case Agc:
        if (isFm())
            return;
        agc = wrap(agc + d, rxlimits::kAgc.min, rxlimits::kAgc.max);
        break;
    case Pbs:
        if (!pbsActive())
            return;
        pbs = wrap(pbs + d * kPbsStep, rxlimits::kPbsMin, rxlimits::kPbsMax);
        break;
    case Bwc:
        if (!bwcActive())
            return;
        bwc = wrap(bwc + d * kBwcStep, bwc_min, bwc_max);
        break;
    }
}

void EventEdit::stepDigit(int d, int dir)
{
    if (d < 0 || d > 7)
        return;
    digits[d] = wrap(digits[d] + (dir < 0 ? -1 : 1), 0, 9);
    clampFreq();
}

long long EventEdit::hz() const
{
    long long v = 0;
    for (int d = 7; d >= 0; --d)
        v = v * 10 + digits[d];
    return v;
}

void EventEdit::setHz(long long v)
{
    v = rxlimits::clampHz(v);
    for (int d = 0; d < 8; ++d) {
        digits[d] = int(v % 10);
        v /= 10;
    }
}

void EventEdit::clampFreq()
{
    const long long v = hz();
    if (v > rxlimits::kMaxHz || v < rxlimits::kMinHz)
        setHz(v);
}

void EventEdit::setUtc(const QDateTime &utc)
{
    const QDate d = utc.date();
    year = qBound(kFirstYear, d.year(), kLastYear);
    month = d.month();
    day = d.day();
    clampDay();
    hour = utc.time().hour();
    minute = utc.time().minute();
}

void EventEdit::setFromRx(const QString &x13)
{
    const DecodedState s = DecodedState::decode(x13);
    if (rxlimits::kAtt.contains(s.att))
        att = s.att;
    if (rxlimits::kBw.contains(s.bw))
        bw = s.bw;
    if (rxlimits::kAgc.contains(s.agc))
        agc = s.agc;
    if (s.freqValid)
        setHz(qRound64(s.khz * 1000.0));
    const bool wasFm = isFm();
    prev_mode = mode;
    if (rxlimits::kMode.contains(s.mode))
        mode = s.mode;
    if (isFm() != wasFm) {
        modeChanged();
    } else if (!isFm()) {
        pbs = 0;
        applyBwRule();
    }
}

void EventEdit::applyBwRule()
{
    const auto range = rxlimits::bwcRange(bw);
    if (!opt.bwcUnit || isFm() || !range) {
        bwc = kNoBwc;
        return;
    }
    bwc_min = range->lo();
    bwc_max = range->hi();
    bwc = bwc_max;
}

void EventEdit::modeChanged()
{
    if ((mode == rxlimits::kModeFm) != (prev_mode == rxlimits::kModeFm))
        smd_is_5();
}

void EventEdit::smd_is_5()
{
    if (isFm()) {
        bw_saved = bw;
        bw = rxlimits::kBw.max; // Aux
        pbs = kNoPbs;
        bwc = kNoBwc;
    } else {
        bw = bw_saved;
        pbs = 0;
        applyBwRule();
    }
}

TimerEvent EventEdit::toEvent() const
{
    TimerEvent e;
    const int v[11] = {0, day, month, year, hour, minute, duration, att, bw, mode, agc};
    for (int i = 1; i <= 10; ++i)
        e.f[i] = int16_t(v[i]);
    for (int d = 0; d < 8; ++d)
        e.f[11 + d] = int16_t(digits[d]);
    e.f[19] = int16_t(pbs);
    e.f[20] = int16_t(bwcActive() ? bwc : kNoBwc);
    e.rec = rec;
    e.station = station.simplified();
    return e;
}

// ------------------------------------------------------------------ table

int EventTable::fixedCount() const
{
    int k = 0;
    while (k < kEvents && event_fixed[k + 1])
        ++k;
    return k;
}

void EventTable::fix(int n, const TimerEvent &e)
{
    if (n < 1 || n > kEvents)
        return;
    event_tab[n] = e;
    event_fixed[n] = true;
}

void EventTable::clear(int n)
{
    if (n < 1 || n > kEvents)
        return;
    event_tab[n] = TimerEvent();
    event_fixed[n] = false;
}

void EventTable::clearAll()
{
    for (int n = 1; n <= kEvents; ++n)
        clear(n);
}

EventTable::Buttons EventTable::buttons() const
{
    Buttons b;
    const int k = fixedCount();
    if (k == 0) {
        b.fix[1] = true;
        return b;
    }
    b.fix[k] = true;
    b.clr[k] = true;
    if (k < kEvents)
        b.fix[k + 1] = true;
    b.timerOn = true;
    b.clearAll = true;
    return b;
}

// ------------------------------------------------------------------ checks

bool too_late_to_fix(const EventEdit &e, const QDateTime &local, double ltMinusUtc, Prompter *p)
{
    if (minuteOf(utcOf(local, ltMinusUtc)) < e.startMinute())
        return false;
    if (p)
        p->message(QStringLiteral("You are trying to program\na past or running event.\n"
                                  "Sorry, you are too late ! !"),
                   QStringLiteral("Conflict in Time"), Prompter::Exclamation);
    return true;
}

bool conflict(const EventTable &t, int n, const EventEdit &e, Prompter *p)
{
    if (n < 2 || n > kEvents)
        return false;
    if (t.event_tab[n - 1].endMinute() < e.startMinute())
        return false;
    if (p)
        p->message(QStringLiteral("New event starts before\nthe previous one ends"),
                   QStringLiteral("Conflict of events"), Prompter::Exclamation);
    return true;
}

bool too_late_to_start(const EventTable &t, const QDateTime &local, double ltMinusUtc, Prompter *p)
{
    if (minuteOf(utcOf(local, ltMinusUtc)) < t.event_tab[1].startMinute())
        return false;
    if (p)
        p->message(QStringLiteral("You are trying to start the timer for\na programmed event that "
                                  "already\nhas started or that already has past. \n"
                                  "Sorry, you are too late ! !"),
                   QStringLiteral("Conflict in Time"), Prompter::Exclamation);
    return true;
}

} // namespace timertab
