#include "schedules/skedfetch.h"

#include "common/textfile.h"
#include "schedules/eibi.h"
#include "version.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimeZone>

namespace sked {

QDate lastSunday(int year, int month)
{
    QDate d(year, month, QDate(year, month, 1).daysInMonth());
    return d.addDays(-(d.dayOfWeek() % 7)); // Sunday is 7
}

QString season(const QDate &d)
{
    const int y = d.year();
    QChar letter = QLatin1Char('b');
    int start = y;
    if (d < lastSunday(y, 3))
        start = y - 1; // B that began in October of the year before
    else if (d < lastSunday(y, 10))
        letter = QLatin1Char('a');
    return letter + QStringLiteral("%1").arg(((start % 100) + 100) % 100, 2, 10, QLatin1Char('0'));
}

QString seasonFile(const QDate &d)
{
    return QStringLiteral("sked-") + season(d) + QStringLiteral(".csv");
}

QUrl fileUrl(const QString &base, const QString &fileName)
{
    QString b = base.trimmed();
    if (!b.endsWith(QLatin1Char('/')))
        b += QLatin1Char('/');
    return QUrl(b + fileName);
}

QString csvDir(const QString &baseDir)
{
    return baseDir;
}

QString sideFile(const QString &csvPath)
{
    return csvPath + QStringLiteral(".http");
}

Validators validatorsFor(const QString &csvPath, const QUrl &url)
{
    Validators v;
    const QFileInfo csv(csvPath);
    if (!csv.isFile())
        return v;
    QStringList lines;
    bool more = false;
    if (QFileInfo(sideFile(csvPath)).isFile() &&
        textfile::readLinesLimited(sideFile(csvPath), 8, &lines, &more, nullptr)) {
        Validators s;
        for (const QString &l : lines) {
            const QString key = l.section(QLatin1Char('='), 0, 0).trimmed();
            const QString value = l.section(QLatin1Char('='), 1).trimmed();
            if (key == QLatin1String("url"))
                s.url = value;
            else if (key == QLatin1String("etag"))
                s.etag = value;
            else if (key == QLatin1String("last-modified"))
                s.lastModified = value;
        }
        if (QUrl(s.url) == url)
            return s;
    }
    v.url = url.toString();
    v.lastModified = QLocale::c().toString(csv.lastModified().toUTC(),
                                           QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    return v;
}

bool writeValidators(const QString &csvPath, const Validators &v, QString *error)
{
    return textfile::writeLines(sideFile(csvPath),
                                {QStringLiteral("url=") + v.url, QStringLiteral("etag=") + v.etag,
                                 QStringLiteral("last-modified=") + v.lastModified},
                                error);
}

namespace {
QString stampFile(const QString &baseDir)
{
    return baseDir + QStringLiteral("skedcheck.txt");
}
} // namespace

bool weeklyDue(const QString &baseDir, const QDateTime &nowUtc)
{
    QStringList lines;
    bool more = false;
    if (!QFileInfo(stampFile(baseDir)).isFile() ||
        !textfile::readLinesLimited(stampFile(baseDir), 2, &lines, &more, nullptr) || lines.isEmpty())
        return true;
    const QDateTime last = QDateTime::fromString(lines.first().section(QLatin1Char('='), 1).trimmed(),
                                                 Qt::ISODate);
    // A stamp in the future (a clock set back) counts as none.
    return !last.isValid() || last > nowUtc || last.addDays(7) <= nowUtc;
}

void markChecked(const QString &baseDir, const QDateTime &nowUtc)
{
    textfile::writeLines(stampFile(baseDir),
                         {QStringLiteral("checked=") + nowUtc.toUTC().toString(Qt::ISODate)}, nullptr);
}

bool looksLikeSchedule(const QByteArray &bytes, const QStringList &regionCodes, QString *why)
{
    QByteArray copy = bytes;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    textfile::LineReader reader(&buf);
    QString line;
    bool header = false, first = true;
    while (reader.next(&line)) {
        if (line.trimmed().isEmpty())
            continue;
        if (first) {
            first = false;
            header = line.trimmed().startsWith(QLatin1String("kHz"), Qt::CaseInsensitive);
            if (!header)
                break;
            continue;
        }
        const eibi::Parsed p = eibi::parseLine(line, regionCodes);
        if (!p.ignored && p.bad == eibi::Bad::None)
            return true;
    }
    *why = header ? QStringLiteral("it holds no broadcast record (kHz;hhmm-hhmm;days;ITU;station;"
                                   "language;target)")
                  : QStringLiteral("it is not a broadcast schedule (its first line is not the "
                                   "\"kHz;Time(UTC);...\" header)");
    return false;
}

} // namespace sked

SkedFetch::SkedFetch(QObject *parent) : QObject(parent), net_(new QNetworkAccessManager(this)) {}

SkedFetch::~SkedFetch()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void SkedFetch::fetch(const QUrl &url, const QString &csvPath)
{
    start(url, csvPath, false);
}

void SkedFetch::check(const QUrl &url, const QString &csvPath)
{
    start(url, csvPath, true);
}

void SkedFetch::cancel()
{
    if (!reply_)
        return;
    cancelled_ = true;
    reply_->abort();
}

void SkedFetch::start(const QUrl &url, const QString &csvPath, bool head)
{
    if (reply_)
        return; // one at a time
    url_ = url;
    csvPath_ = csvPath;
    head_ = head;
    cancelled_ = tooLarge_ = false;
    body_.clear();
    message_.clear();
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        // Told once the caller is listening, as every other outcome.
        QMetaObject::invokeMethod(
            this, [this] { finish(Outcome::Failed, failure(QStringLiteral("it is no web address"))); },
            Qt::QueuedConnection);
        return;
    }
    sent_ = sked::validatorsFor(csvPath, url);
    QNetworkRequest req(url);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    req.setMaximumRedirectsAllowed(maxRedirects);
    req.setTransferTimeout(silentMs);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setHeader(QNetworkRequest::UserAgentHeader,
                  QStringLiteral("VORANTIS/%1").arg(QLatin1String(VORANTIS_VERSION)));
    if (!sent_.etag.isEmpty())
        req.setRawHeader("If-None-Match", sent_.etag.toLatin1());
    if (!sent_.lastModified.isEmpty())
        req.setRawHeader("If-Modified-Since", sent_.lastModified.toLatin1());
    reply_ = head ? net_->head(req) : net_->get(req);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 got, qint64 total) {
        emit progress(got, total > 0 ? total : -1);
    });
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        if (!reply_)
            return;
        body_ += reply_->readAll();
        if (body_.size() > maxBytes) {
            tooLarge_ = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &SkedFetch::done);
}

QString SkedFetch::failure(const QString &reason) const
{
    return QStringLiteral("The schedule could not be fetched from %1: %2.\n"
                          "The lists already there are kept.")
        .arg(url_.toString(), reason);
}

void SkedFetch::done()
{
    QNetworkReply *r = reply_;
    if (!r)
        return;
    r->deleteLater();
    if (r->isOpen())
        body_ += r->readAll();
    const QNetworkReply::NetworkError err = r->error();
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString phrase = r->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QVariant lengthHeader = r->header(QNetworkRequest::ContentLengthHeader);
    const QString etag = QString::fromLatin1(r->rawHeader("ETag"));
    const QString lastModified = QString::fromLatin1(r->rawHeader("Last-Modified"));
    const QString name = QFileInfo(csvPath_).fileName();
    reply_ = nullptr;

    if (cancelled_) {
        finish(Outcome::Cancelled, QStringLiteral("The download from %1 was cancelled; the lists "
                                                  "already there are kept.")
                                       .arg(url_.toString()));
        return;
    }
    if (tooLarge_) {
        finish(Outcome::Failed,
               failure(QStringLiteral("it is larger than %1 MB, too large for a schedule").arg(maxBytes >> 20)));
        return;
    }
    if (err == QNetworkReply::TooManyRedirectsError) {
        finish(Outcome::Failed,
               failure(QStringLiteral("it redirects more than %1 times (a redirect loop)").arg(maxRedirects)));
        return;
    }
    if (err == QNetworkReply::OperationCanceledError || err == QNetworkReply::TimeoutError) {
        finish(Outcome::Failed, failure(QStringLiteral("the server sent nothing for %1 seconds")
                                            .arg(silentMs / 1000.0, 0, 'g', 3)));
        return;
    }
    if (status == 304) {
        finish(Outcome::UpToDate,
               QStringLiteral("%1 is up to date: the schedule at %2 has not changed since it was fetched.")
                   .arg(name, url_.toString()));
        return;
    }
    if (status >= 300) {
        finish(Outcome::Failed, failure(QStringLiteral("the server answered %1 %2").arg(status).arg(phrase)
                                            .trimmed()));
        return;
    }
    const qint64 declared = lengthHeader.isValid() ? lengthHeader.toLongLong() : -1;
    if (!head_ && declared > 0 && body_.size() < declared) {
        finish(Outcome::Failed, failure(QStringLiteral("the transfer broke off after %1 of %2 bytes")
                                            .arg(body_.size())
                                            .arg(declared)));
        return;
    }
    if (err != QNetworkReply::NoError) {
        finish(Outcome::Failed, failure(r->errorString()));
        return;
    }
    if (status != 200) {
        finish(Outcome::Failed, failure(QStringLiteral("the server answered %1 %2").arg(status).arg(phrase)
                                            .trimmed()));
        return;
    }
    if (head_) {
        // A server that ignores the conditions still tells its tag.
        const bool same = QFileInfo(csvPath_).isFile() &&
                          ((!etag.isEmpty() && etag == sent_.etag) ||
                           (etag.isEmpty() && !lastModified.isEmpty() && lastModified == sent_.lastModified));
        if (same)
            finish(Outcome::UpToDate, QStringLiteral("%1 is up to date: the schedule at %2 has not "
                                                     "changed since it was fetched.")
                                          .arg(name, url_.toString()));
        else
            finish(Outcome::Newer, QStringLiteral("A newer broadcast schedule is out: %1 (%2).\n"
                                                  "Update in the Db2Rx window fetches it.")
                                       .arg(name, url_.toString()));
        return;
    }
    QString why;
    if (!sked::looksLikeSchedule(body_, regionCodes, &why)) {
        finish(Outcome::Failed, failure(why));
        return;
    }
    QDir().mkpath(QFileInfo(csvPath_).absolutePath());
    QSaveFile out(csvPath_);
    if (!out.open(QIODevice::WriteOnly) || out.write(body_) != body_.size() || !out.commit()) {
        finish(Outcome::Failed, failure(QStringLiteral("%1 could not be written (%2)")
                                            .arg(QDir::toNativeSeparators(csvPath_), out.errorString())));
        return;
    }
    sked::writeValidators(csvPath_, {url_.toString(), etag, lastModified}, nullptr);
    finish(Outcome::Fetched, QStringLiteral("%1 fetched from %2 (%3 bytes).")
                                 .arg(name, url_.toString())
                                 .arg(body_.size()));
}

void SkedFetch::finish(Outcome o, const QString &message)
{
    outcome_ = o;
    message_ = message;
    body_.clear();
    emit finished(o, message);
}
