// Receiver replies: the state record, spontaneous reports, memory read-out
// lines (one by one and as a range's stream) and the fields the grid shows
// from them. What the reply checker believes must be a record the receiver
// can hold, on the channel asked for.
#include "common/fmt.h"
#include "fuzzkit.h"
#include "link/captions.h"
#include "link/limits.h"
#include "link/receiver2.h"
#include "link/replies.h"
#include "link/rxstate.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzkit::bytes(data, size);
    const QString text = QString::fromLatin1(bytes);
    const DecodedState d = DecodedState::decode(text);
    fuzzkit::check(d.att >= -1 && d.att <= 9, "att is a digit or unknown");
    if (d.freqValid)
        fuzzkit::check(d.khz >= 0 && d.khz < 100000, "frequency from eight digits");

    QString term;
    for (const QString &piece : text.split(QLatin1Char('\n'))) {
        const std::optional<qint64> hz = getfreq_decode(term, piece + QLatin1Char('\r'));
        fuzzkit::check(hz && (*hz == -1 || rxlimits::inRangeHz(*hz)), "a report in range or garbled");
    }

    // The first line as a reader takes it, checked for the channel its
    // digits name and for channel 199.
    const rxreply::Split first = rxreply::firstLine(bytes);
    for (const int want : {-1, 199}) {
        const rxreply::Readout r = rxreply::readout(first.line, want);
        if (r.kind == rxreply::Readout::Unreadable)
            continue;
        fuzzkit::check(rxlimits::validChannel(r.channel) && (want < 0 || r.channel == want), "the channel asked");
        fuzzkit::check(first.line.endsWith('\r') && !first.line.contains('I'), "a whole line, not a report");
        if (r.kind == rxreply::Readout::Stored) {
            fuzzkit::check(rxreply::validRecord(r.rec12, true), "a record the receiver holds");
            const DecodedState s = DecodedState::decode(QLatin1Char('X') + r.rec12);
            fuzzkit::check(rxlimits::kAtt.contains(s.att) && rxlimits::kBw.contains(s.bw) &&
                               rxlimits::kMode.contains(s.mode) &&
                               (rxlimits::kAgc.contains(s.agc) || (s.mode == rxlimits::kModeFm && s.agc >= 0)) &&
                               s.freqValid && rxlimits::inRangeHz(s.hz),
                           "every field within the receiver's limits (NFM has no AGC)");
        }
    }
    (void)rxreply::onlyReportsAfter(first.rest);

    // The range read-out's stream: whatever it takes is a record of the
    // table's layout, for the channel it names.
    mem2::StreamParser parser;
    parser.feed(bytes, [](int ch, const QString &rec) {
        fuzzkit::check(rxlimits::validChannel(ch) && rec.mid(1, 3) == mem2::ch3(ch), "the record's channel");
        const mem2::RecKind k = mem2::recordKind(rec);
        fuzzkit::check(k == mem2::RecKind::Empty ||
                           (k == mem2::RecKind::Data && rxreply::validRecord(rec.mid(4), true)),
                       "a stored or empty channel the receiver can hold");
    });
    fuzzkit::check(mem2::recordKind(mem2::unreadableRecord(bytes)) == mem2::RecKind::Bad &&
                       mem2::unreadableRecord(bytes).size() <= mem2::kRecLen,
                   "an unreadable reply never reads as a record");

    static const Captions cap = Captions::build(true, true);
    const QString rec = text.left(40);
    (void)mem2::rowCells(cap, 0, rec, QStringLiteral("tag"), true);
    (void)mem2::printLine(cap, 0, rec, QString());
    (void)mem2::selFreqText(rec);
    (void)mem2::recordHz(rec);
    return 0;
}
