// Where a frequency came from, as frequencyChanged tells it: the window that
// tuned (it shows the new frequency itself; a window skips its own), a
// client of the program, or the receiver.
#pragma once

enum class Origin {
    Bdxc,
    Log,
    Own,
    Ilg2Rx,
    Tracking,
    Panel,
    Spectrum,
    // A network client or the command-line tool.
    Remote,
    // A listener's page of the web remote.
    Web,
    // The receiver: its state read, or its dial while every window follows it.
    Receiver,
    // The receiver's own dial reports, for the windows that follow the dial
    // (the panel, Db2Rx, the tracking window in Dial mode).
    Dial,
};
