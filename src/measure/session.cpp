#include "measure/session.h"

#include "link/app.h"
#include "link/commands.h"
#include "link/receiver2.h"

#include <QTimer>

MeasureFeed *MeasureFeed::instance()
{
    static MeasureFeed feed;
    return &feed;
}

MeasureSession::MeasureSession(App &app, const QString &name, QObject *parent)
    : QObject(parent), app_(app), name_(name), tick_(new QTimer(this))
{
    connect(tick_, &QTimer::timeout, this, &MeasureSession::onTick);
}

MeasureSession::~MeasureSession()
{
    if (running_)
        stop();
}

rxjob::Task<meter::Reading> MeasureSession::aGetsmeter(App &app, bool scanFloor)
{
    meter::Reading out;
    const RxReply r = co_await app.rx->aTransact(cmd::signal(), 4);
    out.reply = r.data;
    switch (r.status) {
    case RxReply::Ok: out.status = meter::Reading::Ok; break;
    case RxReply::NoAnswer: out.status = meter::Reading::NoAnswer; co_return out;
    case RxReply::Busy: out.status = meter::Reading::Busy; co_return out;
    case RxReply::Lost: out.status = meter::Reading::Lost; co_return out;
    }
    out.level = meter::rawLevel(r.data);
    out.v = scanFloor ? meter::scanUnits(out.level, app.rxs.att) : meter::units(out.level, app.rxs.att);
    co_return out;
}

bool MeasureSession::start(int intervalMs)
{
    if (running_)
        return true;
    if (!app_.rx || !app_.rx->beginSession(this, name_))
        return false;
    running_ = true;
    if (++MeasureFeed::instance()->running_ == 1)
        emit MeasureFeed::instance()->runningChanged(true);
    told_ = false;
    missed_ = 0;
    lastMissed_ = {};
    inFlight_ = true;
    ticking_ = intervalMs > 0;
    if (ticking_)
        tick_->setInterval(intervalMs);
    Receiver2 *rx = app_.rx;
    rx->submit(
        [this, rx]() -> rxjob::Task<> {
            co_await rx->aHold();
            if (afterHold)
                co_await afterHold();
            // The panel's refresh, in its own bracket (H1 H1 again while
            // held), for the attenuator state the readings need; a silent
            // receiver is told by the first tick.
            const bool answered = co_await rx->aRefreshPanel(startTell);
            inFlight_ = false;
            if (!running_)
                co_return;
            if (ticking_)
                tick_->start();
            emit started(answered);
        },
        false, this);
    return true;
}

void MeasureSession::stop()
{
    tick_->stop();
    if (!running_)
        return;
    running_ = false;
    if (--MeasureFeed::instance()->running_ == 0)
        emit MeasureFeed::instance()->runningChanged(false);
    // The release goes after a reading in flight and needs nothing of this
    // session, which may be going away.
    Receiver2 *rx = app_.rx;
    rx->submit([rx]() -> rxjob::Task<> { co_await rx->aRelease(); }, false, nullptr);
    rx->endSession(this);
    emit stopped();
}

void MeasureSession::setInterval(int ms)
{
    tick_->setInterval(ms);
}

void MeasureSession::tickNow()
{
    onTick();
}

QString MeasureSession::missedText() const
{
    if (missed_ == 0)
        return QString();
    return QStringLiteral("no reply %1, %2 missed")
        .arg(lastMissed_.toString(QStringLiteral("HH:mm:ss")))
        .arg(missed_);
}

void MeasureSession::onTick()
{
    // A reading still on its way (a slow receiver): this tick is skipped.
    if (!running_ || inFlight_)
        return;
    inFlight_ = true;
    App *app = &app_;
    const bool floor = scanFloor;
    app_.rx->submit(
        [this, app, floor]() -> rxjob::Task<> {
            meter::Reading r;
            if (step)
                r = co_await step();
            else
                r = co_await aGetsmeter(*app, floor);
            inFlight_ = false;
            if (!running_)
                co_return;
            if (r.ok()) {
                emit MeasureFeed::instance()->reading(r.v);
                emit reading(r);
                co_return;
            }
            ++missed_;
            lastMissed_ = app->clock ? app->clock->now() : QDateTime::currentDateTime();
            emit missed(missed_, lastMissed_);
            // Once a run, and the run goes on while it shows.
            if (r.status == meter::Reading::NoAnswer && !told_) {
                told_ = true;
                app->rx->report_no_answer();
            }
        },
        false, this);
}
