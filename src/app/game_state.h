#pragma once
#include "app/game_clock.h"
#include "app/settings.h"
#include "app/time_period_form.h"
#include "app/trading_desk.h"
#include "charts/chart_data.h"
#include "charts/chart_options.h"
#include "news/hints.h"
#include "news/news_history.h"
#include "news/news_release.h"
#include "common/market.h"
#include "market/market_data.h"
#include "market/price_history.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

namespace pellucar {

// All state of one program run. One instance, owned by the game object and
// handed by reference to the parts that need it.
struct GameState {
    // The player's options, and the data mode of the game being played
    // (None until the first game is set up).
    Settings settings;
    // The clock: period, data mode, length and dates of the game.
    GameClock clock;
    // What the two charts show, and what they were last drawn with.
    charts::ChartOptions chart;
    charts::ChartPair charts;
    bool levelSelected = false;
    bool marginCallPending = false;
    QStringList timeLabels = QStringList(8);

    // Market data.
    QString databasePath;
    bool databaseOpen = false;
    MarketData market;
    PriceHistory prices;

    // The trading desk: account, limits, trade record, pending order.
    TradingDesk desk;
    // The commissions an Expert has run up since the program started (no new
    // game resets them).
    float commissionTotal = 0;

    // The stories released in this game, and the last background story
    // looked up.
    NewsHistory news;
    BackgroundStory background;

    // Hints are held back across games.
    HintAdvisor hints;
    bool operator==(const GameState&) const = default;
};

} // namespace pellucar
