#pragma once
#include "charts/market_strip.h"
#include "ui/color_scheme.h"

#include <QFont>
#include <QList>
#include <QWidget>

namespace pellucar::ui {

// The six markets at a glance above the charts: each market's name, last
// price and change, and its closes over the price chart's rows as a small
// line. Painted directly, without the chart machinery: it changes at every
// press. A click on a market, or Ctrl+1..Ctrl+6 in the window, asks for it
// to be charted; the game decides (the market combo box's choice).
class MarketStripView : public QWidget {
    Q_OBJECT
public:
    explicit MarketStripView(QWidget* parent = nullptr);

    // The same glances again change and paint nothing.
    void setGlances(const QList<charts::MarketGlance>& glances);
    const QList<charts::MarketGlance>& glances() const { return glances_; }
    void setColors(const ChartColors& colors);

    // Where market `i` (0..5, the combo box's order) stands, and how many
    // times the strip has painted.
    QRect cellRect(int i) const;
    int paintCount() const { return paints_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    // The player asks to chart the market at combo box index `index`.
    void marketChosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The cells stand in one row where they fit at their least width, else
    // in two rows of three.
    int columnsFor(int width) const;
    int cellHeight() const;
    int leastCellWidth() const;
    void refreshTips();

    QList<charts::MarketGlance> glances_;
    ChartColors colors_;
    int paints_ = 0;
    // The layouts ask for the least width dozens of times while the window
    // comes up: measured again only in a new font.
    mutable QFont measuredFont_;
    mutable int leastWidth_ = -1; // -1 until measured
};

} // namespace pellucar::ui
