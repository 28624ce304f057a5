// The rig-control network protocol (the text protocol of the common
// rig-control daemon, TCP): request parsing, the answer texts, and the
// mapping between its modes, passbands and levels and the receiver's codes.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace rigctl {

// Answer codes ("RPRT n").
enum Code {
    kOk = 0,
    kInvalid = -1,     // bad argument
    kNotImplemented = -4,
    kTimeout = -5,     // the receiver did not answer
    kIo = -6,          // the line is lost
    kProtocol = -8,    // malformed request
    kNotAvailable = -11, // the receiver cannot do that (no transmitter)
    kBusy = -14,       // the receiver is busy with a long operation
};

// One request line.
struct Request {
    QString name;     // long name: "set_freq", "get_level", ... ("" = empty line)
    QStringList args;
    bool extended = false; // "+", ";", "|" or "," prefix: the long, labelled form
    char sep = '\n';       // what separates its parts ("+": line ends)
    bool ok = true;        // false: unknown command (name holds what was sent)
};

// Parses one line (without its line end): short forms ("F 7100000"), long
// forms ("\set_freq 7100000"), each optionally with a prefix of the long
// answer form: "+" (parts on lines of their own), ";", "|" or "," (parts on
// one line, separated by that character).
Request parse(const QByteArray &line);

// Whether a request changes the receiver or starts something (tuning, mode,
// levels, VFO, split, recording): what a client that may only read is refused.
// Requests that only shape this connection's answers (set_vfo_opt) are not.
bool isSet(const Request &r);

// The long name's argument count (set_freq 1, set_mode 2, get_level 1 ...);
// -1 for unknown names.
int argCount(const QString &name);

// Answer texts. Get answers carry values, set answers only the code.
// Short form: values one per line, a set answers "RPRT n", a failed get
// answers "RPRT n". Long form: "name: args", "Key: value" lines, "RPRT n".
QByteArray answer(const Request &r, const QStringList &keys, const QStringList &values, int code);

// Modes: the receiver's mode code for a protocol mode name, and back.
// nullopt for a name the receiver has no mode for.
std::optional<int> modeCode(const QString &name);
QString modeName(int code);
// Passband (Hz) of each bandwidth code, and the code closest to a passband
// (0 = the receiver's normal one for the mode: Inter for SSB/CW/RTTY/FAX,
// Wide for AM and FM; narrowFitted: the narrow filter may be chosen).
int passband(int bwCode);
int bwCodeFor(int passbandHz, int mode, bool narrowFitted);

// Signal strength in dB relative to S9 from the raw "M" level and the
// attenuator (1 S-unit = 6 dB, S9 = 9 units).
int strengthDb(int rawLevel, int att);

// The "\dump_state" and "\dump_caps" texts.
QByteArray dumpState();
QByteArray dumpCaps();

} // namespace rigctl
