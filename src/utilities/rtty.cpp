#include "utilities/rtty.h"

#include "common/textfile.h"
#include "link/app.h"
#include "link/commands.h"
#include "link/port.h"
#include "link/receiver2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ry {

// ------------------------------------------------------------------ Page

Page::Page() { clear(); }

void Page::clear()
{
    lines_ = QStringList(kLines, QString());
    current_.clear();
}

void Page::clearCurrent()
{
    current_.clear();
    lines_[kLines - 1].clear();
}

void Page::endLine(QStringList *done)
{
    done->append(current_);
    lines_.removeFirst();
    lines_.append(QString());
    current_.clear();
}

void Page::append(const QString &text, QStringList *done)
{
    for (qsizetype at = 0; at < text.size(); at += kBreakAt) {
        current_ += text.mid(at, kBreakAt);
        lines_[kLines - 1] = current_;
        if (current_.size() >= kBreakAt)
            endLine(done);
    }
}

QStringList Page::feed(const QByteArray &chunk)
{
    QStringList done;
    QString text;
    for (const char c : chunk) {
        const uchar u = uchar(c);
        if (u == '\r') {
            append(text, &done);
            text.clear();
            endLine(&done);
            continue;
        }
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0xad)
            continue; // control characters (and the invisible soft hyphen) never reach the screen
        text += QChar(u).toLower();
    }
    append(text, &done);
    lines_[kLines - 1] = current_;
    return done;
}

// ------------------------------------------------------------------ SaveFile

namespace {
QString reasonOf(const QFile &f, const QString &path)
{
    const QFileInfo dir(QFileInfo(path).absolutePath());
    if (!dir.exists())
        return QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(dir.filePath()));
    return f.errorString();
}
} // namespace

bool SaveFile::open(QString *error)
{
    if (const QString why = textfile::notRegularReason(path_); !why.isEmpty()) {
        if (error)
            *error = why;
        open_ = false;
        return false;
    }
    QFile f(path_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = reasonOf(f, path_);
        open_ = false;
        return false;
    }
    open_ = true;
    return true;
}

bool SaveFile::append(const QString &line, QString *error)
{
    if (!open_)
        return false;
    QString reason;
    if (!textfile::appendBytes(path_, line.toUtf8() + "\r\n", &reason)) {
        if (error)
            *error = QFileInfo::exists(QFileInfo(path_).absolutePath()) ? reason
                                                                         : reasonOf(QFile(path_), path_);
        return false;
    }
    return true;
}

QString savePath(const App &app)
{
    return app.settings.sub(QStringLiteral("NEWS")) + QStringLiteral("NEW_RYWW.TXT");
}

// ------------------------------------------------------------------ Receiver

Receiver::Receiver(App &app, QObject *parent) : QObject(parent), app_(app), file_(savePath(app))
{
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &Receiver::readChunk);
    resume_.setSingleShot(true);
    connect(&resume_, &QTimer::timeout, this, &Receiver::resumeIfQuiet);
    if (Receiver2 *rx = app_.rx) {
        connect(rx, &Receiver2::sequenceStarting, this, &Receiver::pauseForOther);
        connect(rx, &Receiver2::idle, this, [this] {
            if (running_ && paused_)
                resume_.start(resumeDelayMs);
        });
    }
}

Receiver::~Receiver()
{
    if (app_.rx)
        app_.rx->releaseStream(this);
}

void Receiver::sendParams(int speedIndex, int shiftIndex, int polarity)
{
    if (app_.rx)
        app_.rx->submitCmd(cmd::rttyParams(speedIndex, shiftIndex, polarity), this);
}

void Receiver::start()
{
    if (running_ || !app_.rx)
        return;
    // The page holds the line's text for itself: one held session at a time.
    if (!app_.rx->beginSession(this, QStringLiteral("The RTTY page")))
        return;
    // The text is ours until Exit: the receiver's frequency reports, when
    // something wants them, are switched off meanwhile.
    app_.rx->claimStream(this);
    running_ = true;
    paused_ = false;
    if (Port *p = app_.rx->port()) {
        // Text that came in while stopped finishes the line cut short by
        // Stop: it goes with that line.
        if (!app_.rx->busy())
            p->readAll();
        connect(p, &Port::readyRead, this, &Receiver::readChunk, Qt::UniqueConnection);
    }
    app_.rx->submitCmd(cmd::rttyOn(), this);
    page_.clearCurrent(); // a line cut short by Stop does not carry on
    poll_.start();
    emit pageChanged();
}

void Receiver::stop()
{
    running_ = false;
    paused_ = false;
    poll_.stop();
    resume_.stop();
    if (app_.rx && app_.rx->port())
        disconnect(app_.rx->port(), &Port::readyRead, this, &Receiver::readChunk);
}

void Receiver::exit()
{
    stop();
    file_.close();
    if (app_.rx) {
        app_.rx->submitCmd(cmd::rttyOff()); // goes out also when the page goes
        app_.rx->releaseStream(this);
        app_.rx->endSession(this);
    }
}

bool Receiver::setSave(bool on)
{
    if (!on) {
        file_.close();
        return true;
    }
    QString err;
    if (!file_.open(&err)) {
        saveFailed(err);
        return false;
    }
    return true;
}

void Receiver::saveFailed(const QString &error)
{
    file_.close();
    if (app_.prompter)
        app_.prompter->message(QStringLiteral("The RTTY text cannot be saved to %1:\n%2.\n"
                                              "Save is switched off; the text is still shown.")
                                   .arg(QDir::toNativeSeparators(file_.path()), error),
                               QStringLiteral("RTTY"), Prompter::Exclamation);
    emit saveStopped();
}

void Receiver::readChunk()
{
    if (!running_ || !app_.rx)
        return;
    Receiver2 *rx = app_.rx;
    Port *p = rx->port();
    // Another sequence owns the line: its reply is not ours to take.
    if (!p || rx->busy() || p->bytesAvailable() <= 0)
        return;
    take(p->readAll());
}

void Receiver::take(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    const QStringList done = page_.feed(chunk);
    if (file_.isOpen()) {
        for (const QString &l : done) {
            QString err;
            if (!file_.append(l, &err)) {
                saveFailed(err);
                break;
            }
        }
    }
    emit pageChanged();
}

void Receiver::pauseForOther()
{
    // The page's own commands (a job for this reader) do not stop it.
    if (!running_ || !app_.rx || app_.rx->startingContext() == this)
        return;
    resume_.stop();
    if (paused_)
        return;
    paused_ = true;
    Receiver2 *rx = app_.rx;
    rx->send_cmd(cmd::rttyOff());
    // Characters already on their way still arrive: they belong to the
    // page. The starting exchange waits for them.
    rx->delayStart(rxlimits::kBracketPauseMs, this, [this] {
        if (Port *p = app_.rx->port())
            take(p->readAll());
    });
}

void Receiver::resumeIfQuiet()
{
    if (!running_ || !paused_ || !app_.rx)
        return;
    if (app_.rx->busy()) {
        resume_.start(resumeDelayMs);
        return;
    }
    paused_ = false;
    app_.rx->submitCmd(cmd::rttyOn(), this);
}

} // namespace ry
