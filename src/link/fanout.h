// Where a frequency came from: the window that tuned (it shows the new
// frequency itself and is skipped when the others are told), or Count for
// the receiver.
#pragma once

class FreqFanout {
public:
    enum Target { Bdxc, Log, Own, Ilg2Rx, Tracking, Panel, Count };
};
