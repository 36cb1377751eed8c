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
#include <QToolTip>
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

bool isGridKey(const QString& key) {
    return key == QLatin1String(keys::kNewsGrid) || key == QLatin1String(keys::kTradeGrid);
}

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
            connect(chart, &GameChartView::orderLineMoved, this, &Kestrow::orderLineMoved);
            // Lines drawn on it; a refused one is told where it was drawn.
            connect(chart, &GameChartView::lineDrawn, this, [this, chart](const charts::Drawing& line) {
                QString why;
                if (depth_ == 0) forward([&] { why = game_.drawOnChart(line); });
                if (!why.isEmpty()) QToolTip::showText(chart->mapToGlobal(QPoint(4, 4)), why, chart);
            });
            connect(chart, &GameChartView::drawCancelled, this, [this] {
                if (depth_ == 0) forward([&] { game_.cancelDrawing(); });
            });
            connect(chart, &GameChartView::lastDrawingRemoved, this, [this] {
                if (depth_ == 0) forward([&] { game_.removeDrawing(-1); });
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
            // A trade's note is on the trade chosen in Trade History, or the last one.
            const bool note = name == QLatin1String("mnuTradeNote");
            connect(a, &QAction::triggered, this,
                    [this, name, index, note] { forward([&] { game_.click(name, note ? chosenTrade() : index); }); });
        }
        a->setObjectName(ctl.key);
        controls_.insert(ctl.key, a);
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
    // A market of the strip is charted as if chosen in the combo box.
    connect(strip_, &MarketStripView::marketChosen, this,
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

// Defined beside forward(), which it runs the decision through.
QString Kestrow::orderDecision(const std::function<QString(Game&)>& decision) {
    if (depth_ > 0) return QStringLiteral("the game is busy");
    QString refusal;
    forward([&] { refusal = decision(game_); });
    return refusal;
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
    // Ctrl+1 to Ctrl+6 chart the strip's markets, in its order.
    for (int i = 0; i < kMarketCount; ++i) {
        auto* key = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)), this);
        connect(key, &QShortcut::activated, this,
                [this, i] { forward([&] { game_.click(QStringLiteral("cboCommodity"), i); }); });
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escapeShortcut"));
    connect(escape, &QShortcut::activated, this, &Kestrow::escapePressed);
    addOrderWindows();
}

void Kestrow::openStoriesFromHistory() {
    // A story is one cell of the news history, too long to read there:
    // Enter or a double-click on its row opens it whole in the news window.
    // Connected as the grid is made: asking for it sooner would make it
    // before the first paint.
    auto* grid = static_cast<QTableWidget*>(controls_.value(QLatin1String(keys::kNewsGrid)));
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

} // namespace pellucar::ui
