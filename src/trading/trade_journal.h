#pragma once
#include "trading/trade_log.h"

#include <QMap>
#include <QString>

#include <vector>

namespace pellucar {

// The player's journal: a short plain-text note on any trade of the game,
// written when it fills or later. Notes are keyed by trade number; a trade
// has one note at most, and an empty note is none.
class TradeJournal {
public:
    // A note fits a line of the review and of a printed report.
    static constexpr int kMostNote = 200;
    // Notes enough for a game noted trade by trade, and a bound on what a
    // saved game holds.
    static constexpr int kMostNotes = 1000;

    // Empty, or why `text` (as it would be kept) is no note: too long or
    // holding control characters (a line break included).
    static QString noteProblem(const QString& text);
    // Empty, or why `notes` cannot be a journal of a game of `tradeCount`
    // trades: a note on a trade that does not exist, no note's text, or
    // more notes than the journal keeps.
    static QString journalProblem(const QMap<int, QString>& notes, int tradeCount);

    // Writes the note on trade `trade` of a game of `tradeCount` trades
    // (blanks round it dropped; an empty text removes the note); a new note
    // past kMostNotes is refused. Empty, or the refusal, with the journal
    // unchanged.
    QString write(int trade, const QString& text, int tradeCount);
    QString note(int trade) const { return notes_.value(trade); }
    const QMap<int, QString>& notes() const { return notes_; }
    // A resumed game's notes, checked by journalProblem first.
    void restore(const QMap<int, QString>& notes) { notes_ = notes; }
    void clear() { notes_.clear(); }

    bool operator==(const TradeJournal&) const = default;

private:
    QMap<int, QString> notes_;
};

// What one fill did to its market's position: the contracts it closed and
// the dollars that realized, as the account's lot books match and round
// them (first in, first out).
struct FillResult {
    double closed = 0; // contracts, >= 0
    double realized = 0;
};
// Every fill of `trades`, in order; their realized figures sum to the
// account's realized profit and loss.
std::vector<FillResult> fillResults(const QList<TradeRecord>& trades);

} // namespace pellucar
