// Builders for every command text sent to the receiver (without the CR that
// send_cmd adds).
#pragma once
#include <QString>

namespace cmd {

inline QString remoteOn() { return QStringLiteral("H1"); }
inline QString remoteOff() { return QStringLiteral("H0"); }
QString freqHz(long long hz);      // "F" + eight digits
QString recall(int channel);       // "C" + ch3
QString att(long long n);          // "A" + digit
QString bw(long long n);           // "B" + digit
QString mode(long long n);         // "D" + digit
QString agc(long long n);          // "G" + digit
QString nb(long long n);           // "N" + digit
QString bwc(int hz);               // "W" + "0000"
QString pbs(int hz);               // "P" + signed4: "+0000", "-0150"
QString pbsRefresh();              // "P0000" (no sign)
inline QString storeState() { return QStringLiteral("J1199"); }
QString readout(int first, int last); // "L" + ch3 + ch3
QString write(int channel, const QString &rec12); // "K" + ch3 + rec12
QString setRecord(const QString &rec12);          // "S199" + rec12
QString user(int function, long long n);          // "U0".."U9" + digit
QString clearChannel(int channel);                // "U5" + ch3
QString bfo(int hz);                              // "U2" + signed4
// RTTY demodulator: "U3" + speed code ("65", "50", "00" for speed index 0..2)
// + shift index digit + polarity digit.
QString rttyParams(int speedIndex, int shiftIndex, int polarity);
inline QString reportsOn() { return QStringLiteral("I1"); }
inline QString reportsOff() { return QStringLiteral("I0"); }
inline QString signal() { return QStringLiteral("M"); }
inline QString rttyOn() { return QStringLiteral("X1"); }
inline QString rttyOff() { return QStringLiteral("X0"); }
inline QString timerRelease() { return QStringLiteral("T1"); }
inline QString timerHold() { return QStringLiteral("T0"); }
inline QString relayOn() { return QStringLiteral("O1"); }
inline QString relayOff() { return QStringLiteral("O0"); }
inline QString clockRead() { return QStringLiteral("R0"); }
QString clockSet(const QString &hhmmss);   // "R1" + hhmmss
QString timerOnTime(const QString &hhmm);  // "R2" + hhmm
QString timerOffTime(const QString &hhmm); // "R3" + hhmm
inline QString clockOpen() { return QStringLiteral("R4"); }
inline QString showTimerOn() { return QStringLiteral("R5"); }
inline QString showTimerOff() { return QStringLiteral("R6"); }
inline QString clockClose() { return QStringLiteral("R7"); }

// rec12: attenuator, bandwidth, mode digits, eight Hz digits, AGC digit.
QString rec12(int att, int bw, int mode, long long hz, int agc);
// Record from a four-digit tuning code and a frequency: "0041" + 6175 kHz.
QString rec12FromCode(const QString &code4, double khz);

} // namespace cmd
