#include "utilities/userdefs.h"

#include "common/fmt.h"
#include "link/commands.h"
#include "link/receiver2.h"

#include <cstdlib>

namespace udefs {

bool send(Receiver2 &rx, const QString &c)
{
    if (c.isEmpty())
        return false;
    rx.send_cmd(c);
    return true;
}

void submit(Receiver2 &rx, const QString &c, QObject *context)
{
    Receiver2 *r = &rx;
    rx.submit(
        [r, c]() -> rxjob::Task<> {
            send(*r, c);
            co_return;
        },
        true, context);
}

const std::array<OptionGroup, 6> &groups()
{
    static const std::array<OptionGroup, 6> g = {{
        {"S-meter display", "opt_Smd", {"Single segment", "Bar Graph"},
         {cmd::user(4, 0), cmd::user(4, 1)}},
        {"10 Hz Digit Display", "opt_Hdd", {"Off", "On"}, {cmd::user(7, 0), cmd::user(7, 1)}},
        {"Clock Colon Blinking", "opt_ccb", {"Off", "On"}, {cmd::user(8, 0), cmd::user(8, 1)}},
        // See the header: No shift = "U60", 1.5 kHz shift = "U61".
        {"SSB Freq. Display", "opt_Sfd", {"No shift", "1.5 kHz shift"},
         {cmd::user(6, 0), cmd::user(6, 1)}},
        {"Beep on KeyPress", "opt_Bkp", {"Off", "On"}, {cmd::user(9, 0), cmd::user(9, 1)}},
        {"Relay Mode", "opt_Rm", {"Normally Off", "Normally On", "Squelch-On/Off"},
         {cmd::user(0, 0), cmd::user(0, 1), cmd::user(0, 2)}},
    }};
    return g;
}

int stepPitch(int pitch, int dir)
{
    const int p = pitch + (dir > 0 ? kPitchStep : dir < 0 ? -kPitchStep : 0);
    return p < kPitchMin ? kPitchMin : (p > kPitchMax ? kPitchMax : p);
}

QString pitchText(int pitch)
{
    return (pitch >= 0 ? QStringLiteral("+") : QStringLiteral("-")) + fmt::zeros(std::abs(pitch), 4);
}

QString pitchCommand(int pitch) { return cmd::bfo(pitch); }

std::array<QString, 10> defaultsTable()
{
    return {cmd::user(0, 0), cmd::user(1, 1), cmd::bfo(kPitchDefault), QString(), cmd::user(4, 1),
            QString(), cmd::user(6, 1), cmd::user(7, 1), cmd::user(8, 1), cmd::user(9, 1)};
}

std::array<int, 6> defaultSelection()
{
    // Bar Graph, 10 Hz On, colon On, 1.5 kHz shift, beep On, Normally Off.
    return {1, 1, 1, 1, 1, 0};
}

} // namespace udefs
