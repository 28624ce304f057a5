// The hourglass pointer as a scoped guard: every way out restores the pointer.
#pragma once

class BusyGuard {
public:
    BusyGuard();
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;
    // Restore early (before showing a dialog); the destructor then does nothing.
    void release();

private:
    bool active_ = true;
};
