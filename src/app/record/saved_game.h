#pragma once
// A game in progress kept in a file: how the game was set up and what the
// player did in it, which Game > Resume plays through the rules again on the
// market database. Positions, lots, account figures, prices, news and the
// window are never stored: the rules make them again, so a file can only
// bring back a game that the rules could have produced.
//
// The file is an envelope around a QDataStream payload:
//   8 bytes   magic "PLCRSAVE"
//   quint32   format version (kSavedGameFormat)
//   quint32   payload length
//   payload
//   32 bytes  SHA-256 of everything before it
// Magic and version come first and keep their places in every version, so a
// later build can still tell its own files, older ones and foreign ones apart.
// The checksum only tells a file cut short or damaged by accident: a file
// that passes it is still read as untrusted input.
#include "app/state/settings.h"
#include "app/state/trading_desk.h"
#include "charts/chart_options.h"
#include "charts/drawings.h"
#include "common/level.h"
#include "market/market_data.h"
#include "news/news_options.h"
#include "trading/trade_log.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace pellucar {

struct GameState;
struct Scenario;

inline constexpr char kSavedGameFileName[] = "saved-game.pellucar";
// 1 kept the whole state and the window; 2 keeps the set-up and the
// decisions; 3 adds whether the order's market button was pressed; 4 the
// scenario the game started from and its first day; 5 the rules, the
// Trainer's fills and its decisions on working orders; 6 whether the game is
// played for practice and how often it was rewound; 7 the price chart's
// style, its average line and bands, the right chart's pane and the
// indicators' periods; 8 the journal's notes; 9 the lines drawn over the
// price charts.
inline constexpr quint32 kSavedGameFormat = 9;

// The most periods any game reaches: a quarter of tick days, six a day.
inline constexpr int kMostGamePeriods = kTickDayCapacity * kTicksPerDay;

// The desktop game's save folder: the user's data folder for the program.
QString defaultSaveFolder();

// What a saved game holds.
struct SavedGame {
    // The set-up, as the setup window took it.
    Level level = Level::Expert;
    DataMode data = DataMode::Daily;
    GameLength length = GameLength::Year;
    NewsOption news = NewsOption::Annual;
    int startMonth = 1; // 1 in daily games
    int startYear = 1990;
    // The first day of the month, or of the scenario the game started from
    // (its name; empty for a game set up in the setup window). Files of
    // format 3 and before hold no scenario.
    int startDay = 1;
    QString scenario;
    // Files before format 5 hold Classic games.
    RuleSet rules = RuleSet::Classic;
    double commissionRate = kDefaultCommissionPerRoundTurn;
    // Played for practice (never among the best scores), and how many times
    // the player went back to an earlier period; files before format 6 hold
    // neither.
    bool practice = false;
    int rewinds = 0;

    // The player's decisions: every trade in order (margin-call trades
    // included, which the rules must make again by themselves), the period
    // the game stood at, and the order being entered.
    QList<TradeRecord> trades;
    // Trainer: the player's decisions on working orders, in the order made.
    QList<OrderDecision> decisions;
    // The journal's notes by trade number; files before format 8 have none.
    QMap<int, QString> notes;
    int periodIndex = 1;
    OrderState orderState = OrderState::ChangePeriod;
    std::optional<Market> orderMarket;
    std::optional<Side> orderSide;
    // Whether the player pressed the market's button (a Novice may leave
    // his Oil to the desk); format 2 files say nothing, read as not.
    bool orderMarketPressed = false;
    // The contracts accepted for the read-back (CorrOrd only).
    QString orderUnits;
    // What the units box holds, typed and not yet entered.
    QString typedUnits;
    // The history report open over the charts, if any (never during an order).
    enum class Report { None, Trades, News } report = Report::None;

    // Choices and counters that are not the game's rules: the Options menu,
    // the charts, and what outlives a game (hint hold-back, commissions, the
    // last background story).
    MaximumDisplay maximumDisplay = MaximumDisplay::Transaction;
    int annualCounter = 1, dailyCounter = 0;
    charts::ChartOptions::Choices chart;
    // The lines drawn over each market's price chart; files before format 9
    // have none.
    charts::Drawings drawings;
    int nextHintPeriod = 0;
    float commissionTotal = 0;
    int backgroundYear = 0;

    bool operator==(const SavedGame&) const = default;
};

// The game in `state` as a saved game; `typedUnits` is what the units box
// holds while the order waits for its units, `report` the report open,
// `scenario` the scenario the game started from (none for a set-up game).
SavedGame savedGameOf(const GameState& state, const QString& typedUnits, SavedGame::Report report,
                      const Scenario* scenario = nullptr);

// The game `g` as it stood when it first reached `period` (1 up to its own
// period): the trades made before it and the working orders' fills of the
// press that reached it, the decisions made before it, no order under way
// and no report open. An Expert's commissions lose those of the trades
// left out. Resume's replay of it is a rewind to that period.
SavedGame savedGameUpTo(const SavedGame& g, int period);

// Why a saved game was not brought back.
enum class SavedGameProblem { None, Missing, Unreadable, Foreign, Newer, Older, Damaged, Impossible };

QByteArray encodeSavedGame(const SavedGame& game);
// Fills `out` and returns None, or returns why the bytes are no saved game
// that could be resumed (`out` is then unspecified); for Impossible,
// `detail` says what no game could hold. Every value is checked here except
// what only the rules and the market database can judge (Game replays it).
SavedGameProblem decodeSavedGame(const QByteArray& bytes, SavedGame& out, QString* detail);
// The checks of decodeSavedGame on a game already read: empty, or what no
// game could hold.
QString checkSavedGame(const SavedGame& game);

// The save file in `folder`.
QString savedGamePath(const QString& folder);
// Writes `bytes` as the save file of `folder` (made when missing) in one
// step: the file is either the new save or the old one, never a mix; a
// save's leftovers go first. Returns an empty text, or why the write failed.
QString writeSavedGameFile(const QString& folder, const QByteArray& bytes);
// Removes the temporary files a save cut short (the program killed while
// it wrote) left in `folder`; a save under way in another copy of the game
// is left alone.
void removeSaveLeftovers(const QString& folder);
// The size of the largest save the format holds: every trade a game may
// record, every text at its longest. No larger file is read.
qint64 largestSavedGameSize();
// Reads the save file of `folder`: None, Missing or Unreadable (with the
// reason: no regular file, larger than any save, or the system's words).
SavedGameProblem readSavedGameFile(const QString& folder, QByteArray* bytes, QString* error);

// What the player is told about a problem, after "The saved game could not
// be read: "; `detail` is the reason of an Impossible game.
QString savedGameProblemText(SavedGameProblem problem, const QString& detail = {});

} // namespace pellucar
