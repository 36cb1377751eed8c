#pragma once
#include "app/settings.h"
#include "app/time_period_form.h"
#include "app/trading_desk.h"
#include "common/market.h"
#include "market/market_data.h"
#include "market/price_history.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

namespace pellucar {

// One story released during a tick game, kept for the news history.
struct NewsHistoryEntry {
    int number = 0;
    QDate newsDate;
    QString title;
    QString story;
    QString newsTime; // the game time of the period it came out in
};

// All state of one program run. One instance, owned by the game object and
// handed by reference to the parts that need it.
struct GameState {
    // The player's options, and the data mode of the game being played
    // (None until the first game is set up).
    Settings settings;
    DataMode dataMode = DataMode::None;
    int gameLengthDays = 0;
    QDate gameStartDate{1990, 12, 15};
    QDate gameEndDate;
    QString graphType = QStringLiteral("MovingAverage");
    int movingAveragePeriods = 5;
    int chartMarket = 3; // commodity id, 3 = Oil
    bool levelSelected = false;
    // The length option of the last setup (month, quarter, year).
    TimePeriodForm::Length setupLength = TimePeriodForm::Length::Year;

    // Clock.
    int periodIndex = 0;
    bool endOfData = false;
    int tradingDayCount = 0;
    bool marginCallPending = false;
    int restartRequested = 0;
    bool gameStarted = false;
    QStringList timeLabels = QStringList(8);

    // Market data.
    QString databasePath;
    bool databaseOpen = false;
    MarketData market;
    PriceHistory prices;

    // The trading desk: account, limits, trade record, pending order.
    TradingDesk desk;
    // The score kept for the end of the game, and the commissions an Expert
    // has run up since the program started (no new game resets them).
    float totalPL = 0;
    float commissionTotal = 0;

    QList<NewsHistoryEntry> newsHistory;
    int backgroundYear = 0;

    // Hints are held back across games.
    int nextHintPeriod = 0;
};

} // namespace pellucar
