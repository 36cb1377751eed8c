#pragma once
#include "app/view/presentation_model.h"
#include "charts/chart_data.h"
#include "ui/color_scheme.h"

#include <QHash>
#include <QMap>
#include <QStringList>
#include <QWidget>
#include <QtCharts/QChartView>

#include <array>
#include <memory>

class QCandlestickSeries;
class QMouseEvent;
class QGraphicsLineItem;
class QGraphicsPathItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QCategoryAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QXYSeries;

namespace pellucar::ui {

class ChartDrawingLayer;

// The Qt Charts drawing of one price chart. It draws a ChartData as it is:
// candles or lines, the trades as markers, the y axis the data give and the
// point labels along x, thinned so they never overlap. Hovering a point
// shows its hover text. Nothing is computed here beyond where things go on
// screen.
class ChartCanvas : public QChartView {
    Q_OBJECT
public:
    explicit ChartCanvas(QWidget* parent = nullptr);
    ~ChartCanvas() override;

    // The control's text in the presentation model is the chart's title.
    void setState(const ControlState& state);
    // Draws new contents; the same contents again change nothing, and
    // contents of the same shape reuse the series already drawn.
    void setChartData(const charts::ChartData& data);
    const charts::ChartData& chartData() const { return data_; }
    void setColors(const ChartColors& colors);
    const ChartColors& colors() const { return colors_; }

    // Series on the chart: candles, the pieces of each line and the four
    // trade-marker sets (not the empty one that carries the axes).
    int seriesCount() const;
    // How often the series were built anew (not merely refilled).
    int rebuildCount() const { return rebuilds_; }
    // The point under a position of the viewport, or -1.
    int pointAt(const QPoint& viewportPos) const;
    // The hover text there (empty off the points).
    QString toolTipAt(const QPoint& viewportPos) const;
    // Where a point's x lies in the viewport (for tests and hover).
    QPoint viewportPosOf(int pointIndex, double value) const;
    // The x-axis texts shown now, by point index.
    QMap<int, QString> shownXLabels() const { return shownLabels_; }
    // The y-axis texts shown now.
    QStringList yAxisLabels() const;

    // Lays the chart and its key out now where anything asked for it;
    // false when nothing was waiting.
    bool layOutNow();

    // Extra room left of the plot, so two charts' plot areas line up.
    void setExtraLeft(double px);
    double naturalPlotLeft() const;
    // Where the plot must start for the axis labels.
    double neededPlotLeft() const;
    // The room right of the plot this chart needs (its last label, the last
    // price's tag), and the room it is given: the larger of its own and its
    // partner's.
    double ownRightRoom();
    void setRightRoom(double px);

    // Where the marks drawn over the chart stand, in scene coordinates
    // (empty when not shown).
    QRectF positionLabelRect() const;
    QRectF lastPriceTagRect() const;
    QList<QRectF> storyMarkRects() const;
    // Their texts: "News", or "News 3" for three stories too close for a
    // box each.
    QStringList storyMarkTexts() const;
    // The bars drawn over a bar chart.
    int drawnBars() const { return bars_; }
    // The working order whose line passes within a few pixels of a viewport
    // position, or 0; where each order's label stands (scene coordinates).
    int orderLineAt(const QPoint& viewportPos) const;
    QList<QRectF> orderLabelRects() const;

    // The crosshair at a viewport position (hidden off the plot); its tags.
    void showCrosshair(const QPoint& viewportPos);
    void hideCrosshair();
    QString crosshairXText() const;
    QString crosshairYText() const;

    // Drawing (chart_drawings.cpp): in a draw mode the mouse and the keys
    // place points, a horizontal line's one or a trend line's two. The
    // period and price under a viewport position; the player's lines shown
    // (scene coordinates, before the plot clips them); a key the drawing
    // takes (false: not its key now).
    std::optional<charts::DrawingPoint> drawingPointAt(const QPoint& viewportPos) const;
    QList<QLineF> drawnLines() const;
    bool takesDrawKey(int key) const;
    bool drawKey(int key);

signals:
    // The player asks to see other rows: scrolled by a number of rows
    // (negative: back), zoomed by steps (positive: closer).
    void viewRequested(pellucar::charts::ViewMove move, int amount);
    void plotAreaMoved();
    // A working order's line was dragged and let go at `price` (as the
    // mouse reads it, not yet on the market's grid).
    void orderLineMoved(int id, double price);
    // A line drawn; the draw mode given up (Escape); Delete on the chart.
    void lineDrawn(const pellucar::charts::Drawing& line);
    void drawCancelled();
    void lastDrawingRemoved();

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The parts of a chart whose number or kind decides which series exist.
    struct Shape {
        charts::ChartData::Style style = charts::ChartData::Style::Line;
        QList<charts::ChartLine::Kind> segments;
        bool operator==(const Shape&) const = default;
    };
    struct Segment {
        charts::ChartLine::Kind kind;
        QString name;
        QList<QPointF> points;
    };
    QList<Segment> segmentsOf(const charts::ChartData& data) const;
    Shape shapeOf(const QList<Segment>& segments, const charts::ChartData& data) const;

    // What the axes were last set to, so a redraw that keeps them touches
    // nothing (each change of an axis lays the whole chart out again).
    struct AxisState {
        bool axes = false;
        bool percent = false;
        int xSlots = 0;
        double candleBase = 0;
        double yMin = 0, yMax = 0;
        QList<double> yTicks;
        QStringList yLabels;
        int rightMargin = 0;
        int leftMargin = 0;
        bool operator==(const AxisState&) const = default;
    };

    void rebuild(const QList<Segment>& segments);
    void refill(const QList<Segment>& segments, const charts::ChartData& before);
    void fillCandles(const charts::ChartData* before);
    bool moveCandles(const charts::ChartData& before);
    void fillMarkers();
    void updateAxes();
    void updateXLabels();
    bool placeXLabels();
    void restyle();
    void updateLegend();
    void placeOverlays();
    void placeDrawings();
    void placeDrawPoint(const charts::DrawingPoint& p);
    // A mouse event in a draw mode, taken whole (false: no draw mode).
    bool drawMouse(QMouseEvent* event);
    QPointF positionLabelPlace(const QSizeF& size, double lineY) const;
    // A small boxed text on an axis, made on first use.
    QGraphicsSimpleTextItem* tag(QGraphicsRectItem*& box, const QString& text, const QColor& ink, const QColor& back);
    double labelWidth(const QString& text);
    double widestLabel();
    double widestOf(const QStringList& texts);

    charts::ChartData data_;
    QString title_;
    ChartColors colors_;
    Shape shape_;
    bool built_ = false;
    int rebuilds_ = 0;

    QCategoryAxis* x_ = nullptr;     // the point labels; moves on with the chart
    QValueAxis* candleX_ = nullptr;  // candles need a plain value axis; hidden, same range
    QValueAxis* slotX_ = nullptr;    // the lines and markers by point index; hidden, fixed
    QCategoryAxis* y_ = nullptr;     // labelled at the data's ticks
    QLineSeries* carrier_ = nullptr; // holds the axes even with nothing to draw
    QCandlestickSeries* candles_ = nullptr;
    QList<QLineSeries*> lines_;
    QList<charts::ChartLine::Kind> lineKinds_;
    // Buys, sells, and the margin call's buys and sells.
    std::array<QScatterSeries*, 4> markers_{};
    // The candles stand at x = candleBase_ + point index on their own hidden
    // axis, so when the chart moves on by a day the candles still shown keep
    // their sets and only the axis moves (a set made anew costs far more).
    double candleBase_ = 0;
    // The label axis likewise counts the days gone since the chart was
    // built, so its range moves on by a day each press.
    double labelBase_ = 0;
    double placedBase_ = 0; // the label base the labels on the axis stand for
    AxisState axisState_;
    bool axisSet_ = false;
    bool movingOn_ = false; // while new contents move the chart on by some days, nothing else
    QMap<int, QString> shownLabels_;
    // Label widths by text: a moving chart shows mostly the texts it showed.
    QHash<QString, double> labelWidths_;
    double widest_ = -1; // of the current points' labels; -1 until measured

    double extraLeft_ = 0;
    double rightRoom_ = 0;
    // Drawn over the chart: the crosshair and its tags, the last price's
    // tag, the open position's line and label, the story marks.
    QGraphicsLineItem* crossX_ = nullptr;
    QGraphicsLineItem* crossY_ = nullptr;
    QGraphicsRectItem* xTag_ = nullptr;
    QGraphicsRectItem* yTag_ = nullptr;
    QGraphicsRectItem* lastTag_ = nullptr;
    QGraphicsLineItem* positionLine_ = nullptr;
    QGraphicsRectItem* positionTag_ = nullptr;
    QList<QGraphicsRectItem*> storyMarks_;
    // The working orders' lines and their labels, one pair per order drawn.
    QList<QGraphicsLineItem*> orderLines_;
    QList<QGraphicsRectItem*> orderTags_;
    // The bars of a bar chart, rising and falling, and how many are drawn.
    std::array<QGraphicsPathItem*, 2> barItems_{};
    int bars_ = 0;
    QLineSeries* barsKey_ = nullptr;
    QList<QGraphicsLineItem*> storyLines_;
    QGraphicsSimpleTextItem* note_ = nullptr;
    QPoint crossAt_{-1, -1};
    QString crossXText_, crossYText_;
    // A drag moves the view by whole rows; the rest carries on.
    bool dragging_ = false;
    double dragX_ = 0;
    // An order's line held by the mouse (its index among data_.orders), or -1.
    int heldOrder_ = -1;
    // The player's lines; a trend line's first point, once placed; where
    // the mouse or the keys stand in a draw mode.
    std::unique_ptr<ChartDrawingLayer> drawings_; // its items belong to the scene
    std::optional<charts::DrawingPoint> anchor_, drawAt_;
};

// One of the two price charts of the main window. Until a chart has more
// than its title to show (no game has reached its first period) it paints
// the empty chart itself, as the drawing would look, and the Qt Charts
// drawing, costly to set up, is made the first time there is something to
// draw. The main window and the colour schemes talk to this pane only.
class GameChartView : public QWidget {
    Q_OBJECT
public:
    explicit GameChartView(QWidget* parent = nullptr);

    void setState(const ControlState& state);
    // A hidden pane keeps the last contents it is given and draws them when
    // it is shown again.
    void setChartData(const charts::ChartData& data);
    const charts::ChartData& chartData() const { return data_; }
    void setColors(const ChartColors& colors);
    const ChartColors& colors() const { return colors_; }

    // The drawing, or null while the pane paints the empty chart itself.
    ChartCanvas* canvas() const { return canvas_; }
    QChart* chart() const { return canvas_ ? canvas_->chart() : nullptr; }
    int seriesCount() const { return canvas_ ? canvas_->seriesCount() : 0; }
    int rebuildCount() const { return canvas_ ? canvas_->rebuildCount() : 0; }
    int pointAt(const QPoint& viewportPos) const { return canvas_ ? canvas_->pointAt(viewportPos) : -1; }
    QString toolTipAt(const QPoint& viewportPos) const;
    QPoint viewportPosOf(int pointIndex, double value) const;
    QMap<int, QString> shownXLabels() const;
    // Two panes whose plot areas stand at the same x.
    static void alignPlots(GameChartView* a, GameChartView* b);
    // Lays this pane and its partner out until they agree, before the
    // next paint: a layout left to its queued request would come after the
    // paint and paint both charts again.
    void settleLayouts();

    QSize sizeHint() const override;

signals:
    // The wheel, a drag and the keys: Left and Right a row, Page Up and Page
    // Down the rows shown, + and - zoom, Home the latest rows.
    void viewRequested(pellucar::charts::ViewMove move, int amount);
    void orderLineMoved(int id, double price);
    void lineDrawn(const pellucar::charts::Drawing& line);
    void drawCancelled();
    void lastDrawingRemoved();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void makeCanvas();
    void alignWithPartner();

    charts::ChartData data_;
    QString title_;
    ChartColors colors_;
    ChartCanvas* canvas_ = nullptr;
    // Contents given while hidden, drawn when the pane is shown again.
    bool drawnOnShow_ = false;
    GameChartView* partner_ = nullptr;
    int alignRounds_ = 0; // since the contents or the size last changed
};

// How the drawing marks a trade (as the chart scales the image down), draws
// a line of a kind, and the open position's line.
QImage tradeMarkImage(bool buy, bool marginCall, const ChartColors& colors);
QPen chartLinePen(charts::ChartLine::Kind kind, const ChartColors& colors);
QPen positionPen(bool isLong, const ChartColors& colors);

// Recolours a chart view (no-op for anything else).
void applyChartColors(QWidget* chartView, const ChartColors& colors);

} // namespace pellucar::ui
