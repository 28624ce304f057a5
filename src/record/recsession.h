// The program's recordings: what the Rec button and the timer start. Each
// goes into base directory + "REC/", named from the UTC start, the
// frequency, the mode and the station, with a text file beside it; one at a
// time. The input and the format come from the settings.
#pragma once
#include "record/audiosource.h"
#include "record/recfiles.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

struct App;
class Recorder;

class RecSession : public QObject {
    Q_OBJECT
public:
    // What the caller knows about the reception.
    struct Request {
        double khz = 0;
        // station: empty takes the one of the row last tuned from (stationAt).
        QString mode, bandwidth, station;
        QString startedBy; // "Rec button", "Timer event 2"
    };
    // Makes the input of a name (the settings' rec_source); tests give a tone.
    using SourceFactory = std::function<std::unique_ptr<AudioSource>(const QString &name)>;

    explicit RecSession(App &app, QObject *parent = nullptr);
    // A recording still running is stopped and its file closed.
    ~RecSession() override;
    void setSourceFactory(SourceFactory f) { factory_ = std::move(f); }
    // The input of that name, as recordings get it (set-up's level check).
    std::unique_ptr<AudioSource> makeSource(const QString &name) const { return factory_(name); }

    // Starts a recording; false with *error (a message naming the input or
    // the file and the reason). *warning: little room left on the disk (the
    // recording runs all the same).
    bool start(const Request &r, QString *error, QString *warning = nullptr);
    // Ends it: the file is closed and the text file gets its end time.
    void stop();
    // Ends it without waiting for the input's block being read: for the
    // timer run, whose next command must not wait. stopped() follows.
    void requestStop();

    bool running() const;
    QString path() const { return path_; }
    QString startedBy() const { return info_.startedBy; }
    double seconds() const;
    float level() const;
    // The recording's folder (base directory + "REC/").
    QString folder() const;

    // The station of the last row tuned from when the receiver is still on
    // hz; empty otherwise (the line's owner remembers it).
    QString stationAt(qint64 hz) const;
    // The station a recording at hz is named after when no row was tuned
    // from: what the control panel names as on the air there.
    void setStationFallback(std::function<QString(qint64 hz)> f) { fallback_ = std::move(f); }

signals:
    void started(const QString &path);
    // reason: empty after stop(), otherwise why it ended (disk full, input
    // lost).
    void stopped(const QString &path, const QString &reason);

private:
    void onEnded(const QString &reason);

    App &app_;
    SourceFactory factory_;
    std::function<QString(qint64)> fallback_;
    std::unique_ptr<Recorder> rec_;
    recfiles::Info info_;
    QString path_;
    QDateTime stopAsked_; // UTC of requestStop()
};
