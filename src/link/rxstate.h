// The receiver's settings as the program last learned or set them.
#pragma once
#include <QString>
#include <QtGlobal>
#include <cstdint>

struct RxState {
    int16_t att = 0;  // 0 Off, 1 On
    int16_t bw = 0;   // 0 Wide, 1 Inter, 2 Narr, 3 Aux
    int16_t mode = 0; // 0 RTTY .. 8 AM-L
    int16_t agc = 0;  // 0 Slow, 1 Fast, 2 Off
    qint64 hz = -1;   // the frequency in Hz; -1 while not known
};

// The 13-character result of read_rx_state: "X" + rec12, decoded field by
// field. A field is valid only when its characters are digits; the caller
// also checks the code against its caption table.
struct DecodedState {
    int att = -1, bw = -1, mode = -1, agc = -1; // -1: not a digit
    bool freqValid = false;
    double khz = 0;
    long long hz = 0; // the same in Hz

    static DecodedState decode(const QString &x13);
};
