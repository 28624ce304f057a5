// Moving memory channels between the receiver and a memory table: the fetch
// of all 200 channels, the fill of a range, the memory scan's step and the
// single-cell writes of the cell editor.
//
// A fetch or fill is a held session on the line's owner: one job that holds
// the receiver, moves the channels and lets it go, never interleaved with
// another caller's commands, and refused (with a message) while another
// session runs. Nothing waits: progress and the result come back by signals.
// cancel() stops a transfer at its next channel; the receiver is still let
// go. A transfer whose object goes away meanwhile is dropped by the owner
// and the receiver is released after it.
//
// Every reply is believed only when its whole layout is right
// (rxreply::readout): a channel whose reply cannot be read is read once
// more, then left unknown, never taken for data. The receiver's own dial
// reports are switched off for a held read-out while the program has them
// on, and any that come anyway are taken out of the replies.
//
// The fast fetch (opt-in) asks for all 200 channels with one read-out
// command and takes the records as they stream in (an empty channel is the
// receiver's six characters "L" ccc "V" CR); a channel whose record is
// unreadable or missing is then read on its own as the described fetch does.
#pragma once
#include <QList>
#include <QObject>
#include <QString>

#include "link/linetask.h"
#include "link/replies.h"
#include "memory/mem2.h"

#include <QMap>

struct App;

namespace mem2 {

enum class Outcome {
    Done,      // every channel went through
    NoAnswer,  // the receiver fell silent (what came is kept)
    Lost,      // the line was lost
    Cancelled, // cancel() was called
};

struct FetchResult {
    Outcome outcome = Outcome::NoAnswer;
    int read = 0;         // channels read, from 0 on
    QList<int> bad;       // channels whose reply could not be read, twice
    QList<int> unknown;   // channels left unknown (not read, or bad)
    int again = 0;        // channels read once more after an unreadable reply
    bool restored = false; // nothing came: the table was put back as it was
    // The fast read-out: channels read from the one stream, and those read
    // again one by one because their record did not come whole.
    int streamed = 0;
    QList<int> refetched;
    // The backup memory file after a complete fetch (empty: none written).
    QString backupPath;
    QString backupError; // why it could not be written
};

// What a fill of a range would do, worked out before anything is sent.
struct FillPlan {
    int first = 0, last = 0;
    QList<int> writes;   // "K" with the record
    QList<int> empties;  // "U5": channels that hold no data in the table
    QList<int> unknown;  // left alone: not known (a fetch could not read them)
    QList<int> bad;      // left alone: the record does not fit the layout
    // Left alone: records that fit the layout but not the receiver's limits
    // (a frequency outside its range, a reserved code), with the reason.
    QList<int> outside;
    QMap<int, QString> why;
    bool leavesSome() const { return !unknown.isEmpty() || !bad.isEmpty() || !outside.isEmpty(); }
};
FillPlan planFill(const MemTable &t, int first, int last);
// Why a data record of the table cannot go to the receiver (empty when it
// can): its 12 characters against the receiver's limits.
QString sendFault(const QString &rec);
// The lines added to the fill question when the fill would empty channels
// or leave some alone; empty when there is nothing to say.
QString fillNotes(const FillPlan &p);

struct FillResult {
    Outcome outcome = Outcome::NoAnswer;
    int sent = 0; // commands sent
};

// The records of a range read-out as they stream in: each complete line
// (a stored channel "L" ccc rec12 CR, an empty one "L" ccc "V" CR) is
// checked and taken for its channel; a dial report is dropped; anything
// else is skipped (its channel is read again later).
struct StreamParser {
    QByteArray pending;
    int lines = 0;   // CR-ended reply lines seen (reports not counted)
    int reports = 0; // dial reports dropped
    // Feeds characters; calls take(ch, record) for each record that fits.
    template <class F>
    void feed(const QByteArray &bytes, F take);
    // The record (as the table keeps it) of one line with its CR, or an
    // empty text when the line is not a whole record of a channel.
    static QString record(QByteArrayView line, int *ch);
};

// What the table keeps for a channel whose reply could not be read: "?" and
// the reply as it came (printable, blanks as "?"), 16 characters at most,
// so that it never reads as a record, in the table or in a memory file
// saved from it; its grid row says "unknown".
QString unreadableRecord(QByteArrayView reply);
// The message for channels whose replies could not be read; empty when
// there are none.
QString unreadableText(const MemTable &t, const QList<int> &channels);

class MemTransfer : public QObject {
    Q_OBJECT
public:
    MemTransfer(App &app, MemTable &table, QObject *parent = nullptr);
    ~MemTransfer() override;

    // Where the backup memory file goes after a complete fetch (empty: no
    // backup).
    QString backupDir;
    // Read all channels with one range command first.
    bool fast = false;

    // Reads every channel into the table. The table is cleared when the
    // transfer starts; the channels that could not be read stay unknown.
    // When nothing at all came back, the table is put back as it was.
    // False (nothing sent, the refusal shown) when another session runs.
    bool fetch();
    // Writes channels first..last (first <= last) of the table into the
    // receiver, as planned by planFill: unknown and bad records are never
    // sent. False as fetch.
    bool fill(int first, int last);
    // The same as steps of a job that already runs (the caller holds no
    // session for them; they hold and release the receiver themselves).
    rxjob::Task<FetchResult> aFetch();
    rxjob::Task<FillResult> aFill(int first, int last);

    // The memory scan's step, as a job step: "C" + the channel and a
    // refresh. False when the receiver did not answer.
    static rxjob::Task<bool> aScanStep(App &app, int ch);
    // Taking the receiver for the scan, after the hold: a refresh in a
    // bracket of its own (the H1s go out again while held).
    static rxjob::Task<bool> aTakeForScan(App &app);
    // Right after the scan's hold: its bracket's H1s once more.
    static rxjob::Task<> aScanHeld(App &app);

    // Recalls channel ch into the receiver ("C" + the channel), as a job in
    // its remote bracket for context.
    static void recall(App &app, int ch, QObject *context);

    // The cell editor's writes, each a job in one remote bracket: a data
    // record ("K"), or emptying the channel ("U5"). A record that does not
    // fit the layout is refused (false) and nothing is sent.
    // The table's inRx follows what was sent.
    static bool writeCell(App &app, MemTable &t, int ch, const QString &rec);
    static bool clearCell(App &app, MemTable &t, int ch);

    void cancel() { cancel_ = true; }
    bool cancelled() const { return cancel_; }
    bool running() const { return running_; }
    const FetchResult &lastFetch() const { return fetchResult_; }
    const FillResult &lastFill() const { return fillResult_; }

signals:
    // Before each channel: the channel, how many are done, how many in all.
    void progress(int ch, int done, int total);
    // A channel of the table changed (fetch): show it.
    void channelRead(int ch);
    // The transfer ended (told after its job has left the line).
    void fetched(const mem2::FetchResult &r);
    void filled(const mem2::FillResult &r);

private:
    // One channel by the described read-out, read up to tries times while
    // its reply cannot be read; false when no reply came.
    rxjob::Task<bool> aReadOne(int ch, FetchResult *res, int tries);
    rxjob::Task<> aStream(FetchResult *res, QList<bool> *got);
    void store(int ch, const QString &rec, FetchResult *res);
    bool begin(const QString &name);
    void end();
    Outcome failure() const;

    App &app_;
    MemTable &t_;
    bool cancel_ = false;
    bool running_ = false;
    bool held_ = false; // this transfer holds the receiver
    FetchResult fetchResult_;
    FillResult fillResult_;
};

template <class F>
void StreamParser::feed(const QByteArray &bytes, F take)
{
    pending += bytes;
    qsizetype cr;
    while ((cr = pending.indexOf('\r')) >= 0) {
        if (cr == 0) {
            pending.remove(0, 1); // a stray CR is no record
            continue;
        }
        const QByteArrayView line = QByteArrayView(pending).first(cr + 1);
        if (rxreply::isReportPiece(line)) {
            ++reports;
            pending.remove(0, cr + 1);
            continue;
        }
        ++lines;
        int ch = -1;
        const QString rec = record(line, &ch);
        if (!rec.isEmpty())
            take(ch, rec);
        pending.remove(0, cr + 1);
    }
}

} // namespace mem2
