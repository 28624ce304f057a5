// Moving memory channels between the receiver and a memory table: the fetch
// of all 200 channels, the fill of a range, the scan's hold, step and
// release, and the single-cell writes of the cell editor.
//
// Each transfer is one sequence on the line (the facade's sequence, with
// hold() and release() inside), so nothing from another caller interleaves
// with it. Progress is reported through the hooks; cancel() stops a fetch
// or fill at the next channel and still releases the receiver. A transfer
// that would have to wait behind another caller's running sequence does
// not start and answers Busy (the caller tries again when the line is free).
//
// A MemTransfer lives on the stack of whoever drives it: the hooks may
// touch a window that goes away meanwhile, so they guard themselves.
#pragma once
#include "memory/mem2.h"

#include <QList>
#include <QString>
#include <functional>

struct App;

namespace mem2 {

enum class Outcome {
    Done,      // every channel went through
    NoAnswer,  // the receiver fell silent (what came is kept)
    Lost,      // the line was lost
    Cancelled, // cancel() was called
    Busy,      // another caller's sequence runs: nothing was sent
};

struct FetchResult {
    Outcome outcome = Outcome::NoAnswer;
    int read = 0;         // channels read, from 0 on
    QList<int> bad;       // replies that do not fit the record layout
    QList<int> unknown;   // channels left unknown (not read, or bad)
    bool restored = false; // nothing came: the table was put back as it was
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
};
FillPlan planFill(const MemTable &t, int first, int last);
// The lines added to the fill question when the fill would empty channels
// or leave some alone; empty when there is nothing to say.
QString fillNotes(const FillPlan &p);

struct FillResult {
    Outcome outcome = Outcome::NoAnswer;
    int sent = 0; // commands sent
};

class MemTransfer {
public:
    MemTransfer(App &app, MemTable &table);

    // Before each channel: the channel, how many are done, how many in all.
    std::function<void(int ch, int done, int total)> progress;
    // A channel of the table changed (fetch): show it.
    std::function<void(int ch)> channelRead;
    // Where the backup memory file goes after a complete fetch (empty: no
    // backup).
    QString backupDir;

    // Reads every channel into the table. The table is cleared first; the
    // channels that could not be read stay unknown. When nothing at all came
    // back, the table is put back as it was.
    FetchResult fetch();
    // Writes channels first..last (first <= last) of the table into the
    // receiver, as planned by planFill: unknown and bad records are never
    // sent.
    FillResult fill(int first, int last);

    // The scan: take the receiver (hold and a refresh), one step ("C" + the
    // channel and a refresh), let it go. False when the receiver did not
    // answer; a step answers Busy (false, *busy set) while another caller's
    // sequence runs, so that tick is skipped.
    bool scanHold();
    bool scanStep(int ch, bool *busy = nullptr);
    void scanRelease();

    // The cell editor's writes, each in one remote bracket: a data record
    // ("K"), or emptying the channel ("U5"). A record that does not fit the
    // layout is refused (false) and nothing is sent.
    bool writeCell(int ch, const QString &rec);
    bool clearCell(int ch);

    void cancel() { cancel_ = true; }
    bool cancelled() const { return cancel_; }
    bool running() const { return running_; }

private:
    // Collects one read-out reply: pieces until one ends with CR or the
    // record holds 16 characters. False when the bound expired first.
    bool collect(QString *reply);
    Outcome failure() const;

    App &app_;
    MemTable &t_;
    bool cancel_ = false;
    bool running_ = false;
};

} // namespace mem2
