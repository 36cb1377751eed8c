#pragma once
#include <QFont>
#include <QString>

class QPaintDevice;
class QWidget;

namespace pellucar::ui {

// The game's geometry is in twips (1/1440 inch); screens differ in their
// logical dots per inch, so every size goes through the device's DPI.
int twipsToPixelsX(int twips, const QPaintDevice* device);
int twipsToPixelsY(int twips, const QPaintDevice* device);
int pixelsToTwipsX(int pixels, const QPaintDevice* device);

// The window font of the tables (a sans serif in place of MS Sans Serif)
// and the bold title font (in place of Tahoma). The family is chosen at the
// first call, which needs the application object.
QFont windowFont();
QFont titleFont();

// Width in twips of the widest line of a text in a widget's font.
int textWidthTwips(const QWidget* widget, const QString& text);

// Multi-line texts of the game use CR LF; widgets want plain LF.
QString displayText(const QString& text);

} // namespace pellucar::ui
