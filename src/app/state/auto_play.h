#pragma once
#include <QString>

namespace pellucar {

// Auto-play: Forward pressed for the player at a steady pace until
// something asks for the player's attention. The game holds it and is its
// one writer; the window only keeps the timer that asks the game for the
// next press at intervalMs().
class AutoPlay {
public:
    // The paces offered, as Options > Auto-Play Speed lists them.
    static constexpr int kSpeedCount = 5;
    // Periods per second of each pace; 0 is as fast as the window draws.
    static constexpr int kPeriodsPerSecond[kSpeedCount] = {1, 2, 5, 10, 0};

    bool running() const { return running_; }
    int speed() const { return speed_; }
    // The wait between two presses; 0 leaves only the window's drawing
    // between them.
    int intervalMs() const {
        const int pps = kPeriodsPerSecond[speed_];
        return pps > 0 ? 1000 / pps : 0;
    }
    // Why auto-play last stopped ("" while it runs or before it first ran).
    const QString& stopReason() const { return stopReason_; }
    // Presses made since the last start.
    int presses() const { return presses_; }

    void start() {
        running_ = true;
        presses_ = 0;
        stopReason_.clear();
    }
    // Stops for `why`; a stop when not running changes nothing, so the
    // first reason is the one kept.
    void stop(const QString& why) {
        if (!running_) return;
        running_ = false;
        stopReason_ = why;
    }
    void pressed() { ++presses_; }
    // Whether a working order's fill stops it (an option of the Trainer rules).
    bool stopsOnFill() const { return stopsOnFill_; }
    void toggleStopsOnFill() { stopsOnFill_ = !stopsOnFill_; }
    // An index outside the menu's items is ignored.
    void setSpeed(int index) {
        if (index >= 0 && index < kSpeedCount) speed_ = index;
    }

private:
    bool running_ = false;
    int speed_ = 2; // five periods a second
    bool stopsOnFill_ = false;
    int presses_ = 0;
    QString stopReason_;
};

} // namespace pellucar
