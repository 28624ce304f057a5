#include "record/recsession.h"

#include "common/fmt.h"
#include "link/app.h"
#include "link/receiver2.h"
#include "record/recorder.h"
#include "timer/eventtab.h"

#include <QDir>
#include <QDirIterator>
#include <cmath>

RecSession::RecSession(App &app, QObject *parent)
    : QObject(parent), app_(app), factory_(&audioinput::makeSource)
{
}

QString RecSession::stationAt(qint64 hz) const
{
    return app_.rx ? app_.rx->stationAt(hz) : QString();
}

RecSession::~RecSession()
{
    if (running())
        stop();
}

QString RecSession::folder() const { return app_.settings.sub(QStringLiteral("REC")); }

bool RecSession::running() const { return rec_ && rec_->running(); }

double RecSession::seconds() const { return rec_ ? rec_->seconds() : 0; }

float RecSession::level() const { return rec_ ? rec_->level() : 0; }

bool RecSession::start(const Request &r, QString *error, QString *warning)
{
    // One asked to end that has not yet closed its file is waited for.
    if (running() && !rec_->stopRequested()) {
        if (error)
            *error = QStringLiteral("A recording is already running:\n%1")
                         .arg(QDir::toNativeSeparators(path_));
        return false;
    }
    // The last recording, ended by itself or asked to end, has its end
    // written first.
    if (rec_)
        rec_->stop();
    const QString dir = folder();
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("The folder %1 could not be created.")
                         .arg(QDir::toNativeSeparators(dir));
        return false;
    }
    // A WAV recording cut off by a crash gets its header put right when the
    // folder is next used.
    QDirIterator wavs(dir, {QStringLiteral("*.wav")}, QDir::Files);
    while (wavs.hasNext()) {
        bool fixed = false;
        recfiles::repairWav(wavs.next(), &fixed, nullptr);
    }
    recfiles::Format f = recfiles::Format::Flac;
    recfiles::formatFromKey(app_.settings.rec_format, &f);
    const qint64 free = recfiles::freeBytes(dir);
    if (warning)
        warning->clear();
    if (free >= 0 && free < recfiles::kLowSpace && warning)
        *warning = QStringLiteral("Only %1 MB are free for recordings in %2.")
                       .arg(free / (1024 * 1024))
                       .arg(QDir::toNativeSeparators(dir));

    recfiles::Info info;
    info.utcStart = timertab::utcOf(app_.clock->now(), app_.settings.ltMinusUtc());
    info.khz = r.khz;
    info.mode = r.mode;
    info.bandwidth = r.bandwidth;
    info.station = r.station.trimmed().isEmpty() ? stationAt(rxlimits::hzOf(r.khz)) : r.station.simplified();
    if (info.station.isEmpty() && fallback_)
        info.station = fallback_(rxlimits::hzOf(r.khz)).simplified();
    info.startedBy = r.startedBy;
    const QString sourceName = app_.settings.rec_source.isEmpty() ? QStringLiteral("default")
                                                                   : app_.settings.rec_source;
    std::unique_ptr<AudioSource> src = factory_(sourceName);
    info.source = src->name();
    Recorder::Options o;
    o.path = recfiles::uniquePath(dir, info, f);
    o.format = f;
    // The text file first: a recording that starts filling a nearly full
    // disk must not leave it without room.
    QString err;
    if (!recfiles::writeInfo(o.path, info, &err)) {
        if (error)
            *error = err;
        return false;
    }
    auto rec = std::make_unique<Recorder>();
    if (!rec->start(std::move(src), o, error)) {
        QFile::remove(recfiles::infoPath(o.path));
        return false;
    }
    connect(rec.get(), &Recorder::ended, this, &RecSession::onEnded);
    rec_ = std::move(rec);
    info_ = info;
    path_ = o.path;
    emit started(path_);
    return true;
}

void RecSession::stop()
{
    if (rec_)
        rec_->stop(); // ended() follows at once
}

void RecSession::requestStop()
{
    if (!running() || rec_->stopRequested())
        return;
    // The text file's end is the moment asked, not when the block came in.
    stopAsked_ = timertab::utcOf(app_.clock->now(), app_.settings.ltMinusUtc());
    rec_->requestStop();
}

void RecSession::onEnded(const QString &reason)
{
    info_.utcEnd = stopAsked_.isValid() ? stopAsked_
                                        : timertab::utcOf(app_.clock->now(), app_.settings.ltMinusUtc());
    stopAsked_ = QDateTime();
    QString err;
    recfiles::writeInfo(path_, info_, &err);
    QString why = reason;
    if (!err.isEmpty() && why.isEmpty())
        why = err;
    emit stopped(path_, why);
}
