#pragma once
#include "app/state/clock.h"
#include "app/state/settings.h"
#include "app/state/time_period_form.h"
#include "app/state/trading_desk.h"
#include "charts/chart_data.h"
#include "charts/chart_options.h"
#include "common/market.h"
#include "market/market_data.h"
#include "market/price_history.h"
#include "news/hints.h"
#include "news/news_history.h"
#include "news/news_release.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

namespace pellucar {

// The state of one game, by owner. The game object holds it; each part has
// one writer, and every other part of the game gets it read-only:
//   settings, levelSelected, marginCallPending, practice, rewinds
//                  the game (setup, menus, press, rewind)
//   clock          GameClock's own steps (its fields are private)
//   market, prices the game's market steps (load, store a period)
//   desk           OrderDesk
//   chart, drawings ChartDesk
//   news, background, hints  NewsDesk
struct GameState {
    // The player's options.
    Settings settings;
    // Whether the setup window's level summary was confirmed.
    bool levelSelected = false;
    // A margin call's trades were made in this press.
    bool marginCallPending = false;
    // The game is played for practice (the player said so before his first
    // trade, or went back to an earlier period): it is never among the best
    // scores. How many times the player went back.
    bool practice = false;
    int rewinds = 0;
    // Period, data mode, length and dates of the game.
    GameClock clock;

    // The loaded period's data and the prices of the periods played.
    MarketData market;
    PriceHistory prices;

    // Account, limits, trade record, pending order and the commissions run up.
    TradingDesk desk;

    // What the two charts show. What they were last drawn with is worked
    // out from the rest, so it is the charts area's own, not the game's.
    charts::ChartOptions chart;
    // The lines the player drew over each market's price chart.
    charts::Drawings drawings;

    // The stories released in this game, the last background story looked
    // up, and the hints (held back across games).
    NewsHistory news;
    BackgroundStory background;
    HintAdvisor hints;

    bool operator==(const GameState&) const = default;
};

} // namespace pellucar
