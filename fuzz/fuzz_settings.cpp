// The settings file, and the values it feeds into time texts and table sizes.
#include "common/timetext.h"
#include "fuzzkit.h"
#include "settings/settings.h"

#include <QDateTime>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(fuzzkit::bytes(data, size));
    Settings s = settingsfile::parse(text);
    const TimeTexts t = timetext::compute(QDateTime(QDate(2026, 12, 6), QTime(12, 0)), s.ltMinusUtc());
    fuzzkit::check(!t.utc_text.isNull(), "a UTC text");
    for (int i = 0; i < 4; ++i) {
        const long long lines = (long long)s.dim(i) * 1000;
        (void)lines;
    }
    (void)s.portNumber();
    (void)s.targetArea();
    (void)settingsfile::lines(&s);
    return 0;
}
