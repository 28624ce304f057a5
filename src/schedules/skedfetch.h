// Keeping the broadcast schedule current: the season's file name, and its
// download over HTTP into the folder the import reads from.
//
// Seasons: A from the last Sunday of March to the day before the last
// Sunday of October, B from the last Sunday of October to the day before
// the last Sunday of March of the next year. The file is named after the
// year the season starts in: January 2027 is still in B26 (sked-b26.csv),
// the season that started in October 2026.
//
// A download never replaces anything until it is complete and checked: the
// body is held in memory (a season's file is a few megabytes), checked to be
// a schedule (the "kHz;..." header line and at least one record the import
// takes), and only then written over the old CSV in one step. Any failure
// leaves the CSV and its converted .ftl as they were.
#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
#include <QNetworkReply>

namespace sked {

// The default base address of the schedule files.
inline constexpr const char *kDefaultBase = "http://www.eibispace.de/dx/";

// The last Sunday of a month.
QDate lastSunday(int year, int month);
// "a26" or "b26" for a (UTC) date.
QString season(const QDate &utcDate);
// "sked-b26.csv" for a (UTC) date.
QString seasonFile(const QDate &utcDate);
// The address of a file under a base address ("/" added between when
// missing).
QUrl fileUrl(const QString &base, const QString &fileName);
// The folder the import looks for schedule files in and the update writes
// them to: the base directory.
QString csvDir(const QString &baseDir);

// What is known about a fetched file, kept in a side file next to it
// (sked-b26.csv.http). It lives beside the file it describes so that it goes
// with it: a CSV deleted, replaced by hand or copied to another computer
// takes its own tag along or loses it, and never has a stranger's tag claim
// it is current (which a value in the settings would).
struct Validators {
    QString url;          // the address it came from
    QString etag;         // the server's ETag, as sent
    QString lastModified; // the server's Last-Modified, as sent
};
QString sideFile(const QString &csvPath);
// The validators for a request of url: those of the side file when it names
// url; else, when the CSV is there, its modification time as Last-Modified
// (a file fetched by hand is not fetched again unless the server's is
// newer). Empty when the CSV is missing.
Validators validatorsFor(const QString &csvPath, const QUrl &url);
bool writeValidators(const QString &csvPath, const Validators &v, QString *error);

// The weekly check at start-up: due when the last one (a stamp in the base
// directory) is a week old or more, or there is none.
bool weeklyDue(const QString &baseDir, const QDateTime &nowUtc);
void markChecked(const QString &baseDir, const QDateTime &nowUtc);

// Whether bytes hold a schedule the import takes: the "kHz" header line
// first and at least one good record. *why says what is missing.
bool looksLikeSchedule(const QByteArray &bytes, const QStringList &regionCodes, QString *why);

} // namespace sked

// One download (GET) or check (HEAD) of a schedule file at a time.
class SkedFetch : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Fetched,   // the new file is in place
        UpToDate,  // the server's file has not changed (304); nothing written
        Newer,     // check: the server has a file newer than the one here
        Failed,    // nothing written; message() says why
        Cancelled, // nothing written
    };
    Q_ENUM(Outcome)

    explicit SkedFetch(QObject *parent = nullptr);
    ~SkedFetch() override;

    // Limits: redirects followed, seconds the server may stay silent, the
    // largest body taken.
    int maxRedirects = 5;
    int silentMs = 30000;
    qint64 maxBytes = 64ll << 20;
    // The area codes the schedule check uses (as the import).
    QStringList regionCodes = {QStringLiteral("NA"), QStringLiteral("CA"), QStringLiteral("SA"),
                               QStringLiteral("EU"), QStringLiteral("AF"), QStringLiteral("ME"),
                               QStringLiteral("AS"), QStringLiteral("AU"), QStringLiteral("PA")};

    // Fetches url into csvPath (conditional when the file is there).
    void fetch(const QUrl &url, const QString &csvPath);
    // Asks whether url holds a newer file than csvPath (HEAD, conditional).
    void check(const QUrl &url, const QString &csvPath);
    void cancel();
    bool busy() const { return reply_ != nullptr; }

    Outcome outcome() const { return outcome_; }
    QString message() const { return message_; }
    QUrl url() const { return url_; }

signals:
    void progress(qint64 received, qint64 total); // total -1: not known
    void finished(SkedFetch::Outcome outcome, const QString &message);

private:
    void start(const QUrl &url, const QString &csvPath, bool head);
    void done();
    void finish(Outcome o, const QString &message);
    QString failure(const QString &reason) const;

    QNetworkAccessManager *net_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QUrl url_;
    QString csvPath_;
    bool head_ = false;
    bool cancelled_ = false;
    bool tooLarge_ = false;
    sked::Validators sent_;
    QByteArray body_;
    Outcome outcome_ = Outcome::Failed;
    QString message_;
};
