#pragma once
#include <QList>
#include <QString>

namespace pellucar {

class PresentationModel;

enum class ControlKind { Window, Label, Button, TextBox, ComboBox, Grid, Chart, Shape, Menu, MenuItem, Separator };

// One control of the main window as designed: its model key, kind, design
// caption, and for menu items the key of the menu that holds it.
struct ControlSpec {
    QString key;     // object name, "_index" appended for control arrays
    QString name;    // object name without the index
    int index = -1;  // control-array index, -1 when not an array
    ControlKind kind = ControlKind::Label;
    QString caption; // design caption, with '&' access keys
    QString parent;  // menus: the key of the parent menu ("" = menu bar)
    bool checked = false;
    QString tooltip; // design-time tooltip
};

// Every control and menu item of the main window, in design order (menus in
// their tree order, parents before children).
const QList<ControlSpec>& mainWindowControls();
const ControlSpec* findControl(const QString& key);

// Fills the model with the design state of every control.
void applyDesignState(PresentationModel& model);

} // namespace pellucar
