// Receiver replies: the state record, spontaneous reports, memory read-out
// records and the fields the grid shows from them.
#include "common/fmt.h"
#include "fuzzkit.h"
#include "link/captions.h"
#include "link/receiver2.h"
#include "link/rxstate.h"
#include "memory/mem2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(fuzzkit::bytes(data, size));
    const DecodedState d = DecodedState::decode(text);
    fuzzkit::check(d.att >= -1 && d.att <= 9, "att is a digit or unknown");
    if (d.freqValid)
        fuzzkit::check(d.khz >= 0 && d.khz < 100000, "frequency from eight digits");

    QString term;
    qint64 hz = 0;
    for (const QString &piece : text.split(QLatin1Char('\n')))
        getfreq_decode(term, piece + QLatin1Char('\r'), &hz);

    static const Captions cap = Captions::build(true, true);
    const QString rec = text.left(40);
    (void)mem2::rowCells(cap, 0, rec, QStringLiteral("tag"), true);
    (void)mem2::printLine(cap, 0, rec, QString());
    (void)mem2::selFreqText(rec);
    (void)mem2::recordHz(rec);
    return 0;
}
