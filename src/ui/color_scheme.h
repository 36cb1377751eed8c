#pragma once
#include <QColor>
#include <QList>
#include <QString>

class QWidget;

namespace pellucar::ui {

// The screen colour schemes of the main window. Design is the look before
// the player has chosen any scheme.
enum class Scheme { Design, Black, Gray, Monochrome };

// The named colours the schemes are built from.
namespace rgb {
inline QColor black() { return QColor(0, 0, 0); }
inline QColor white() { return QColor(255, 255, 255); }
inline QColor lightGray() { return QColor(192, 192, 192); }
inline QColor yellow() { return QColor(255, 255, 0); }
inline QColor cyan() { return QColor(0, 255, 255); }
inline QColor blue() { return QColor(0, 0, 255); }
inline QColor green() { return QColor(0, 255, 0); }
inline QColor red() { return QColor(255, 0, 0); }
inline QColor darkRed() { return QColor(128, 0, 0); }
} // namespace rgb

// The contrast of two colours as WCAG 2 measures it, from 1:1 to 21:1, from
// their relative luminance. Text should reach 4.5:1 on its background.
double contrastRatio(const QColor& a, const QColor& b);

// Text on background; an invalid colour leaves the widget's own look.
struct TextColors {
    QColor text;
    QColor back;
    bool operator==(const TextColors&) const = default;
};

// How a chart is drawn in a scheme. Every line and marker colour must stand
// out from the background; where a scheme has a single ink (monochrome) the
// lines are told apart by their dashes and the trades by their shapes.
struct ChartColors {
    QColor back;
    QColor text;       // title, axis labels and axis lines
    QColor series;     // the prices: candles, the close line, the first indicator
    QColor average;    // the moving average and the second indicator
    QColor statistics; // mean and min-max lines
    QColor buy, sell;
    QColor marginCall; // the mandatory trades of a margin call
    bool singleInk = false;
    // Candle bodies of a rising and a falling period (in one ink: hollow and
    // filled), and the crosshair, tags and position line.
    QColor rising, falling;
    bool operator==(const ChartColors&) const = default;
};

// The label groups that share colours in every scheme.
enum class LabelGroup { None, Caption, Value, Quote, Position, PositionName, QuoteName, Title };

// The colour tables: pure data, one row per group and scheme.
class ColorTable {
public:
    static LabelGroup labelGroup(const QString& key);
    static TextColors label(Scheme scheme, LabelGroup group, bool highlighted = false);
    static QColor shapeBorder(Scheme scheme, const QString& shapeKey);
    static QColor windowBackground(Scheme scheme);
    static TextColors button(Scheme scheme);
    static TextColors input(Scheme scheme);
    static TextColors grid(Scheme scheme);
    static ChartColors chart(Scheme scheme, const QString& chartKey);
    // Other windows: their captions and their value texts.
    static TextColors dialog(Scheme scheme);
    static TextColors dialogValue(Scheme scheme);

    // The market-name labels of the quote column carry their highlight in
    // their colours alone: cyan or yellow means highlighted; light gray is
    // the gray scheme's normal background, except on a white window (the
    // monochrome scheme), where it is the highlight.
    static bool isHighlighted(const QColor& labelBack, const QColor& windowBack);

    static const QStringList& quoteNameLabels();
};

// Applies the schemes to widgets. The scheme in force is what the widgets
// carry; the object only remembers the last choice for windows that open
// later.
class ScreenColors {
public:
    Scheme scheme() const { return scheme_; }

    // The whole main window: labels by group (the quote-column names keep
    // their highlight), frames, the window background, then applyShared.
    void apply(Scheme scheme, QWidget* mainWindow);
    // Buttons, inputUnits, cboCommodity, the grids and the charts.
    void applyShared(QWidget* mainWindow) const;
    // One of the other windows (news, notification, summaries...).
    void applyToDialog(QWidget* dialog) const;
    // Marks one quote-column market name in the current scheme.
    void setHighlighted(QWidget* label, bool highlighted) const;

    static void setTextColors(QWidget* widget, const TextColors& colors);
    // Every scroll bar and progress bar under `root` in the desktop's
    // colours under a scheme (the window's own again in the design colours).
    static void keepBarsVisible(QWidget* root, Scheme scheme);
    // What the widget shows as text and background right now.
    static TextColors colorsOf(const QWidget* widget);

private:
    Scheme scheme_ = Scheme::Design;
};

} // namespace pellucar::ui
