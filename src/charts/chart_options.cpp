#include "charts/chart_options.h"

#include "common/market.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace pellucar::charts {

namespace {

// Graph Options items 0..5 in trading order and what each charts.
constexpr std::array<int, 6> kIdOfGraphItem{3, 2, 6, 4, 1, 5};
// The combo text each Graph Options item writes.
const std::array<const char*, 6> kComboTextOfGraphItem{"Oil", "Gold", "T-Bond", "SP500", "Cattle", "Soybean"};
// The moving average's periods, stepped through by its periods item.
constexpr std::array<int, 3> kMovingPeriods{5, 15, 20};

} // namespace

QString graphTypeText(GraphType type) {
    switch (type) {
    case GraphType::MovingAverage: return QStringLiteral("MovingAverage");
    case GraphType::RelativeStrengthIndex: return QStringLiteral("RelativeStrengthIndex");
    case GraphType::Stochastic: return QStringLiteral("Stochastic");
    }
    return {};
}

std::optional<GraphType> graphTypeFromText(const QString& text) {
    for (GraphType t : {GraphType::MovingAverage, GraphType::RelativeStrengthIndex, GraphType::Stochastic})
        if (graphTypeText(t) == text) return t;
    return std::nullopt;
}

QString stochasticTypeText(StochasticType type) {
    switch (type) {
    case StochasticType::Unset: return {};
    case StochasticType::Fast: return QStringLiteral("FastStochastics");
    case StochasticType::Slow: return QStringLiteral("SlowStochastics");
    }
    return {};
}

std::optional<StochasticType> stochasticTypeFromText(const QString& text) {
    for (StochasticType t : {StochasticType::Unset, StochasticType::Fast, StochasticType::Slow})
        if (stochasticTypeText(t) == text) return t;
    return std::nullopt;
}

int ChartOptions::commodityIdOfGraphItem(int index) {
    return index >= 0 && index < 6 ? kIdOfGraphItem[static_cast<size_t>(index)] : 0;
}

int ChartOptions::graphItemOfCommodityId(int commodityId) {
    for (int i = 0; i < 6; ++i)
        if (kIdOfGraphItem[static_cast<size_t>(i)] == commodityId) return i;
    return -1;
}

ChartOptions::Choices ChartOptions::choices() const {
    return {
        chartMarket_,    comboText_,       leftType_,     priceMean_,    priceMinMax_,
        graphType_,      maCounter_,       movingMean_,   movingMinMax_, graphType_ == GraphType::RelativeStrengthIndex,
        stochasticType_, priceStyle_,      priceAverage_, rightPane_,    priceBands_,
        rsiChanges_,     stochasticWindow_};
}

namespace {
constexpr std::array<int, 3> kRsiChoices{9, kRsiChanges, 25};
constexpr std::array<int, 3> kStochasticChoices{kStochasticWindow, 9, 14};

bool offered(const std::array<int, 3>& choices, int n) {
    return std::find(choices.begin(), choices.end(), n) != choices.end();
}
} // namespace

QString ChartOptions::tuningProblem(const Choices& c) {
    // Enum values come from a file as numbers: any number may stand there.
    if (static_cast<int>(c.priceStyle) < 0 || c.priceStyle > PriceStyle::CloseLine)
        return QStringLiteral("its chart style %1 is not one the menus offer").arg(static_cast<int>(c.priceStyle));
    if (static_cast<int>(c.rightPane) < 0 || c.rightPane > RightPane::Macd)
        return QStringLiteral("its right chart %1 is not one the menus offer").arg(static_cast<int>(c.rightPane));
    if (!offered(kRsiChoices, c.rsiChanges))
        return QStringLiteral("its relative strength index over %1 changes is not one the menus offer")
            .arg(c.rsiChanges);
    if (!offered(kStochasticChoices, c.stochasticWindow))
        return QStringLiteral("its stochastics over %1 periods are not ones the menus offer").arg(c.stochasticWindow);
    return {};
}

std::optional<ChartOptions> ChartOptions::fromChoices(const Choices& c) {
    if (c.chartMarket < 1 || c.chartMarket > kMarketCount) return std::nullopt;
    const int item = graphItemOfCommodityId(c.chartMarket);
    if (c.comboText != marketNames().at(c.chartMarket - 1) &&
        c.comboText != QLatin1String(kComboTextOfGraphItem[static_cast<size_t>(item)]))
        return std::nullopt;
    if (c.leftType != LeftChartType::Price && (c.priceMean || c.priceMinMax)) return std::nullopt;
    if (c.graphType == GraphType::RelativeStrengthIndex && (c.movingMean || c.movingMinMax)) return std::nullopt;
    if (c.maCounter < 0 || c.maCounter > kMaxMovingCounter) return std::nullopt;
    if (!tuningProblem(c).isEmpty()) return std::nullopt;
    ChartOptions o;
    o.chartMarket_ = c.chartMarket;
    o.comboText_ = c.comboText;
    o.leftType_ = c.leftType;
    o.priceMean_ = c.priceMean;
    o.priceMinMax_ = c.priceMinMax;
    o.graphType_ = c.graphType;
    o.maCounter_ = c.maCounter;
    o.maPeriods_ = kMovingPeriods[static_cast<size_t>(c.maCounter % 3)];
    o.movingMean_ = c.movingMean;
    o.movingMinMax_ = c.movingMinMax;
    o.stochasticType_ = c.stochasticType;
    o.stochasticItem_ = c.stochasticType == StochasticType::Slow ? 1 : 0;
    o.priceStyle_ = c.priceStyle;
    o.priceAverage_ = c.priceAverage;
    o.rightPane_ = c.rightPane;
    o.priceBands_ = c.priceBands;
    o.rsiChanges_ = c.rsiChanges;
    o.stochasticWindow_ = c.stochasticWindow;
    return o;
}

void ChartOptions::mnuGraph_Click(int index) {
    if (index < 0 || index >= 6) return;
    chartMarket_ = commodityIdOfGraphItem(index);
    comboText_ = QString::fromLatin1(kComboTextOfGraphItem[static_cast<size_t>(index)]);
}

void ChartOptions::cboCommodity_Click(int comboIndex) {
    if (comboIndex < 0 || comboIndex >= kMarketCount) return;
    chartMarket_ = comboIndex + 1;
    comboText_ = marketNames().at(comboIndex);
}

void ChartOptions::setChartMarket(int commodityId) {
    chartMarket_ = commodityId >= 1 && commodityId <= kMarketCount ? commodityId : 3;
    comboText_ = marketNames().at(chartMarket_ - 1);
}

void ChartOptions::mnuGLType_Click(int index) {
    if (index != 0 && index != 2) return;
    leftType_ = index == 0 ? LeftChartType::OpenHighLowClose : LeftChartType::YearToDate;
    priceMean_ = priceMinMax_ = false;
}

void ChartOptions::mnuGLPrice_Click(int index) {
    if (index == 0) priceMean_ = !priceMean_;
    else if (index == 1) priceMinMax_ = !priceMinMax_;
    else return;
    leftType_ = LeftChartType::Price;
}

void ChartOptions::mnuGRType_Click(int index) {
    switch (index) {
    case 0: graphType_ = GraphType::MovingAverage; break;
    case 1:
        graphType_ = GraphType::RelativeStrengthIndex;
        movingMean_ = movingMinMax_ = false;
        break;
    case 2:
        graphType_ = GraphType::Stochastic;
        movingMean_ = movingMinMax_ = false;
        break;
    default: break;
    }
}

void ChartOptions::mnuMoving_Click(int index) {
    if (index == 0 || index == 1) {
        bool& line = index == 0 ? movingMean_ : movingMinMax_;
        line = !line;
        if (line) graphType_ = GraphType::MovingAverage;
    } else if (index == 2) {
        ++maCounter_;
        maPeriods_ = kMovingPeriods[static_cast<size_t>(maCounter_ % 3)];
    }
}

void ChartOptions::mnuStoch_Click(int index) {
    if (index != 0 && index != 1) return;
    stochasticType_ = index == 0 ? StochasticType::Fast : StochasticType::Slow;
    stochasticItem_ = index;
    graphType_ = GraphType::Stochastic;
}

void ChartOptions::beginRefresh(DataMode mode, int periodIndex) {
    if (mode == DataMode::Tick && periodIndex < 6 && leftType_ == LeftChartType::YearToDate)
        leftType_ = LeftChartType::Price;
}

void ChartOptions::restoreDefaults() {
    graphType_ = GraphType::MovingAverage;
    maPeriods_ = 5;
    maCounter_ = 0;
    movingMean_ = true;
    movingMinMax_ = false;
    stochasticType_ = StochasticType::Unset;
    stochasticItem_ = 0;
}

void ChartOptions::mnuGLStyle_Click(int index) {
    if (index >= 0 && index <= 2) priceStyle_ = static_cast<PriceStyle>(index);
}

void ChartOptions::mnuGLAverage_Click(int) { priceAverage_ = !priceAverage_; }

void ChartOptions::mnuGRVolume_Click(int) {
    rightPane_ = rightPane_ == RightPane::Volume ? RightPane::Indicator : RightPane::Volume;
}

void ChartOptions::mnuGRPane_Click(int index) {
    if (index != 0 && index != 1) return;
    const RightPane chosen = index == 0 ? RightPane::AverageTrueRange : RightPane::Macd;
    rightPane_ = rightPane_ == chosen ? RightPane::Indicator : chosen;
}

void ChartOptions::mnuGLBands_Click(int) { priceBands_ = !priceBands_; }

void ChartOptions::mnuRsiPeriods_Click(int index) {
    if (index >= 0 && index < 3) rsiChanges_ = kRsiChoices[static_cast<size_t>(index)];
}

void ChartOptions::mnuStochPeriods_Click(int index) {
    if (index >= 0 && index < 3) stochasticWindow_ = kStochasticChoices[static_cast<size_t>(index)];
}

namespace {
constexpr int kMinViewSpan = 10;
} // namespace

RowRange ChartOptions::viewRange(int currentRow) const {
    if (currentRow < 1) return {1, 0};
    const int last = viewEnd_ > 0 ? std::min(viewEnd_, currentRow) : currentRow;
    return {std::max(1, last - std::max(1, viewSpan_) + 1), last};
}

void ChartOptions::scrollView(int rows, int currentRow) {
    if (currentRow < 1) return;
    const int last = viewRange(currentRow).last;
    // The first row shown stays the first played one at most.
    const int lowest = std::min(currentRow, std::max(1, viewSpan_));
    const long long moved = static_cast<long long>(last) + rows;
    const int end = static_cast<int>(std::clamp<long long>(moved, lowest, currentRow));
    viewEnd_ = end >= currentRow ? 0 : end;
}

void ChartOptions::zoomView(int steps, int currentRow) {
    if (currentRow < 1 || steps == 0) return;
    double span = viewSpan_;
    for (int i = 0; i < std::min(std::abs(steps), 20); ++i) span = steps > 0 ? span / 1.5 : span * 1.5;
    const int most = std::max(kMinViewSpan, currentRow);
    viewSpan_ = std::clamp(static_cast<int>(std::lround(span)), kMinViewSpan, most);
    // The last row shown stays where it was.
    scrollView(0, currentRow);
}

void ChartOptions::homeView() {
    viewEnd_ = 0;
    viewSpan_ = kMaxDrawnPoints;
}

void ChartOptions::moveView(ViewMove move, int amount, int currentRow) {
    switch (move) {
    case ViewMove::Scroll: scrollView(amount, currentRow); break;
    case ViewMove::Zoom: zoomView(amount, currentRow); break;
    case ViewMove::Latest: homeView(); break;
    }
}

void ChartOptions::mnuChartView_Click(int index, int currentRow) {
    if (index == 0) moveView(ViewMove::Zoom, 1, currentRow);
    else if (index == 1) moveView(ViewMove::Zoom, -1, currentRow);
    else if (index == 2) moveView(ViewMove::Latest, 0, currentRow);
}

bool ChartOptions::graphItemChecked(int index) const { return index == graphItemOfCommodityId(chartMarket_); }

bool ChartOptions::leftTypeItemChecked(int index) const {
    return (index == 0 && leftType_ == LeftChartType::OpenHighLowClose) ||
           (index == 2 && leftType_ == LeftChartType::YearToDate);
}

bool ChartOptions::priceLineItemChecked(int index) const {
    return (index == 0 && priceMean_) || (index == 1 && priceMinMax_);
}

// The marks say what is drawn: the relative strength item is checked exactly
// while the right chart shows it, however it was reached (the moving
// average's submenu opening, a stochastic item chosen directly).
bool ChartOptions::graphTypeItemChecked(int index) const {
    return index == 1 && graphType_ == GraphType::RelativeStrengthIndex;
}

bool ChartOptions::movingItemChecked(int index) const {
    return (index == 0 && movingMean_) || (index == 1 && movingMinMax_);
}

bool ChartOptions::stochasticItemChecked(int index) const { return index == stochasticItem_; }

QString ChartOptions::graphTypeItemCaption(int index) const {
    switch (index) {
    case 0:
        // The item keeps its access key whatever its number.
        return maCounter_ == 0 ? QStringLiteral("&Moving Average - 5 Period")
                               : QStringLiteral("&Moving Average - ") + QString::number(maPeriods_);
    case 1: return QStringLiteral("&Relative Strength Index ");
    case 2: return QStringLiteral("&Stochastic Indicator");
    default: return {};
    }
}

QString ChartOptions::movingItemCaption(int index) const {
    switch (index) {
    case 0: return QStringLiteral("&Mean Line");
    case 1: return QStringLiteral("M&in-Max Lines");
    case 2:
        return maCounter_ == 0 ? QStringLiteral("5 Periods") : QString::number(maPeriods_) + QStringLiteral(" periods");
    default: return {};
    }
}

namespace {

// The marks' keys, and which menu each belongs to with its item there.
struct MarkItem {
    const char* key;
    enum Menu {
        Graph,
        LeftType,
        Style,
        PriceLine,
        Average,
        Bands,
        Volume,
        Pane,
        RsiPeriods,
        StochPeriods,
        GraphType,
        Moving,
        Stochastic
    } menu;
    int item;
};
constexpr MarkItem kMarks[] = {
    {"mnuGraph_0", MarkItem::Graph, 0},
    {"mnuGraph_1", MarkItem::Graph, 1},
    {"mnuGraph_2", MarkItem::Graph, 2},
    {"mnuGraph_3", MarkItem::Graph, 3},
    {"mnuGraph_4", MarkItem::Graph, 4},
    {"mnuGraph_5", MarkItem::Graph, 5},
    {"mnuGLType_0", MarkItem::LeftType, 0},
    {"mnuGLType_1", MarkItem::LeftType, 1},
    {"mnuGLType_2", MarkItem::LeftType, 2},
    {"mnuGLStyle_0", MarkItem::Style, 0},
    {"mnuGLStyle_1", MarkItem::Style, 1},
    {"mnuGLStyle_2", MarkItem::Style, 2},
    {"mnuGLPrice_0", MarkItem::PriceLine, 0},
    {"mnuGLPrice_1", MarkItem::PriceLine, 1},
    {"mnuGLAverage", MarkItem::Average, 0},
    {"mnuGRVolume", MarkItem::Volume, 0},
    {"mnuGLBands", MarkItem::Bands, 0},
    {"mnuGRPane_0", MarkItem::Pane, 0},
    {"mnuGRPane_1", MarkItem::Pane, 1},
    {"mnuRsiPeriods_0", MarkItem::RsiPeriods, 0},
    {"mnuRsiPeriods_1", MarkItem::RsiPeriods, 1},
    {"mnuRsiPeriods_2", MarkItem::RsiPeriods, 2},
    {"mnuStochPeriods_0", MarkItem::StochPeriods, 0},
    {"mnuStochPeriods_1", MarkItem::StochPeriods, 1},
    {"mnuStochPeriods_2", MarkItem::StochPeriods, 2},
    {"mnuGRType_0", MarkItem::GraphType, 0},
    {"mnuGRType_1", MarkItem::GraphType, 1},
    {"mnuGRType_2", MarkItem::GraphType, 2},
    {"mnuMoving_0", MarkItem::Moving, 0},
    {"mnuMoving_1", MarkItem::Moving, 1},
    {"mnuMoving_2", MarkItem::Moving, 2},
    {"mnuStoch_0", MarkItem::Stochastic, 0},
    {"mnuStoch_1", MarkItem::Stochastic, 1},
};
static_assert(std::size(kMarks) == ChartOptions::kMenuMarkCount);

} // namespace

QString ChartOptions::menuMarkKey(int i) { return QString::fromLatin1(kMarks[i].key); }

QString ChartOptions::menuCaptionKey(int i) {
    return i == 0 ? QStringLiteral("mnuGRType_0") : QStringLiteral("mnuMoving_2");
}

bool ChartOptions::menuMarkChecked(int i) const {
    const MarkItem& m = kMarks[i];
    switch (m.menu) {
    case MarkItem::Graph: return graphItemChecked(m.item);
    case MarkItem::LeftType: return leftTypeItemChecked(m.item);
    case MarkItem::Style: return static_cast<int>(priceStyle_) == m.item;
    case MarkItem::PriceLine: return priceLineItemChecked(m.item);
    case MarkItem::Average: return priceAverage_;
    case MarkItem::Volume: return volumePane();
    case MarkItem::Bands: return priceBands_;
    case MarkItem::Pane: return rightPane_ == (m.item == 0 ? RightPane::AverageTrueRange : RightPane::Macd);
    case MarkItem::RsiPeriods: return rsiChanges_ == kRsiChoices[static_cast<size_t>(m.item)];
    case MarkItem::StochPeriods: return stochasticWindow_ == kStochasticChoices[static_cast<size_t>(m.item)];
    case MarkItem::GraphType: return graphTypeItemChecked(m.item);
    case MarkItem::Moving: return movingItemChecked(m.item);
    case MarkItem::Stochastic: return stochasticItemChecked(m.item);
    }
    return false;
}

QString ChartOptions::menuCaption(int i) const { return i == 0 ? graphTypeItemCaption(0) : movingItemCaption(2); }

QString ChartOptions::leftTitle(DataMode mode, int periodIndex) const {
    // A tick game's first trading day has no full day of prices: whatever is
    // chosen, the chart is titled as a price chart.
    if (mode == DataMode::Tick && periodIndex < 6) return QStringLiteral("Price");
    switch (leftType_) {
    case LeftChartType::Price: return QStringLiteral("Price");
    case LeftChartType::YearToDate: return QStringLiteral("Year-to-Date");
    case LeftChartType::OpenHighLowClose:
        if (mode == DataMode::Tick && tickDayOf(periodIndex) < 1) return QStringLiteral("Price");
        return QStringLiteral("Open-High-Low-Close");
    }
    return {};
}

QString ChartOptions::rightTitle() const {
    switch (graphType_) {
    case GraphType::MovingAverage: return QStringLiteral("Moving Average");
    case GraphType::RelativeStrengthIndex: return QStringLiteral("Relative Strength Index");
    case GraphType::Stochastic: return QStringLiteral("Stochastic Indicator");
    }
    return {};
}

} // namespace pellucar::charts
