// A reader of the working orders (the chart's order lines) remakes what it drew only when the book's revision
// moves, so a revision must never come back on the book it watches, whatever way the orders change hands.
#include "trading/working_orders.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace pellucar;

TEST(WorkingOrdersRevision, GrowsWhicheverWayTheBookChanges) {
    using Change = std::function<void(WorkingOrders & watched, WorkingOrders & other, const WorkingOrders& older)>;
    const OrderRequest buy{Market::Oil, Side::Buy, 5, OrderType::Limit, 20.0},
        sell{Market::Gold, Side::Sell, 1, OrderType::Limit, 400.0};
    const struct {
        const char* name;
        Change change;
    } rows[] = {
        {"an order placed", [&](auto& w, auto&, const auto&) { w.place(buy, 3, 0); }},
        {"an order cancelled", [](auto& w, auto&, const auto&) { w.cancel(2); }},
        {"the book cleared", [](auto& w, auto&, const auto&) { w.clear(); }},
        {"an older copy taken back, as a rewind does", [](auto& w, auto&, const auto& older) { w = older; }},
        {"another game's book moved in, as Resume does",
         [](auto& w, auto& other, const auto&) { w = std::move(other); }},
        {"swapped with another book", [](auto& w, auto& other, const auto&) { std::swap(w, other); }},
        {"its orders moved out to a new book", [](auto& w, auto&, const auto&) { WorkingOrders taken(std::move(w)); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WorkingOrders watched, other;
        watched.place(buy, 1, 0);
        const WorkingOrders older = watched;
        watched.place(buy, 2, 0);
        other.place(sell, 1, 0);
        other.place(sell, 1, 0); // as many changes as the watched book: the same revision, other orders
        const std::uint64_t before = watched.revision();
        row.change(watched, other, older);
        EXPECT_GT(watched.revision(), before);
    }
}
