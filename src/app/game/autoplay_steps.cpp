#include "app/game/game.h"
#include "app/view/control_table.h"

#include <algorithm>

namespace pellucar {

void Game::autoPlayStep() {
    if (ended_ || !autoPlay_.running()) return;
    if (!isActionable(QLatin1String(keys::kForward))) {
        autoPlay_.stop(QStringLiteral("Forward not available"));
        return PresentControlFlags();
    }
    autoPlay_.pressed();
    const int period = s_.clock.periodIndex();
    click(QLatin1String(keys::kForward));
    const std::vector<OrderEvent>& events = s_.desk.lastOrderEvents;
    const auto filled = [](const OrderEvent& e) { return e.kind == OrderEventKind::Filled; };
    if (autoPlay_.stopsOnFill() && s_.clock.periodIndex() != period &&
        std::any_of(events.begin(), events.end(), filled))
        autoPlay_.stop(QStringLiteral("an order's fill"));
    // A game that ended without a window of its own (none does today)
    // still stops it.
    if (ended_ || gameOnDesk_) return;
    autoPlay_.stop(QStringLiteral("the game's end"));
    PresentControlFlags();
}

void Game::StopAutoPlayFor(const QString& key) {
    if (!autoPlay_.running()) return;
    if (key == QLatin1String(keys::kTrade)) return autoPlay_.stop(QStringLiteral("Trade"));
    if (key == QLatin1String(keys::kNewsHistory) || key == QLatin1String(keys::kTradeHistory))
        return autoPlay_.stop(QStringLiteral("a report"));
    // Opening a menu stops it, except the auto-play items' own: choosing a
    // pace keeps it going, and the Play item itself starts or pauses it.
    const ControlSpec* ctl = findControl(key);
    if (!ctl || (ctl->kind != ControlKind::Menu && ctl->kind != ControlKind::MenuItem)) return;
    if (ctl->name == QLatin1String(keys::kAutoPlayItem) || ctl->name == QLatin1String(keys::kAutoPlaySpeed) ||
        ctl->name == QLatin1String(keys::kAutoPlayStopsOnFill) || ctl->key == QLatin1String(keys::kAutoPlaySpeedMenu))
        return;
    autoPlay_.stop(QStringLiteral("a menu"));
}

void Game::addAutoPlayActions(ActionTable& a) {
    const auto toggle = [this](int) {
        if (autoPlay_.running()) autoPlay_.stop(QStringLiteral("Pause"));
        else if (gameOnDesk_) autoPlay_.start();
    };
    a.insert(QLatin1String(keys::kAutoPlay), toggle);
    a.insert(QLatin1String(keys::kAutoPlayItem), toggle);
    a.insert(QLatin1String(keys::kAutoPlaySpeed), [this](int i) { autoPlay_.setSpeed(i); });
    a.insert(QLatin1String(keys::kAutoPlayStopsOnFill), [this](int) { autoPlay_.toggleStopsOnFill(); });
}

} // namespace pellucar
