#include "ui/kestrow.h"

#include "app/game/game.h"
#include "ui/chart_speech.h"
#include "ui/chart_view.h"
#include "ui/color_scheme.h"
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

constexpr int kWindowWidthTwips = 9540;
constexpr int kWindowHeightTwips = 7220;

// A button as wide as its caption needs, not the style's roomy default, so
// the game table fits its window and leaves the charts their room.
class CaptionButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override {
        QSize s = QPushButton::sizeHint();
        // Measured again only for a new caption or font: the layouts ask
        // for both hints over and over.
        const QString caption = text();
        if (width_ < 0 || caption != measuredText_ || font() != measuredFont_) {
            measuredText_ = caption;
            measuredFont_ = font();
            const QFontMetrics fm(measuredFont_);
            width_ = fm.horizontalAdvance(QString(caption).remove(QLatin1Char('&'))) + fm.height();
        }
        s.setWidth(width_);
        return s;
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    mutable QString measuredText_;
    mutable QFont measuredFont_;
    mutable int width_ = -1; // -1 until measured
};

// The whole pixels of one line of text in a font, as a text's box has them:
// the font's ascent and descent, whatever the letters.
int lineHeight(const QFont& font) {
    const QFontMetricsF metrics(font);
    return qCeil(metrics.ascent() + metrics.descent());
}

// A label of one line of plain text asks for the size QLabel would, worked
// out from one measurement of its text instead of three layouts of it. The
// figures change every period and are given room for large values from the
// start, so a new figure costs that one measurement.
class FigureLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize sizeHint() const override { return oneLine() ? hint_ : QLabel::sizeHint(); }
    QSize minimumSizeHint() const override { return oneLine() ? hint_ : QLabel::minimumSizeHint(); }

private:
    // Whether the label is one line of plain text, with its size in hint_.
    bool oneLine() const {
        if (wordWrap() || textFormat() != Qt::PlainText || indent() >= 0 || margin() != 0 || frameWidth() != 0 ||
            !contentsMargins().isNull())
            return false;
        const QString t = text();
        if (lineHeight_ < 0 || font() != measuredFont_) {
            measuredFont_ = font();
            lineHeight_ = lineHeight(measuredFont_);
            checkedText_ = QString();
            checkedFor_ = QSize();
        } else if (t == checkedText_ && minimumSize() == checkedFor_) {
            return oneLine_;
        }
        checkedText_ = t;
        checkedFor_ = minimumSize();
        // Printable ASCII: one line in the label's own font, no tab to
        // expand. Left to QLabel: an empty text, which it sizes by whether
        // the label ever had one; blanks at the end, which it measures with
        // what the letter before them reaches past its advance.
        oneLine_ = !t.isEmpty() && !t.endsWith(QLatin1Char(' '));
        for (const QChar c : t) oneLine_ = oneLine_ && c.unicode() >= 0x20 && c.unicode() <= 0x7e;
        if (!oneLine_) return false;
        // The box takes the line's whole pixels: the text's advance and what
        // of its last letter reaches past it.
        const QFontMetricsF metrics(measuredFont_);
        const qreal width = metrics.horizontalAdvance(t) - qMin<qreal>(0, metrics.rightBearing(t.back()));
        hint_ = QSize(qCeil(width), lineHeight_).expandedTo(minimumSize());
        return true;
    }
    mutable QFont measuredFont_;
    mutable int lineHeight_ = -1; // -1 until measured
    // The last text measured, at which minimum size, and what came of it.
    mutable QString checkedText_;
    mutable QSize checkedFor_;
    mutable bool oneLine_ = false;
    mutable QSize hint_;
};

// The controls of the game table in the order a player works through them:
// an order, then a report's close button, then the clock.
const QStringList& keyboardOrder() {
    static const QStringList order{"inputUnits",
                                   "btnYes",
                                   "btnNo",
                                   "btnBuy",
                                   "btnSell",
                                   "btnHold",
                                   "btnOil",
                                   "btnGold",
                                   "btnTBond",
                                   "btnSp500",
                                   "btnCattle",
                                   "btnSoybean",
                                   "btnCloseTradeHistory",
                                   "btnCloseNewsHist",
                                   "btnTrade",
                                   "btnChangePeriod",
                                   "btnAutoPlay",
                                   "btnTradeHist",
                                   "btnNewsHist"};
    return order;
}

// The controls that take the keyboard, in the order the table shows them:
// the clock's buttons and the report buttons along the top, the trader-input
// panel row by row, then the chart area and the reports that cover it.
const QStringList& tabOrder() {
    static const QStringList order{
        "btnChangePeriod", "btnAutoPlay", "btnTrade",   "btnNewsHist",      "btnTradeHist", "btnOil",
        "btnGold",         "btnTBond",    "btnSp500",   "btnCattle",        "btnSoybean",   "btnBuy",
        "btnSell",         "btnHold",     "inputUnits", "inputPrice",       "btnYes",       "btnNo",
        "cboCommodity",    "GraphLeft",   "GraphRight", "btnCloseNewsHist", "newsgrid",     "btnCloseTradeHistory",
        "TradeGrid"};
    return order;
}

// A value label is read as its caption, with the figure it shows as its
// value, so a screen reader says "Oil quote" and then the price. The figure
// is the value on every platform, and on the Linux accessibility bus (where
// a value must be a number) the label's text as well.
class ValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ValueLabelAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return figure();
        return QAccessibleWidget::text(t);
    }
    // The text interface: the figure, read-only, without a selection.
    QString text(int start, int end) const override { return figure().mid(start, end < 0 ? -1 : end - start); }
    int characterCount() const override { return int(figure().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QString figure() const { return static_cast<const QLabel*>(widget())->text(); }
};

QAccessibleInterface* valueLabelFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QLabel") || !object->property("spokenValue").toBool()) return nullptr;
    return new ValueLabelAccessible(static_cast<QWidget*>(object));
}

// The access key a caption claims ('&' before it), or a null character.
QChar accessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&')) continue;
        if (caption.at(i + 1) != QLatin1Char('&')) return caption.at(i + 1).toUpper();
        ++i;
    }
    return {};
}

void retainSpace(QWidget* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

QVBoxLayout* column(QWidget* area) {
    auto* l = new QVBoxLayout(area);
    l->setContentsMargins(6, 4, 6, 5);
    l->setSpacing(2);
    return l;
}

bool isGridKey(const QString& key) { return key == QLatin1String("newsgrid") || key == QLatin1String("TradeGrid"); }

} // namespace

Kestrow::Kestrow(Game& game, QtDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), game_(game), dialogs_(dialogs) {
    // Registered once for the process, before any label is asked for.
    static const bool valueLabelsSpoken = (QAccessible::installFactory(valueLabelFactory), true);
    Q_UNUSED(valueLabelsSpoken);
    setFont(windowFont());
    auto* central = new QWidget(this);
    setCentralWidget(central);
    createControls();
    createMenus();
    layoutTable();
    // The controls the window shows, in the order of their keys, which is
    // the order sync has always brought them in line in.
    QSet<QString> listed;
    for (const ControlSpec& ctl : mainWindowControls()) {
        if (!controls_.contains(ctl.key) || listed.contains(ctl.key)) continue;
        listed.insert(ctl.key);
        shown_.append({ctl.key, &ctl});
    }
    std::sort(shown_.begin(), shown_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    setKeyboardOrder();
    connectSignals();
    addDeskShortcuts();
    keepChartTextsWhole();

    game_.setTextWidthMeasure([this](const QString& key, const QString& text) {
        QWidget* w = widget(key);
        return textWidthTwips(w ? w : this, text);
    });

    fitToScreen();
    sync();
}

Kestrow::~Kestrow() = default;

QObject* Kestrow::control(const QString& key) const {
    // Asked for before the first paint (a test, a report opened at once):
    // made now. The grids are part of the window; making them changes
    // nothing the player sees.
    if (!gridsBuilt_ && isGridKey(key)) const_cast<Kestrow*>(this)->buildReportGrids();
    return controls_.value(key);
}

QWidget* Kestrow::widget(const QString& key) const { return qobject_cast<QWidget*>(control(key)); }

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
QAction* Kestrow::action(const QString& key) const { return qobject_cast<QAction*>(controls_.value(key)); }

void Kestrow::createControls() {
    QWidget* central = centralWidget();
    for (const ControlSpec& ctl : mainWindowControls()) {
        QWidget* w = nullptr;
        switch (ctl.kind) {
        case ControlKind::Window:
            setObjectName(ctl.key);
            setWindowTitle(ctl.caption);
            controls_.insert(ctl.key, this);
            continue;
        case ControlKind::Label: {
            auto* l = new FigureLabel(displayText(ctl.caption), central);
            l->setTextFormat(Qt::PlainText);
            l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (!ctl.spoken.isEmpty()) l->setProperty("spokenValue", true);
            w = l;
            break;
        }
        case ControlKind::Button: {
            auto* b = new CaptionButton(ctl.caption, central);
            // Enter presses the focused button, as Space does.
            b->setAutoDefault(true);
            w = b;
            break;
        }
        case ControlKind::TextBox: {
            // The text is set once the box has the window's font: a text
            // given to the constructor is shaped in the application's font
            // first, then again in the window's.
            auto* e = new QLineEdit(central);
            e->setText(ctl.caption);
            w = e;
            break;
        }
        case ControlKind::ComboBox: w = new QComboBox(central); break;
        case ControlKind::Grid: continue; // buildReportGrids
        case ControlKind::Chart: {
            auto* chart = new GameChartView(central);
            // Its wheel, drag and keys move the view the game keeps.
            chart->setFocusPolicy(Qt::StrongFocus);
            connect(chart, &GameChartView::viewRequested, this, [this](charts::ViewMove move, int amount) {
                if (depth_ == 0) forward([&] { game_.moveChartView(move, amount); });
            });
            w = chart;
            break;
        }
        case ControlKind::Shape: continue; // made with the area it frames
        default: continue;                 // menus: createMenus
        }
        w->setObjectName(ctl.key);
        if (ctl.kind != ControlKind::Chart && ctl.kind != ControlKind::Grid) retainSpace(w);
        if (!ctl.tooltip.isEmpty()) w->setToolTip(ctl.tooltip);
        controls_.insert(ctl.key, w);
        if (!ctl.labelledBy.isEmpty()) namedBy_[ctl.labelledBy].append(ctl.key);
    }
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

void Kestrow::createMenus() {
    QSet<QString> parents;
    for (const ControlSpec& ctl : mainWindowControls())
        if (!ctl.parent.isEmpty()) parents.insert(ctl.parent);

    for (const ControlSpec& ctl : mainWindowControls()) {
        if (ctl.kind != ControlKind::Menu && ctl.kind != ControlKind::MenuItem && ctl.kind != ControlKind::Separator)
            continue;
        QMenu* holder = ctl.parent.isEmpty() ? nullptr : menus_.value(ctl.parent);
        if (!ctl.parent.isEmpty() && !holder) continue; // the list holds parents first
        QAction* a = nullptr;
        if (ctl.kind == ControlKind::Separator) {
            a = holder->addSeparator();
        } else if (ctl.kind == ControlKind::Menu || parents.contains(ctl.key)) {
            QMenu* m = holder ? holder->addMenu(ctl.caption) : menuBar()->addMenu(ctl.caption);
            m->setObjectName(ctl.key);
            menus_.insert(ctl.key, m);
            a = m->menuAction();
            // A menu entry that opens a submenu is a control of its own: the
            // game hears of it when the submenu opens, and of a top menu
            // opening too (auto-play stops for it).
            const QString name = ctl.name;
            const int index = ctl.index;
            connect(m, &QMenu::aboutToShow, this, [this, name, index] { forward([&] { game_.click(name, index); }); });
        } else {
            a = holder->addAction(ctl.caption);
            const QString name = ctl.name;
            const int index = ctl.index;
            connect(a, &QAction::triggered, this, [this, name, index] { forward([&] { game_.click(name, index); }); });
        }
        a->setObjectName(ctl.key);
        controls_.insert(ctl.key, a);
    }
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
        "shpBegMark", "CurrMarkBanner",
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
        top->addStretch(1);
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

void Kestrow::connectSignals() {
    for (const ControlSpec& ctl : mainWindowControls()) {
        const QString name = ctl.name;
        const int index = ctl.index;
        if (ctl.kind == ControlKind::Button) {
            connect(static_cast<QPushButton*>(widget(ctl.key)), &QPushButton::clicked, this,
                    [this, name, index] { forward([&] { game_.click(name, index); }); });
        }
    }
    auto* combo = static_cast<QComboBox*>(widget(QStringLiteral("cboCommodity")));
    connect(combo, &QComboBox::activated, this,
            [this](int row) { forward([&] { game_.click(QStringLiteral("cboCommodity"), row); }); });
    auto* units = static_cast<QLineEdit*>(widget(QStringLiteral("inputUnits")));
    connect(units, &QLineEdit::textEdited, this,
            [this](const QString& text) { forward([&] { game_.setText(QStringLiteral("inputUnits"), text); }); });
    units->installEventFilter(this);
    centralWidget()->installEventFilter(this);
}

template <typename F> void Kestrow::forward(F&& action) {
    ++depth_;
    action();
    --depth_;
    afterAction();
}

void Kestrow::afterAction() {
    sync();
    if (depth_ > 0) return;
    keepAutoPlayTimer();
    if (game_.ended()) {
        if (!endSignalled_) {
            endSignalled_ = true;
            emit gameEnded(game_.exitCode());
        }
        return;
    }
    // Activation and paint that arrived while the game was busy behind a
    // modal window reach it now, once it is free again.
    if (pendingActivate_) {
        pendingActivate_ = false;
        forward([&] { game_.activate(); });
    } else if (pendingPaint_) {
        pendingPaint_ = false;
        forward([&] { game_.paint(); });
    }
}

void Kestrow::startUp() {
    forward([&] { game_.startUp(); });
}

bool Kestrow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        if (depth_ > 0) pendingActivate_ = true;
        else forward([&] { game_.activate(); });
    }
    return QMainWindow::event(e);
}

void Kestrow::closeEvent(QCloseEvent* e) {
    if (game_.ended()) {
        e->accept();
        return;
    }
    // The game decides: during a game the close box shows the end-of-game
    // window, and the player may still carry on.
    e->ignore();
    if (depth_ == 0) forward([&] { game_.closeMainWindow(); });
}

bool Kestrow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == centralWidget() && e->type() == QEvent::Paint) {
        if (!paintedOnce_) {
            paintedOnce_ = true;
            // Once the paint is done: those told first, then what the
            // paint did not need is made.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    emit firstPainted();
                    buildReportGrids();
                },
                Qt::QueuedConnection);
        }
        schedulePaint();
    } else if (watched == chartArea_ && e->type() == QEvent::Resize) {
        placeReportPanel();
    } else if (watched == widget(QStringLiteral("inputUnits")) && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            forward([&] { game_.keyPress(QStringLiteral("inputUnits"), Key::Enter); });
            return true;
        }
        if (k->key() == Qt::Key_Tab) {
            forward([&] { game_.keyPress(QStringLiteral("inputUnits"), Key::Tab); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void Kestrow::describeCharts() {
    // A chart is a picture to a screen reader; its description says what
    // it shows, and a new one is announced with every period.
    const ControlState& list = game_.model().at(QStringLiteral("cboCommodity"));
    const QString market = list.items.value(list.currentIndex);
    for (const auto& [key, data] :
         {std::pair{"GraphLeft", &game_.charts().left}, {"GraphRight", &game_.charts().right}}) {
        QWidget* w = widget(QString::fromLatin1(key));
        const QString description = describeChart(*data, market);
        if (w->accessibleDescription() == description) continue;
        w->setAccessibleDescription(description);
        if (QAccessible::isActive()) {
            QAccessibleEvent changed(w, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&changed);
        }
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

bool Kestrow::restorePlacement(const QByteArray& saved) {
    if (saved.isEmpty() || !restoreGeometry(saved)) {
        fitToScreen();
        return false;
    }
    // A maximized or full-screen window takes what the desktop gives it.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return true;
    // The file is the player's to edit: a window of 100,000 pixels or of a
    // few is none he left. It is brought within the room of the screen it
    // lands on, and up to what the desk's layout needs.
    const QRect room = availableRoom(this);
    const QMargins frame = expectedFrame(this);
    const QRect placed =
        placedWithin(size().expandedTo(minimumDeskSize()), frame, geometry().marginsAdded(frame), room);
    // A place within the bounds stays exactly as restored.
    if (placed == geometry()) return true;
    resize(placed.size());
    move(placed.topLeft() - QPoint(frame.left(), frame.top()));
    return true;
}

QSize Kestrow::minimumDeskSize() const { return table_->minimumSizeHint() + QSize(0, menuBar()->sizeHint().height()); }

void Kestrow::fitToScreen() {
    // The design's proportions at the size the screen has room for; the
    // charts take what the table does not need, and the table scrolls
    // where the screen is smaller than it.
    const QRect room = availableRoom(this);
    const QMargins frame = expectedFrame(this);
    const QSize design(twipsToPixelsX(kWindowWidthTwips, this), twipsToPixelsY(kWindowHeightTwips, this));
    const QSize size = fittedMainWindowSize(design, minimumDeskSize(), room.marginsRemoved(frame).size());
    const QRect placed = placedWithin(size, frame, QRect(), room);
    resize(placed.size());
    move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

void Kestrow::addDeskShortcuts() {
    // "&Start" gives the menu its letter only while the Game menu is open;
    // Ctrl+N reaches it from anywhere, after Play Again too.
    action(QStringLiteral("mnuNewGame"))->setShortcut(QKeySequence::New);
    // Play and Pause from anywhere on the desk; the menu shows the key.
    action(QLatin1String(keys::kAutoPlayItem))->setShortcut(QKeySequence(Qt::Key_F5));
    autoPlayTimer_ = new QTimer(this);
    connect(autoPlayTimer_, &QTimer::timeout, this, [this] {
        if (depth_ == 0) forward([&] { game_.autoPlayStep(); });
    });
    // The charts' view: + and - zoom, Home brings back the latest periods.
    action(QStringLiteral("mnuChartView_0"))->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    action(QStringLiteral("mnuChartView_1"))->setShortcut(QKeySequence(Qt::Key_Minus));
    action(QStringLiteral("mnuChartView_2"))->setShortcut(QKeySequence(Qt::Key_Home));
    // The window's own key, not a menu item: folding the desk is a layout
    // of the window, and F9 reaches it where the desk hides the button.
    addAction(wideCharts_);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escapeShortcut"));
    connect(escape, &QShortcut::activated, this, &Kestrow::escapePressed);
}

void Kestrow::openStoriesFromHistory() {
    // A story is one cell of the news history, too long to read there:
    // Enter or a double-click on its row opens it whole in the news window.
    // Connected as the grid is made: asking for it sooner would make it
    // before the first paint.
    auto* grid = static_cast<QTableWidget*>(controls_.value(QStringLiteral("newsgrid")));
    connect(grid, &QTableWidget::cellActivated, this, [this, grid](int row, int) {
        const QTableWidgetItem* title = grid->item(row, 3);
        const QTableWidgetItem* story = grid->item(row, 4);
        if (depth_ > 0 || !title || !story) return;
        forward([&] { dialogs_.news(title->text(), story->text(), 4800, true); });
    });
}

void Kestrow::escapePressed() {
    if (depth_ > 0) return;
    // A report over the charts closes as its Close button would; otherwise
    // Escape backs out of the order being entered.
    for (const char* k : {"btnCloseTradeHistory", "btnCloseNewsHist"}) {
        const QWidget* close = widget(QString::fromLatin1(k));
        if (close->isVisible() && close->isEnabled()) {
            const QString name = QString::fromLatin1(k);
            forward([&] { game_.click(name); });
            return;
        }
    }
    forward([&] { game_.keyPress(QStringLiteral("Kestrow"), Key::Escape); });
}

void Kestrow::keepAutoPlayTimer() {
    const AutoPlay& a = game_.autoPlay();
    if (!a.running() || game_.ended()) return autoPlayTimer_->stop();
    // At the fastest pace the next press waits only for the events queued
    // before it: the paint of this period and the player's input.
    if (!autoPlayTimer_->isActive() || autoPlayTimer_->interval() != a.intervalMs())
        autoPlayTimer_->start(a.intervalMs());
}

void Kestrow::schedulePaint() {
    // The game hears of a repaint after it, never from inside one: what it
    // changes is drawn by the next paint.
    if (paintScheduled_) return;
    paintScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        paintScheduled_ = false;
        if (depth_ > 0) {
            pendingPaint_ = true;
            return;
        }
        forward([&] { game_.paint(); });
    });
}

void Kestrow::placeReportPanel() {
    if (!chartArea_ || !reportPanel_) return;
    // Just inside the area's frame: the trade report needs the width.
    reportPanel_->setGeometry(chartArea_->rect().adjusted(3, 3, -3, -3));
    reportPanel_->raise();
}

void Kestrow::applyScheme(Scheme scheme) {
    schemeApplied_ = true;
    dialogs_.colors().apply(scheme, this);
    // Quote-name labels marked by the game keep their mark in the new colours.
    for (const QString& k : ColorTable::quoteNameLabels())
        if (applied_.value(k).checked) dialogs_.colors().setHighlighted(widget(k), true);
}

void Kestrow::sync() {
    const PresentationModel& model = game_.model();
    if (model.revision() == appliedRevision_) return;
    appliedRevision_ = model.revision();
    QWidget* focused = focusWidget();
    const quint32 offered = offeredControls();
    for (const auto& [key, ctl] : shown_) {
        if (!model.has(key)) continue;
        const ControlState& st = model.at(key);
        const auto it = applied_.constFind(key);
        if (it != applied_.constEnd() && *it == st) continue;
        const ControlState before = it != applied_.constEnd() ? *it : ControlState{};
        applyOne(*ctl, st, it != applied_.constEnd() ? &before : nullptr);
        applied_.insert(key, st);
        // The values and boxes a caption names are read with its new text.
        for (const QString& k : namedBy_.value(key))
            if (QWidget* w = widget(k)) w->setAccessibleName(pellucar::accessibleName(*findControl(k), model));
    }
    shareAccessKeys();
    // The charts draw what the game composed; an unchanged chart costs nothing.
    static_cast<GameChartView*>(widget(QStringLiteral("GraphLeft")))->setChartData(game_.charts().left);
    static_cast<GameChartView*>(widget(QStringLiteral("GraphRight")))->setChartData(game_.charts().right);
    describeCharts();
    // The report area is up while any of its parts is.
    bool report = false;
    for (const char* k : {"newsgrid", "TradeGrid", "LabelNH", "LabelTH", "btnCloseNewsHist", "btnCloseTradeHistory"})
        if (const QWidget* w = qobject_cast<QWidget*>(controls_.value(QString::fromLatin1(k))))
            report = report || !w->isHidden();
    if (report != !reportPanel_->isHidden()) {
        placeReportPanel();
        reportPanel_->setVisible(report);
    }
    keepKeyboard(focused, offered);
}

void Kestrow::shareAccessKeys() {
    // Captions claim some letters twice ("&Oil" and the menu "&Options",
    // "&Gold" and "&Game", "&Hold" and "&Help"). While such a button is
    // offered it has the key; the menu title shows no access key meanwhile
    // and opens with it again once the button is gone.
    QSet<QChar> taken;
    for (const ControlSpec& ctl : mainWindowControls()) {
        if (ctl.kind != ControlKind::Button) continue;
        const QWidget* b = widget(ctl.key);
        if (b->isVisibleTo(this) && b->isEnabledTo(this)) taken.insert(accessKey(applied_.value(ctl.key).text));
    }
    for (const ControlSpec& ctl : mainWindowControls()) {
        if (ctl.kind != ControlKind::Menu) continue;
        const QString caption = applied_.value(ctl.key).text;
        const QChar key = accessKey(caption);
        const QString shown =
            !key.isNull() && taken.contains(key) ? QString(caption).remove(QLatin1Char('&')) : caption;
        QAction* a = action(ctl.key);
        if (a->text() != shown) a->setText(shown);
    }
}

quint32 Kestrow::offeredControls() const {
    quint32 offered = 0;
    const QStringList& order = keyboardOrder();
    for (qsizetype i = 0; i < order.size(); ++i) {
        const QWidget* w = widget(order.at(i));
        if (w->isVisible() && w->isEnabled()) offered |= 1u << i;
    }
    return offered;
}

void Kestrow::keepKeyboard(QWidget* focused, quint32 offeredBefore) {
    const QStringList& order = keyboardOrder();
    if (!isVisible()) return;
    const bool onGameControl =
        focused && order.contains(focused->objectName()) && widget(focused->objectName()) == focused;
    if (!onGameControl) {
        // The keyboard resting elsewhere (the chart list, nowhere yet) goes
        // to a control the game starts to offer: Forward when a game begins.
        const quint32 fresh = offeredControls() & ~offeredBefore;
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (fresh & (1u << i)) {
                widget(order.at(i))->setFocus();
                return;
            }
        }
        return;
    }
    // When the game hides or disables the control that has the keyboard,
    // the keyboard goes to the first control the game offers next (Enter
    // Order after the units, Buy after the market, the close button of a
    // report), not on to whatever follows in the window, such as a chart.
    if (focused->isVisible() && focused->isEnabled()) return;
    for (const QString& k : order) {
        QWidget* w = widget(k);
        if (w->isVisible() && w->isEnabled()) {
            w->setFocus();
            return;
        }
    }
}

void Kestrow::applyOne(const ControlSpec& ctl, const ControlState& st, const ControlState* before) {
    QObject* o = controls_.value(ctl.key);
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (ctl.kind != ControlKind::Separator) a->setText(st.text);
        a->setVisible(st.visible);
        a->setEnabled(st.enabled);
        // Only a marked item shows a mark; an unmarked one stays plain.
        a->setCheckable(st.checked);
        a->setChecked(st.checked);
        return;
    }
    if (ctl.kind == ControlKind::Window) {
        setWindowTitle(st.text);
        centralWidget()->setEnabled(st.enabled);
        menuBar()->setEnabled(st.enabled);
        return;
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    const bool wasShown = before ? before->visible && before->enabled : false;
    switch (ctl.kind) {
    case ControlKind::Label: {
        auto* l = static_cast<QLabel*>(w);
        l->setText(displayText(st.text));
        if (ColorTable::labelGroup(ctl.key) == LabelGroup::QuoteName &&
            (before ? before->checked : false) != st.checked)
            dialogs_.colors().setHighlighted(l, st.checked);
        break;
    }
    case ControlKind::Button: {
        auto* b = static_cast<QPushButton*>(w);
        b->setText(st.text);
        b->setCheckable(st.checked);
        b->setChecked(st.checked);
        break;
    }
    case ControlKind::TextBox: {
        auto* e = static_cast<QLineEdit*>(w);
        if (e->text() != st.text) e->setText(st.text);
        break;
    }
    case ControlKind::ComboBox: {
        auto* c = static_cast<QComboBox*>(w);
        const QSignalBlocker block(c);
        QStringList now;
        for (int i = 0; i < c->count(); ++i) now << c->itemText(i);
        if (now != st.items) {
            c->clear();
            c->addItems(st.items);
        }
        c->setCurrentIndex(st.currentIndex);
        break;
    }
    case ControlKind::Grid:
        if (!before || before->grid != st.grid) fillGrid(ctl.key, st.grid);
        // A report opens at its start, wherever it was left.
        if (st.visible && !(before && before->visible)) {
            static_cast<QTableWidget*>(w)->scrollToTop();
            static_cast<QTableWidget*>(w)->horizontalScrollBar()->setValue(0);
        }
        break;
    case ControlKind::Chart: static_cast<GameChartView*>(w)->setState(st); break;
    default: break;
    }
    // Each of these tells the accessibility layer even of the same text.
    if (w->toolTip() != st.tooltip) w->setToolTip(st.tooltip);
    if (w->accessibleDescription() != st.tooltip) w->setAccessibleDescription(st.tooltip);
    const QString name = pellucar::accessibleName(ctl, game_.model());
    if (w->accessibleName() != name) w->setAccessibleName(name);
    if (ctl.kind == ControlKind::Label && !ctl.spoken.isEmpty() && QAccessible::isActive() &&
        (!before || before->text != st.text)) {
        QAccessibleValueChangeEvent changed(w, st.text);
        QAccessible::updateAccessibility(&changed);
        // The Linux bus hears of a changed figure as changed text.
        QAccessibleTextUpdateEvent updated(w, 0, before ? displayText(before->text) : QString(), displayText(st.text));
        QAccessible::updateAccessibility(&updated);
    }
    w->setEnabled(st.enabled);
    w->setVisible(st.visible);
    // The units box takes the entry as soon as the game offers it.
    if (ctl.kind == ControlKind::TextBox && st.visible && st.enabled && !wasShown && isVisible()) w->setFocus();
}

void Kestrow::fillGrid(const QString& key, const ReportGrid& grid) {
    auto* t = static_cast<QTableWidget*>(widget(key));
    t->clearSpans();
    t->clear();
    const QStringList& header = grid.header;
    const int columns = static_cast<int>(header.size());
    t->setColumnCount(columns);
    // The blanks that pad a heading ("Transaction        ") show nothing but
    // would push its words out of a column as wide as they are.
    QStringList headings;
    for (const QString& h : header) headings << h.trimmed();
    t->setHorizontalHeaderLabels(headings);
    t->setRowCount(static_cast<int>(grid.rows.size()));
    const QFontMetrics fm(t->font());
    // Room around a cell's text; the trade report keeps it narrow, so that
    // all its columns fit beside the table.
    const int pad = key == QLatin1String("newsgrid") ? fm.horizontalAdvance(QLatin1Char('0')) * 2
                                                     : fm.horizontalAdvance(QLatin1Char('0')) + 2;
    auto cellText = [](const QString& text) { return displayText(text).replace(QLatin1Char('\n'), QLatin1Char(' ')); };
    // A heading needs its words and the header's own margins, as the
    // header measures them.
    auto headingWidth = [t](int c) { return t->horizontalHeader()->sectionSizeHint(c); };

    if (key == QLatin1String("newsgrid")) {
        // Each column is as wide as its heading and its entries, except the
        // title and the story: they share the rest of the row and a longer
        // text ends in an ellipsis, so the grid never scrolls sideways on
        // any screen. Enter or a double-click opens a story whole.
        t->setTextElideMode(Qt::ElideRight);
        QList<int> widths;
        for (int c = 0; c < columns; ++c) widths << headingWidth(c);
        auto flexible = [columns](int c) { return c == 3 || c == columns - 1; };
        for (int r = 0; r < grid.rows.size(); ++r) {
            const QStringList& cells = grid.rows.at(r).cells;
            for (int c = 0; c < cells.size() && c < columns; ++c) {
                const QString text = cellText(cells.at(c));
                t->setItem(r, c, new QTableWidgetItem(text));
                if (!flexible(c)) widths[c] = qMax(widths[c], fm.horizontalAdvance(text) + pad);
            }
        }
        for (int c = 0; c < columns; ++c) {
            t->horizontalHeader()->setSectionResizeMode(c,
                                                        flexible(c) ? QHeaderView::Stretch : QHeaderView::Interactive);
            if (!flexible(c)) t->setColumnWidth(c, widths.at(c));
        }
        return;
    }
    // Rules run on to the grid's edge; no other cell is cut.
    t->setTextElideMode(Qt::ElideNone);

    // The trade report is wider than the chart area, so its columns are only
    // as wide as the headings and the entries need. A rule is drawn across
    // the grid, and a text row's texts take the room of the empty cells
    // beside them, as on a worksheet: the cells after a text, or those before
    // it (the text then ends where its own cell ends, next to what follows).
    struct Span {
        int row, first, count;
        QString text;
    };
    QList<Span> spans;
    QList<int> rules;
    QList<int> widths;
    // A column is as wide as its heading's words, so the report fits beside
    // the table.
    for (int c = 0; c < columns; ++c) widths << headingWidth(c);
    for (int r = 0; r < grid.rows.size() && columns > 0; ++r) {
        const ReportRow& row = grid.rows.at(r);
        QStringList cells = row.cells.mid(0, columns);
        while (cells.size() < columns) cells << QString();
        for (QString& c : cells) c = cellText(c);
        switch (row.kind) {
        case ReportRow::Kind::Rule:
            t->setItem(r, 0, new QTableWidgetItem(cells.at(0)));
            t->setSpan(r, 0, 1, columns);
            rules << r;
            continue;
        case ReportRow::Kind::Entry:
            for (int c = 0; c < columns; ++c) {
                t->setItem(r, c, new QTableWidgetItem(cells.at(c)));
                widths[c] = qMax(widths[c], fm.horizontalAdvance(cells.at(c)) + pad);
            }
            continue;
        case ReportRow::Kind::Text: break;
        }
        int firstText = 0;
        while (firstText < columns && cells.at(firstText).isEmpty()) ++firstText;
        for (int c = firstText; c < columns;) {
            int next = c + 1;
            while (next < columns && cells.at(next).isEmpty()) ++next;
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c == firstText && firstText > 0 && next == c + 1) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                t->setItem(r, 0, item);
                spans << Span{r, 0, c + 1, cells.at(c)};
            } else {
                t->setItem(r, c, item);
                if (next > c + 1) spans << Span{r, c, next - c, cells.at(c)};
                else widths[c] = qMax(widths[c], fm.horizontalAdvance(cells.at(c)) + pad);
            }
            c = next;
        }
    }
    // A spanning text wider than its columns widens the last of them.
    int total = 0;
    for (const Span& sp : spans) {
        int room = 0;
        for (int c = sp.first; c < sp.first + sp.count; ++c) room += widths.at(c);
        const int need = fm.horizontalAdvance(sp.text) + pad;
        if (need > room) widths[sp.first + sp.count - 1] += need - room;
    }
    for (int c = 0; c < columns; ++c) {
        t->setColumnWidth(c, widths.at(c));
        total += widths.at(c);
    }
    for (const Span& sp : spans) t->setSpan(sp.row, sp.first, 1, sp.count);
    for (int r : rules) {
        // Long enough to run the whole width; the cell clips it.
        QTableWidgetItem* item = t->item(r, 0);
        const QString unit = item->text();
        QString rule = unit;
        while (!unit.isEmpty() && fm.horizontalAdvance(rule) < total + t->width()) rule += unit;
        item->setText(rule);
    }
}

} // namespace pellucar::ui
