// The desk's table: where each control of the design stands, and the
// order the keyboard walks them in.
#include "ui/kestrow.h"

#include "app/game/game.h"
#include "ui/chart_speech.h"
#include "ui/chart_view.h"
#include "ui/color_scheme.h"
#include "ui/kestrow_parts.h"
#include "ui/market_strip_view.h"
#include "ui/metrics.h"
#include "ui/placement.h"
#include "ui/qt_dialogs.h"
#include "ui/shape_frame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>
#include <utility>

namespace pellucar::ui {

namespace {

QVBoxLayout* column(QWidget* area) {
    auto* l = new QVBoxLayout(area);
    l->setContentsMargins(6, 4, 6, 5);
    l->setSpacing(2);
    return l;
}

// The controls that take the keyboard, in the order the table shows them:
// the clock's buttons and the report buttons along the top, the trader-input
// panel row by row, then the chart area and the reports that cover it.
const QStringList& tabOrder() {
    static const QStringList order{
        "btnChangePeriod", "btnAutoPlay", "btnTrade",   "btnNewsHist",      "btnTradeHist",  "btnOil",
        "btnGold",         "btnTBond",    "btnSp500",   "btnCattle",        "btnSoybean",    "btnBuy",
        "btnSell",         "btnHold",     "inputUnits", "inputPrice",       "btnYes",        "btnNo",
        "cboCommodity",    "GraphLeft",   "GraphRight", "btnCloseNewsHist", keys::kNewsGrid, "btnCloseTradeHistory",
        keys::kTradeGrid};
    return order;
}

} // namespace

void Kestrow::buildReportGrids() {
    if (gridsBuilt_ || !reportLayout_) return;
    gridsBuilt_ = true;
    for (const ControlSpec& ctl : mainWindowControls()) {
        if (ctl.kind != ControlKind::Grid || controls_.contains(ctl.key)) continue;
        auto* t = new QTableWidget(reportPanel_);
        t->hide(); // until the model shows it
        t->setObjectName(ctl.key);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->hide();
        t->setWordWrap(false);
        t->horizontalHeader()->setStretchLastSection(true);
        // The entries read from the left; a centred heading over a wide
        // column (the last one takes the rest of the row) would stand apart
        // from them.
        t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        t->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
        // Tab leaves the report for the next control instead of walking its cells.
        t->setTabKeyNavigation(false);
        if (!ctl.tooltip.isEmpty()) t->setToolTip(ctl.tooltip);
        if (schemeApplied_) {
            ScreenColors::setTextColors(t, ColorTable::grid(dialogs_.colors().scheme()));
            ScreenColors::keepBarsVisible(t, dialogs_.colors().scheme());
        }
        reportLayout_->addWidget(t, 1);
        controls_.insert(ctl.key, t);
        if (!ctl.labelledBy.isEmpty()) {
            namedBy_[ctl.labelledBy].append(ctl.key);
            // Read with the caption that names it, as sync names the others.
            t->setAccessibleName(pellucar::accessibleName(ctl, game_.model()));
        }
        shown_.append({ctl.key, &ctl});
    }
    std::sort(shown_.begin(), shown_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    setKeyboardOrder();
    openStoriesFromHistory();
    // What the model says of the grids (and the captions that name them).
    appliedRevision_ = ~quint64(0);
    sync();
}

void Kestrow::setKeyboardOrder() {
    // Controls not made yet (the grids) are left out until they are.
    QWidget* previous = nullptr;
    for (const QString& key : tabOrder()) {
        QWidget* w = qobject_cast<QWidget*>(controls_.value(key));
        if (!w) continue;
        if (previous) setTabOrder(previous, w);
        previous = w;
    }
    // The charts' own button comes after the market box, before the charts.
    if (auto* wide = findChild<QToolButton*>(QStringLiteral("btnWideCharts")))
        setTabOrder(widget(QStringLiteral("cboCommodity")), wide);
}

void Kestrow::layoutTable() {
    QWidget* central = centralWidget();
    auto W = [this](const char* key) { return widget(QString::fromLatin1(key)); };
    auto area = [&](const char* shapeKey) {
        auto* a = new QWidget(central);
        if (shapeKey) {
            auto* s = new ShapeFrame(a);
            s->setObjectName(QString::fromLatin1(shapeKey));
            controls_.insert(s->objectName(), s);
        }
        return a;
    };
    auto pair = [&](QGridLayout* g, int row, const char* caption, const char* value) {
        g->addWidget(W(caption), row, 0);
        g->addWidget(W(value), row, 1);
    };

    static_cast<QLabel*>(W("GameName"))->setFont(titleFont());
    static_cast<QLabel*>(W("GameName"))->setAlignment(Qt::AlignCenter);
    // Texts that change with the order wrap within their panel instead of
    // widening it, and the figures have room for large values from the
    // start, so the table does not shift while the game runs.
    // Two lines are kept for each, and no height is worked out from the
    // width, which keeps the table's rows steady.
    const QFontMetrics fm(font());
    for (const char* k : {"lblorderverify", "lblTraderInput"}) {
        auto* l = static_cast<QLabel*>(W(k));
        l->setWordWrap(true);
        l->setMinimumWidth(fm.averageCharWidth() * 26);
        l->setMinimumHeight(fm.lineSpacing() * 2 + 2);
        QSizePolicy p(QSizePolicy::Ignored, QSizePolicy::Fixed);
        p.setRetainSizeWhenHidden(true);
        p.setHeightForWidth(false);
        l->setSizePolicy(p);
    }
    // The units prompt reads as one line over its box: the desk is at least
    // as wide as the longer of the two prompts.
    const int promptWidth = fm.horizontalAdvance(QStringLiteral("Number of Contracts to Sell: "));
    for (const char* k : {"promptUnits", "promptPrice"}) {
        W(k)->setMinimumWidth(promptWidth);
        W(k)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        retainSpace(W(k));
    }
    // An empty label is a pixel lower than one with text; every one-line
    // label gets the height of a filled one from the start.
    const int filled = lineHeight(font());
    for (const ControlSpec& ctl : mainWindowControls()) {
        auto* l = qobject_cast<QLabel*>(controls_.value(ctl.key));
        if (l && !l->wordWrap() && ctl.key != QLatin1String("GameName")) l->setMinimumHeight(filled);
    }
    // Room for large figures, each width measured once.
    const int figureWidth = fm.horizontalAdvance(QStringLiteral("$-9,999,999.99"));
    for (const char* k : {"lblMaxSelected", "lblEq", "lblPercentGL", "lblRPL", "lblUPL", "lblLIAB", "lblAvailMarg",
                          "lblPosMargPercent", "lblTotTrades", "lblScore"})
        W(k)->setMinimumWidth(figureWidth);
    const int quoteWidth = fm.horizontalAdvance(QStringLiteral("$1,234.50   -12.50"));
    for (const char* k : {"lblOilCurrMark", "lblGoldCurrMark", "lblTBondCurrMark", "lblSP500CurrMark",
                          "lblCattleCurrMark", "lblSoybeanCurrMark"})
        W(k)->setMinimumWidth(quoteWidth);
    const int positionWidth = fm.horizontalAdvance(QStringLiteral("-9,999"));
    for (const char* k : {"lblOilPos", "lblGoldPos", "lblTBondPos", "lblSP500Pos", "lblCattlePos", "lblSoybeanPos"})
        W(k)->setMinimumWidth(positionWidth);

    // Clock: title, day, date and time of the period.
    QWidget* clock = area("Shape1");
    {
        auto* v = column(clock);
        v->addWidget(W("GameName"));
        auto* g = new QGridLayout;
        g->setHorizontalSpacing(6);
        g->setVerticalSpacing(1);
        pair(g, 0, "LabelDay", "lblDay");
        g->addWidget(W("lblDate"), 1, 1);
        pair(g, 2, "labelTime", "lblTradeTime");
        g->setColumnStretch(1, 1);
        v->addLayout(g);
        v->setAlignment(Qt::AlignTop);
    }
    // Forward and Trade.
    QWidget* next = area("ShapeNextPeriod");
    {
        auto* v = column(next);
        v->addStretch(1);
        auto* h = new QHBoxLayout;
        h->setSpacing(3);
        h->addWidget(W("btnChangePeriod"), 1);
        h->addWidget(W("btnAutoPlay"));
        v->addLayout(h);
        v->addWidget(W("btnTrade"));
        v->addStretch(1);
    }
    // Report buttons.
    QWidget* reports = area("shpExpMark");
    {
        auto* v = column(reports);
        v->addWidget(W("Label8"));
        v->addWidget(W("btnNewsHist"));
        v->addWidget(W("btnTradeHist"));
        v->setAlignment(Qt::AlignTop);
    }
    // The quote and position columns: a heading over six market rows in
    // trading order, each a name label and a value label.
    auto marketColumn = [&](const char* shapeKey, const char* heading, const QStringList& names,
                            const QStringList& values) {
        QWidget* box = area(shapeKey);
        auto* v = column(box);
        v->addWidget(W(heading));
        auto* g = new QGridLayout;
        g->setHorizontalSpacing(6);
        g->setVerticalSpacing(1);
        for (int i = 0; i < 6; ++i) pair(g, i, names.at(i).toLatin1().constData(), values.at(i).toLatin1().constData());
        g->setColumnStretch(1, 1);
        v->addLayout(g);
        v->setAlignment(Qt::AlignTop);
        return box;
    };
    QWidget* quotes = marketColumn(
        "shpBegMark", keys::kMarketBanner,
        {"LabelOilMark", "LabelGoldMark", "LabelTBondMark", "LabelSP500Mark", "LabelCattleMark", "LabelSoybeanMark"},
        {"lblOilCurrMark", "lblGoldCurrMark", "lblTBondCurrMark", "lblSP500CurrMark", "lblCattleCurrMark",
         "lblSoybeanCurrMark"});
    QWidget* positions = marketColumn(
        "shpBeginner", "LabelPosition",
        {"labelOilPos", "LabelGoldPos", "LabelTBondPos", "LabelSP500Pos", "LabelCattlePos", "LabelSoybeanPos"},
        {"lblOilPos", "lblGoldPos", "lblTBondPos", "lblSP500Pos", "lblCattlePos", "lblSoybeanPos"});
    // Account figures.
    QWidget* account = area("shpExpert");
    {
        auto* v = column(account);
        auto* g = new QGridLayout;
        g->setHorizontalSpacing(6);
        g->setVerticalSpacing(1);
        const char* rows[][2] = {{"LabelMaxiPos", "lblMaxSelected"},
                                 {"labelAV", "lblEq"},
                                 {"labelGL", "lblPercentGL"},
                                 {"labelRPL", "lblRPL"},
                                 {"LabelUPL", "lblUPL"},
                                 {"LabelLiab", "lblLIAB"},
                                 {"LabelAM", "lblAvailMarg"},
                                 {"LabelCM", "lblPosMargPercent"},
                                 {"LabelTotTrades", "lblTotTrades"},
                                 {"labelscore", "lblScore"}};
        int r = 0;
        for (const auto& row : rows) pair(g, r++, row[0], row[1]);
        g->setColumnStretch(1, 1);
        v->addLayout(g);
        v->setAlignment(Qt::AlignTop);
    }
    // Trader input: market, side, contracts, read-back.
    QWidget* trader = area("Shape3");
    {
        auto* v = column(trader);
        v->addWidget(W("lblTraderInput"));
        QWidget* desk = new QWidget(trader);
        auto* s = new ShapeFrame(desk);
        s->setObjectName(QStringLiteral("shapeTradeCentral"));
        controls_.insert(s->objectName(), s);
        auto* g = new QGridLayout(desk);
        g->setContentsMargins(5, 4, 5, 4);
        g->setSpacing(2);
        const char* buttons[] = {"btnOil",     "btnGold", "btnTBond", "btnSp500", "btnCattle",
                                 "btnSoybean", "btnBuy",  "btnSell",  "btnHold"};
        for (int i = 0; i < 9; ++i) g->addWidget(W(buttons[i]), i / 3, i % 3);
        // The prompt takes the desk's width and the box stands under it;
        // beside the box the prompt would wrap. The price prompt and box are
        // never shown; they share the cells of the units prompt and box.
        g->addWidget(W("promptUnits"), 3, 0, 1, 3);
        g->addWidget(W("promptPrice"), 3, 0, 1, 3);
        g->addWidget(W("inputUnits"), 4, 0, 1, 3, Qt::AlignLeft);
        g->addWidget(W("inputPrice"), 4, 0, 1, 3, Qt::AlignLeft);
        g->addWidget(W("lblorderverify"), 5, 0, 1, 3);
        auto* yesNo = new QHBoxLayout;
        yesNo->setSpacing(2);
        yesNo->addWidget(W("btnYes"));
        yesNo->addWidget(W("btnNo"));
        g->addLayout(yesNo, 6, 0, 1, 3);
        v->addWidget(desk);
        v->setAlignment(Qt::AlignTop);
    }
    // Charts, and the report grids that take their place.
    chartArea_ = area("Shape2");
    {
        auto* v = column(chartArea_);
        auto* top = new QHBoxLayout;
        top->addWidget(W("cboCommodity"));
        // The Trainer's fills of the last press, in the room beside the
        // market's box; a long line is cut, never the window widened.
        QWidget* fills = W(keys::kOrderFills);
        fills->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        fills->setMinimumWidth(0);
        top->addWidget(fills, 1);
        // On a small screen the desk's panels leave the charts a few
        // periods' width: folded away, the charts take the window.
        wideCharts_ = new QAction(QStringLiteral("&Wide Charts"), this);
        wideCharts_->setObjectName(QStringLiteral("actWideCharts"));
        wideCharts_->setCheckable(true);
        wideCharts_->setShortcut(QKeySequence(Qt::Key_F9));
        wideCharts_->setToolTip(QStringLiteral("Fold the desk away so the charts take the window (F9)"));
        auto* wide = new QToolButton(chartArea_);
        wide->setObjectName(QStringLiteral("btnWideCharts"));
        wide->setDefaultAction(wideCharts_);
        wide->setToolButtonStyle(Qt::ToolButtonTextOnly);
        top->addWidget(wide);
        connect(wideCharts_, &QAction::toggled, this, [this](bool on) {
            for (QWidget* a : deskAreas_) a->setVisible(!on);
            wideCharts_->setText(on ? QStringLiteral("Show the &Desk") : QStringLiteral("&Wide Charts"));
            if (depth_ == 0) afterAction();
        });
        v->addLayout(top);
        strip_ = new MarketStripView(chartArea_);
        v->addWidget(strip_);
        v->addWidget(W("GraphLeft"), 1);
        v->addWidget(W("GraphRight"), 1);
        GameChartView::alignPlots(static_cast<GameChartView*>(W("GraphLeft")),
                                  static_cast<GameChartView*>(W("GraphRight")));

        reportPanel_ = new QWidget(chartArea_);
        // It covers the charts while a report is up.
        reportPanel_->setAutoFillBackground(true);
        auto* r = new QVBoxLayout(reportPanel_);
        r->setContentsMargins(0, 0, 0, 0);
        r->setSpacing(2);
        for (const char* k : {"LabelNH", "btnCloseNewsHist", "LabelTH", "btnCloseTradeHistory"})
            r->addWidget(W(k), 0, Qt::AlignLeft);
        reportLayout_ = r; // the grids come below, once made
        for (const char* k : {"LabelNH", "btnCloseNewsHist", "LabelTH", "btnCloseTradeHistory"}) {
            QSizePolicy p = W(k)->sizePolicy();
            p.setRetainSizeWhenHidden(false);
            W(k)->setSizePolicy(p);
        }
        chartArea_->installEventFilter(this);
        reportPanel_->hide();
    }

    // The table: three bands of areas on the left, the charts on the right.
    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    auto band = [&](std::initializer_list<QWidget*> areas) {
        auto* h = new QHBoxLayout;
        h->setSpacing(3);
        for (QWidget* a : areas) h->addWidget(a);
        left->addLayout(h);
    };
    band({clock, next, reports});
    band({quotes, positions});
    band({account, trader});
    deskAreas_ = {clock, next, reports, quotes, positions, account, trader};
    left->addStretch(1);

    auto* whole = new QHBoxLayout(scrolledTable(central));
    whole->setContentsMargins(3, 3, 3, 3);
    whole->setSpacing(3);
    whole->addLayout(left, 0);
    whole->addWidget(chartArea_, 1);

    for (const char* k : {"inputUnits", "inputPrice"}) {
        W(k)->setFixedWidth(QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')) * 9);
        retainSpace(W(k));
    }
}

QWidget* Kestrow::scrolledTable(QWidget* central) {
    // On a screen too small for the table (a laptop panel at 200 %) the
    // table scrolls inside the window instead of the window reaching past
    // the screen; wherever there is room it fills the window.
    auto* scroll = new QScrollArea(central);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    table_ = new QWidget;
    scroll->setWidget(table_);
    // The window's background, which the colour schemes set, shows through.
    scroll->viewport()->setAutoFillBackground(false);
    table_->setAutoFillBackground(false);
    auto* l = new QVBoxLayout(central);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(scroll);
    return table_;
}

void Kestrow::keepChartTextsWhole() {
    // A chart is never narrower than its longest title or its legend: on a
    // small screen the table scrolls instead of the titles being cut short.
    // (The axis labels thin out by themselves.)
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics title(bold), plain(font());
    int widest = 0;
    for (const char* t : {"Open-High-Low-Close", "Relative Strength Index", "Stochastic Indicator", "Year-to-Date"})
        widest = qMax(widest, title.horizontalAdvance(QLatin1String(t)));
    // Two legend entries, each a marker and its name.
    widest = qMax(widest, plain.horizontalAdvance(QStringLiteral("Close Moving Average (5)")) + 6 * plain.height());
    for (const char* k : {"GraphLeft", "GraphRight"}) {
        QWidget* chart = widget(QString::fromLatin1(k));
        chart->setMinimumWidth(widest + 4 * plain.height());
        // A report shown over the charts hides them; their room stays, or on
        // a small screen the report would be squeezed to a sliver beside the
        // table instead of the table scrolling to it.
        QSizePolicy p = chart->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        chart->setSizePolicy(p);
    }
}

} // namespace pellucar::ui
