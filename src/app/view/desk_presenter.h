#pragma once
#include "app/state/settings.h"
#include "app/state/trading_desk.h"
#include "common/level.h"

#include <QString>

#include <array>
#include <bit>
#include <cstdint>

namespace pellucar {

class PresentationModel;

// The trader-input panel and the controls around it: which of them each
// order state shows, and the groups of buttons and labels that the phases
// of a game show, hide, enable and disable together.
void presentOrderState(OrderState state, PresentationModel& model);
void setMarketButtonsVisible(PresentationModel& model, bool visible);
void setMarketButtonsEnabled(PresentationModel& model, bool enabled);
void setMarketButtonVisible(PresentationModel& model, Market m, bool visible, bool enabled);
void setMarketLabelsVisible(PresentationModel& model, bool visible);
void setQuotesVisible(PresentationModel& model, bool visible);
// Buy, Sell and Hold, shown and ready.
void offerSides(PresentationModel& model);
// A history grid takes the chart area; closing it brings the charts back.
// While it is shown the chart choices and the buttons that would leave the
// report wait (presentControlFlags).
void showReport(PresentationModel& model, const QString& grid, const QString& caption, const QString& closeButton);
void closeReport(PresentationModel& model, const QString& grid, const QString& caption, const QString& closeButton);
// Both reports closed, the charts and their choices back.
void closeReports(PresentationModel& model);
// Whether a report grid is shown over the charts.
bool reportShown(const PresentationModel& model);
// The right chart always has its place; a report grid covers both.
void layoutCharts(PresentationModel& model);

// What every control's enabled flag follows from.
struct DeskFacts {
    bool gameOnDesk = false;    // a game set up (Begin, Resume) and not finished
    bool periodStarted = false; // the game is past its first Forward press
    bool reportShown = false;   // a history report covers the charts
    OrderState orderStep = OrderState::ChangePeriod;
    int tradeCount = 0;               // trades made in the game
    bool pressRunning = false;        // a Forward press, from its start to its end
    bool windowLocked = false;        // the press holds the main window locked
    bool modalOpen = false;           // a modal window is up over the main window
    bool autoPlaying = false;         // auto-play presses Forward for the player
    int autoPlaySpeed = 0;            // the pace chosen, an item of Options > Auto-Play Speed
    bool autoPlayStopsOnFill = false; // a working order's fill stops auto-play
    bool trainer = false;             // the game on the desk (or the next) plays the Trainer rules
    bool ordersTaken = false;         // working orders can be entered, changed and cancelled now
    bool practice = false;            // the game on the desk is played for practice
    bool practiceMarkable = false;    // ... and may still be marked so (no decision made yet)
    bool rewindable = false;          // ... and may go back: not scored as Classic, past period 1
    int drawings = 0;                 // lines drawn on the charted market
};
// The one place that enables and disables Forward, Trade, the history
// buttons, the top menus, the chart menus and the options that fix a game.
void presentControlFlags(const DeskFacts& facts, PresentationModel& model);

// The text each account figure was last given, kept with the figure it was
// made from: a press that leaves a figure as it was (most do, and every
// position stays as it was until a trade) does not write it out again.
class AccountTexts {
public:
    enum Figure { Value, Percent, Realized, Unrealized, Requirement, Margin, Available, Score, Position };
    static constexpr int kFigures = Position + kMarketCount;

    // The text of `value` for `figure`, made by `make` only when the value
    // differs from the one the figure was last made from.
    template <typename Make> const QString& text(int figure, double value, Make make) {
        Entry& e = entries_[figure];
        if (!e.filled || std::bit_cast<std::uint64_t>(e.value) != std::bit_cast<std::uint64_t>(value))
            e = Entry{true, value, make()};
        return e.text;
    }

private:
    struct Entry {
        bool filled = false;
        double value = 0; // compared bit for bit, so no two figures that could read differently match
        QString text;
    };
    std::array<Entry, kFigures> entries_;
};

// The account figures and the position column, as the account stands.
// With `memo`, texts of figures shown before are taken from it.
void presentAccount(const TradingDesk& desk, Level level, PresentationModel& model, AccountTexts* memo = nullptr);

// Writes the check marks and captions of the Options menu.
void presentSettings(const Settings& settings, PresentationModel& model);

} // namespace pellucar
