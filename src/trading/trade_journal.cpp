#include "trading/trade_journal.h"
#include "trading/lot_book.h"

#include <array>
#include <cmath>

namespace pellucar {

QString TradeJournal::noteProblem(const QString& text) {
    if (text.size() > kMostNote) return QStringLiteral("a note is at most %1 characters").arg(kMostNote);
    for (QChar c : text) {
        // Control and format characters (line breaks, bidirectional marks)
        // would break the one line a note is shown on.
        const QChar::Category k = c.category();
        if (k == QChar::Other_Control || k == QChar::Other_Format || k == QChar::Separator_Line ||
            k == QChar::Separator_Paragraph || k == QChar::Other_NotAssigned)
            return QStringLiteral("a note holds plain text only");
    }
    return {};
}

QString TradeJournal::journalProblem(const QMap<int, QString>& notes, int tradeCount) {
    if (notes.size() > kMostNotes) return QStringLiteral("it has more notes than the journal keeps");
    for (auto it = notes.begin(); it != notes.end(); ++it) {
        if (it.key() < 1 || it.key() > tradeCount)
            return QStringLiteral("it has a note on trade %1, which does not exist").arg(it.key());
        if (it.value().trimmed() != it.value() || it.value().isEmpty())
            return QStringLiteral("the note on trade %1 is not one the journal keeps").arg(it.key());
        if (const QString why = noteProblem(it.value()); !why.isEmpty())
            return QStringLiteral("the note on trade %1 is refused: %2").arg(it.key()).arg(why);
    }
    return {};
}

QString TradeJournal::write(int trade, const QString& text, int tradeCount) {
    if (trade < 1 || trade > tradeCount) return QStringLiteral("There is no trade %1").arg(trade);
    const QString kept = text.trimmed();
    if (const QString why = noteProblem(kept); !why.isEmpty()) return why;
    if (kept.isEmpty()) notes_.remove(trade);
    else if (notes_.size() >= kMostNotes && !notes_.contains(trade))
        return QStringLiteral("The journal holds %1 notes at most").arg(kMostNotes);
    else notes_.insert(trade, kept);
    return {};
}

std::vector<FillResult> fillResults(const QList<TradeRecord>& trades) {
    std::array<LotBook, kMarketCount> books;
    std::array<double, kMarketCount> positions{};
    for (Market m : kTradingOrder) books[static_cast<size_t>(index(m))] = LotBook(m);
    std::vector<FillResult> out;
    out.reserve(static_cast<size_t>(trades.size()));
    for (const TradeRecord& t : trades) {
        const size_t k = static_cast<size_t>(index(t.market));
        const double before = positions[k];
        // The account holds positions as floats: the same sums here.
        const float after = static_cast<float>(before) + t.amount;
        positions[k] = after;
        const Booking b = books[k].book(t.amount, after, t.price);
        const bool closes = before != 0 && (before > 0) != (t.amount > 0);
        out.push_back({closes ? std::min(std::fabs(before), std::fabs(double(t.amount))) : 0.0, b.realized});
    }
    return out;
}

} // namespace pellucar
