#include "app/view/desk_presenter.h"
#include "app/state/auto_play.h"
#include "app/view/control_table.h"
#include "app/view/presentation_model.h"
#include "common/format.h"

#include <QStringList>

namespace pellucar {

namespace {

struct StateRow {
    OrderState state;
    QList<ControlKey> hide;
    QList<ControlKey> show;
    QString heading; // empty keeps the heading
};

// An order step writes these on every press: their keys are found once.
QList<ControlKey> controls(std::initializer_list<const char*> names) {
    QList<ControlKey> keys;
    for (const char* name : names) keys.append(ControlKey(QString::fromLatin1(name)));
    return keys;
}

const QList<StateRow>& orderStates() {
    static const QList<StateRow> rows{
        {OrderState::ChangePeriod,
         controls({"btnYes", "btnNo", "btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice",
                   "inputUnits", "inputPrice", "lblorderverify"}),
         controls({"ShapeNextPeriod", keys::kForward, keys::kAutoPlay, keys::kTrade}), QStringLiteral("Trader Input:")},
        {OrderState::Trade,
         controls({"promptUnits", "btnYes", "btnNo", keys::kForward, keys::kAutoPlay, keys::kTrade, "ShapeNextPeriod",
                   "lblorderverify"}),
         controls({"shapeTradeCentral"}), QString()},
        {OrderState::GetUnits,
         controls({"btnBuy", "btnSell", "btnHold", "ShapeNextPeriod", "lblorderverify", "Label8"}),
         controls({"shapeTradeCentral", "promptUnits", "lblTraderInput", "Shape3"}), QString()},
        {OrderState::CorrOrd,
         controls({"btnBuy", "btnSell", "btnHold", "ShapeNextPeriod", "promptUnits", "inputUnits", "promptPrice",
                   "inputPrice"}),
         controls({"shapeTradeCentral", "lblorderverify", "btnYes", "btnNo"}), QStringLiteral("Order Verification:")},
        {OrderState::TradeConfirmation,
         controls({"btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice", "inputUnits",
                   "inputPrice", "lblorderverify"}),
         controls({"ShapeNextPeriod", "lblTraderInput"}), QString()},
        {OrderState::Restart,
         controls({"btnYes", "btnNo", "btnBuy", "btnSell", "btnHold", "shapeTradeCentral", "promptUnits", "promptPrice",
                   "inputUnits", "inputPrice", "lblorderverify"}),
         controls({keys::kTrade, "ShapeNextPeriod", "lblTraderInput", keys::kTradeHistory, keys::kNewsHistory}),
         QString()},
    };
    return rows;
}

} // namespace

void presentOrderState(OrderState state, PresentationModel& model) {
    for (const StateRow& row : orderStates()) {
        if (row.state != state) continue;
        static const ControlKey heading(QStringLiteral("lblTraderInput"));
        for (const ControlKey& k : row.hide) model.setVisible(k, false);
        for (const ControlKey& k : row.show) model.setVisible(k, true);
        if (!row.heading.isEmpty()) model.setText(heading, row.heading);
        break;
    }
    if (state == OrderState::ChangePeriod || state == OrderState::Restart) setMarketButtonsVisible(model, false);
}

const std::array<ControlKey, kMarketCount>& marketButtons() {
    static const auto keys = marketControlKeys(&MarketKeys::button);
    return keys;
}

void setMarketButtonsVisible(PresentationModel& model, bool visible) {
    for (const ControlKey& k : marketButtons()) model.setVisible(k, visible);
}

void setMarketButtonsEnabled(PresentationModel& model, bool enabled) {
    for (const ControlKey& k : marketButtons()) model.setEnabled(k, enabled);
}

void setMarketButtonVisible(PresentationModel& model, Market m, bool visible, bool enabled) {
    ControlState& button = model[marketButtons()[static_cast<size_t>(index(m))]];
    button.visible = visible;
    button.enabled = enabled;
}

void setMarketLabelsVisible(PresentationModel& model, bool visible) {
    for (Market m : kTradingOrder) model.setVisible(keysOf(m).quoteName, visible);
}

void setQuotesVisible(PresentationModel& model, bool visible) {
    for (Market m : kTradingOrder) model.setVisible(keysOf(m).quote, visible);
}

void offerSides(PresentationModel& model) {
    // Offered at every order: the keys are found once.
    static const ControlKey sides[] = {ControlKey(QStringLiteral("btnBuy")), ControlKey(QStringLiteral("btnSell")),
                                       ControlKey(QStringLiteral("btnHold"))};
    for (const ControlKey& k : sides) {
        ControlState& button = model[k];
        button.visible = true;
        button.enabled = true;
    }
}

void showReport(PresentationModel& model, const QString& grid, const QString& caption, const QString& closeButton) {
    for (const char* k : {"GraphLeft", "GraphRight", "cboCommodity"}) model.setVisible(k, false);
    for (const QString& k : {grid, caption, closeButton}) model.setVisible(k, true);
}

void closeReport(PresentationModel& model, const QString& grid, const QString& caption, const QString& closeButton) {
    for (const QString& k : {grid, caption, closeButton}) model.setVisible(k, false);
    for (const char* k : {"GraphLeft", "GraphRight", "cboCommodity"}) model.setVisible(k, true);
}

void closeReports(PresentationModel& model) {
    for (const char* k :
         {keys::kTradeGrid, "LabelTH", "btnCloseTradeHistory", keys::kNewsGrid, "LabelNH", "btnCloseNewsHist"})
        model.setVisible(k, false);
    for (const char* k : {"GraphLeft", "GraphRight", "cboCommodity"}) model.setVisible(k, true);
}

bool reportShown(const PresentationModel& model) {
    return model.visible(controlKey<keys::kTradeGrid>()) || model.visible(controlKey<keys::kNewsGrid>());
}

void layoutCharts(PresentationModel& model) {
    static const ControlKey rightChart(QStringLiteral("GraphRight"));
    model.setVisible(rightChart, !reportShown(model));
}

void presentControlFlags(const DeskFacts& f, PresentationModel& model) {
    // Forward needs a game and the desk in view; Trade a period to trade
    // in; the reports a desk with no order under way.
    const bool forward = f.gameOnDesk && !f.reportShown && !f.pressRunning;
    const bool trade = forward && f.periodStarted;
    const bool reports = trade && f.orderStep == OrderState::ChangePeriod;
    // The top menus wait while a modal step runs; the options that fix a
    // game wait until it is over.
    const bool menus = !f.windowLocked && !f.modalOpen;
    using namespace keys;
    const std::pair<const char*, bool> flags[] = {
        {kWindow, !f.windowLocked},
        {kForward, forward},
        {kTrade, trade},
        {kNewsHistory, reports},
        {kTradeHistory, reports},
        {"mnuGraphOpt", !f.reportShown},
        {"mnuGraphType", !f.reportShown},
        // The charts' view moves over a game's played periods.
        {"mnuChartViewMenu", f.gameOnDesk && !f.reportShown},
        // Lines are drawn on a played period and removed while there are some.
        {"mnuDraw_0", f.periodStarted},
        {"mnuDraw_1", f.periodStarted},
        {"mnuDraw_2", f.drawings > 0},
        {"mnuDraw_3", f.drawings > 0},
        // A note is written between orders, with a report shown or not.
        {"mnuTradeNote",
         f.gameOnDesk && f.tradeCount > 0 && !f.pressRunning && f.orderStep == OrderState::ChangePeriod},
        {"mnuGame", menus},
        {"mnuSettings", menus},
        {"mnuDunmere", menus},
        {"mnuHowtoPlay", menus},
        {"mnuLevel_0", !f.gameOnDesk},
        {"mnuLevel_2", !f.gameOnDesk},
        {"mnuNews_0", !f.gameOnDesk},
        {"mnuNews_1", !f.gameOnDesk},
        {"mnuGameLength_2", !f.gameOnDesk},
        {"mnuGameLength_3", !f.gameOnDesk},
        {"mnuGameLength_4", !f.gameOnDesk},
        {"mnuDat_0", !f.gameOnDesk},
        {"mnuDat_1", !f.gameOnDesk},
        // Practice is chosen before the first decision; a rewind goes back
        // from a desk with no order or report under way.
        {"mnuPractice", f.practiceMarkable},
        {"mnuRewind", reports && f.rewindable},
    };
    // The flags are derived after every action and every press: the keys
    // are found once, not at each derivation.
    static const QList<ControlKey> flagKeys = [&flags] {
        QList<ControlKey> k;
        for (const auto& [key, on] : flags) k << ControlKey(QString::fromLatin1(key));
        return k;
    }();
    for (qsizetype i = 0; i < flagKeys.size(); ++i)
        if (model.enabled(flagKeys[i]) != flags[i].second) model.setEnabled(flagKeys[i], flags[i].second);
    // Auto-play goes with Forward; its captions say what a press does now.
    const ControlKey* const playKeys[] = {&controlKey<kAutoPlay>(), &controlKey<kAutoPlayItem>()};
    const QString playTexts[] = {f.autoPlaying ? QStringLiteral("&Pause") : QStringLiteral("&Play"),
                                 f.autoPlaying ? QStringLiteral("&Pause Auto-Play") : QStringLiteral("Auto-&Play")};
    for (int i = 0; i < 2; ++i) {
        const ControlKey& k = *playKeys[i];
        if (model.enabled(k) != forward) model.setEnabled(k, forward);
        if (model.checked(k) != f.autoPlaying) model.setChecked(k, f.autoPlaying);
        if (model.at(k).text != playTexts[i]) model.setText(k, playTexts[i]);
    }
    static const QList<ControlKey> speedKeys = [] {
        QList<ControlKey> k;
        for (int i = 0; i < AutoPlay::kSpeedCount; ++i)
            k << ControlKey(itemKey(QString::fromLatin1(kAutoPlaySpeed), i));
        return k;
    }();
    for (int i = 0; i < AutoPlay::kSpeedCount; ++i)
        if (model.checked(speedKeys[i]) != (i == f.autoPlaySpeed)) model.setChecked(speedKeys[i], i == f.autoPlaySpeed);
    static const ControlKey practice(QStringLiteral("mnuPractice"));
    if (model.checked(practice) != f.practice) model.setChecked(practice, f.practice);
    const ControlKey& onFill = controlKey<kAutoPlayStopsOnFill>();
    if (model.checked(onFill) != f.autoPlayStopsOnFill) model.setChecked(onFill, f.autoPlayStopsOnFill);
    // The Trainer's order windows and fills line exist in its games only; the
    // ticket opens while orders are taken, the list whenever a game is on.
    const std::pair<const ControlKey*, bool> trainerKeys[] = {{&controlKey<kOrderTicket>(), f.ordersTaken},
                                                              {&controlKey<kWorkingOrders>(), f.gameOnDesk},
                                                              {&controlKey<kOrderFills>(), true}};
    for (const auto& [key, on] : trainerKeys) {
        if (model.visible(*key) != f.trainer) model.setVisible(*key, f.trainer);
        if (model.enabled(*key) != (f.trainer && on)) model.setEnabled(*key, f.trainer && on);
    }
}

void presentAccount(const TradingDesk& desk, Level level, PresentationModel& model, AccountTexts* memo) {
    // Shown after every press and every order: the keys are found once.
    static const ControlKey eq(QStringLiteral("lblEq")), percent(QStringLiteral("lblPercentGL")),
        rpl(QStringLiteral("lblRPL")), upl(QStringLiteral("lblUPL")), liab(QStringLiteral("lblLIAB")),
        margin(QStringLiteral("lblPosMargPercent")), available(QStringLiteral("lblAvailMarg")),
        score(QStringLiteral("lblScore")), trades(QStringLiteral("lblTotTrades"));
    static const auto positions = marketControlKeys(&MarketKeys::position);
    static const auto positionNames = marketControlKeys(&MarketKeys::positionName);
    // Each figure's text, from the memo when the figure is as it was.
    // (Single-precision figures keep their type, so their own shortest text is what rounds.)
    const auto show = [&](const ControlKey& key, int figure, auto value, auto format) {
        model.setText(key, memo ? memo->text(figure, value, [&] { return format(value); }) : format(value));
    };
    const Account& a = desk.account;
    const float av = a.accountValue();
    const float start = a.startingCapital();
    const double req = a.marginRequirement();
    show(eq, AccountTexts::Value, av, formatStandardF);
    // Left as it was when there is no capital to measure against. The ratio
    // is single precision: its own shortest text is what rounds.
    if (start != 0) show(percent, AccountTexts::Percent, (av - start) / start, formatPercentF);
    show(rpl, AccountTexts::Realized, a.realizedPL(), formatStandard);
    show(upl, AccountTexts::Unrealized, a.unrealizedPL(), formatStandard);
    show(liab, AccountTexts::Requirement, req, formatStandard);
    show(margin, AccountTexts::Margin, av > 0 ? (av - req) / av : 0.0, formatPercent);
    const bool novice = level == Level::Novice;
    for (Market m : kTradingOrder) {
        const ControlKey& position = positions[index(m)];
        show(position, AccountTexts::Position + index(m), a.position(m), formatWhole);
        const bool shown = !novice || m == Market::Oil;
        model.setVisible(position, shown);
        model.setVisible(positionNames[index(m)], shown);
    }
    show(available, AccountTexts::Available, av - req, formatStandard);
    show(score, AccountTexts::Score, a.realizedPL() + a.unrealizedPL(),
         [](double v) { return QStringLiteral("$") + formatStandard(v); });
    model.setText(trades, QString::number(desk.tradeCount()));
}

void presentSettings(const Settings& s, PresentationModel& model) {
    model.setChecked("mnuLevel_0", s.level == Level::Novice);
    model.setChecked("mnuLevel_2", s.level == Level::Expert);
    model.setChecked("mnuDat_0", s.data != DataMode::Tick);
    model.setChecked("mnuDat_1", s.data == DataMode::Tick);
    model.setChecked("mnuGameLength_2", s.length == GameLength::Month);
    model.setChecked("mnuGameLength_3", s.length == GameLength::Quarter);
    model.setChecked("mnuGameLength_4", s.length == GameLength::Year);
    model.setChecked("mnuNews_0", s.news.checked(NewsOption::Annual));
    model.setChecked("mnuNews_1", s.news.checked(NewsOption::Daily));
    const bool positions = s.maximumDisplay == MaximumDisplay::Positions;
    model.setChecked("mnuMaximum_0", !positions);
    model.setChecked("mnuMaximum_1", positions);
    model.setText("LabelMaxiPos",
                  positions ? QStringLiteral("Maximum Position:") : QStringLiteral("Maximum Transaction:"));
    // The one commission figure of the Trainer rules, charged half at each fill.
    model.setText(
        "mnuTrainerCommission",
        QStringLiteral("Trainer &Commission: %1 a Round Turn").arg(formatPattern(s.commissionRate, u"$#,##0.00")));
}

} // namespace pellucar
