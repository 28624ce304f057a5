// The rig-control network protocol (the text protocol of the common
// rig-control daemon, TCP): request parsing, the answer texts, and the
// mapping between its modes, passbands and levels and the receiver's codes.
//
// The answers follow what the protocol's own daemon answers for this
// receiver (its model 6006), byte for byte where clients parse them, with
// the receiver's one VFO named VFOA.
#pragma once
#include <QByteArray>
#include <QList>
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
    kRejected = -9,    // the program could not do it (a recording that cannot start)
    kNotAvailable = -11, // the receiver cannot do that (no transmitter)
    kBusy = -14,       // the receiver is busy with a long operation
    kDeprecated = -18, // a command the protocol has retired
};

// One request.
struct Request {
    QString name;     // long name: "set_freq", "get_level", ... ("" = empty line)
    QStringList args;
    QString vfo;      // a VFO named before the arguments ("f VFOA"): taken and ignored
    bool extended = false; // "+", ";", "|" or "," prefix: the long, labelled form
    char sep = '\n';       // what separates its parts ("+": line ends)
    bool ok = true;        // false: unknown command (name holds what was sent)
};

// Parses one line (without its line end) into its requests, in order.
// Several may share a line ("+f +m +v", "fmv", "F 7100000 f"): short forms
// are one letter each, and each takes as many of the following words as it
// has arguments (the first may follow the letter: "F7100000"). Long forms
// start with "\"; "AOS"/"LOS" are words of their own. Each may carry a
// prefix of the long answer form: "+" (parts on lines of their own), ";",
// "|" or "," (parts on one line, separated by that character). A VFO name
// right after a command that acts on a VFO is taken as its VFO ("f VFOA",
// "F currVFO 7100000"). "#" starts a comment. An unknown command ends the
// line: its arguments cannot be told from commands. A request with too few
// arguments has them all (and argCount() says it lacks some). More than
// maxRequests requests: the rest is one request with ok false and no name.
QList<Request> parseLine(const QByteArray &line, int maxRequests = 64);

// The long name's argument count (set_freq 1, set_mode 2, get_level 1 ...);
// -1 for unknown names.
int argCount(const QString &name);

// Whether a request changes the receiver or starts something (tuning, mode,
// levels, VFO, split, recording): what a client that may only read is refused.
// Requests that only shape this connection's answers (set_vfo_opt) and list
// queries ("\vfo_op ?") are not.
bool isSet(const Request &r);

// A transmit-side command (PTT on, split frequency, repeater, tones, morse):
// a receiver has none of them.
bool isTransmit(const Request &r);

// One value of an answer: "Key: value" in the long form (value alone with no
// key), the value alone on its line in the short form. ownLine: the long
// form ends it with a line end whatever the separator (lists).
struct Field {
    QString key, value;
    bool ownLine = false;
};

// Answer texts. Short form: the values one per line, then "RPRT 0" for a set
// with values (a list asked with "?"); a set answers "RPRT n", a failed get
// "RPRT n". Long form: "name: vfo args", the fields, "RPRT n".
QByteArray answer(const Request &r, const QList<Field> &fields, int code);
// A text answer (dump_state, dump_caps, get_rig_info): the text, in the long
// form after "name:" and before "RPRT 0"; rprtShort: "RPRT 0" ends the
// short form too.
QByteArray answerText(const Request &r, const QByteArray &text, bool rprtShort);
// "\chk_vfo": whether VFO arguments are taken (set_vfo_opt).
QByteArray chkVfo(const Request &r, bool vfoOpt);

// Whether a word names a VFO ("VFOA", "currVFO", "Main", ...).
bool isVfoName(const QString &word);

// Modes: the receiver's mode code for a protocol mode name, and back.
// nullopt for a name the receiver has no mode for.
std::optional<int> modeCode(const QString &name);
QString modeName(int code);
// Passband (Hz) of each bandwidth code, and the code closest to a passband
// (a tie goes to the narrower; 0 = the normal one for the mode: Wide for
// AM and ECSS, Aux for FM, Narr for CW when fitted, Inter otherwise).
int passband(int bwCode);
int bwCodeFor(int passbandHz, int mode, bool narrowFitted);

// Signal strength in dB relative to S9 from the raw "M" level, on the
// protocol's scale for this receiver (the attenuator is not taken out).
int strengthDb(int rawLevel);

// What the receiver has fitted, for the capability texts.
struct Fitted {
    bool narrow = false, ecss = false;
};

// The "\dump_state" and "\dump_caps" texts.
QByteArray dumpState(Fitted f);
QByteArray dumpCaps(Fitted f);
// The "\get_rig_info" text: VFO=/Freq=/Mode=/Width= lines, split, the
// receiver's name and a CRC of what comes before it.
QByteArray rigInfo(qint64 hz, int mode, int bwCode);

} // namespace rigctl
