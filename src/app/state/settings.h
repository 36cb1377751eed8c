#pragma once
#include "app/state/time_period_form.h"
#include "common/data_mode.h"
#include "common/level.h"
#include "common/rule_set.h"
#include "news/news_options.h"
#include "trading/working_orders.h"

#include <QString>
#include <array>

namespace pellucar {

// The level a setup form names; it offers no third, so anything else is Expert.
Level levelOrExpert(const QString& name);

// What the maximum beside the order entry counts.
enum class MaximumDisplay { Transaction, Positions };

// The player's choices in the Options menu and the setup window: the one
// source of truth. The menu check marks are drawn from it and never read
// back.
struct Settings {
    Level level = Level::Expert;
    DataMode data = DataMode::Daily;      // the Data item checked for the next game
    GameLength length = GameLength::Year; // the Game Length item checked
    MaximumDisplay maximumDisplay = MaximumDisplay::Transaction;
    NewsOptions news;
    // The rules of the next game (set up in the setup window).
    RuleSet rules = RuleSet::Classic;
    // The Trainer's commission: dollars a round turn per contract, half of it
    // charged at each fill.
    double commissionRate = kDefaultCommissionPerRoundTurn;

    // The game length in periods that the checked length item gives.
    int lengthDays(int yearDays = 365) const;
    bool operator==(const Settings&) const = default;
};

} // namespace pellucar
