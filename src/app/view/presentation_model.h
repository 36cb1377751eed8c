#pragma once
#include "app/view/control_table.h"
#include "common/report_grid.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace pellucar {

// What one control of the main window shows. Combo boxes carry their items
// and selection; grids their report.
struct ControlState {
    QString text;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    QString tooltip;
    QStringList items;
    int currentIndex = -1;
    ReportGrid grid;
    bool operator==(const ControlState&) const = default;
};

// The presentation model of the main window: every control and menu item by
// its object name ("lblEq", "btnTrade"); items of a menu control array carry
// their index after an underscore ("mnuLevel_2"). The window itself is the
// key "Kestrow" (its caption and enabled state). The UI renders this and
// nothing else; tests read it.
class PresentationModel {
public:
    bool has(const QString& key) const { return index_.contains(key); }
    bool isEmpty() const { return states_.isEmpty(); }
    // Registers a control of the window's design; only registered keys can
    // be written.
    void add(const QString& key);
    // A registered control. An unknown key is a fault in the game code: it
    // asserts in debug builds; elsewhere the write lands in a scratch state
    // that nothing shows and the key is remembered for the tests to find.
    ControlState& operator[](const QString& key);
    // Every press writes dozens of controls through their keys: a key of the
    // design is a place in the list, reached without a call.
    ControlState& operator[](const ControlKey& key) {
        if (!inDesignPlace(key.slot())) return (*this)[key.name()];
        ++revision_;
        return states_[key.slot()];
    }
    const QStringList& unknownKeys() const { return unknown_; }
    const ControlState& at(const QString& key) const;
    const ControlState& at(const ControlKey& key) const {
        return inDesignPlace(key.slot()) ? states_[key.slot()] : at(key.name());
    }
    QStringList keys() const;

    // Short forms for the game code.
    void setText(const QString& key, const QString& text) { (*this)[key].text = text; }
    void setText(const ControlKey& key, const QString& text) { (*this)[key].text = text; }
    QString text(const QString& key) const { return at(key).text; }
    QString text(const ControlKey& key) const { return at(key).text; }
    void setVisible(const QString& key, bool v) { (*this)[key].visible = v; }
    void setVisible(const ControlKey& key, bool v) { (*this)[key].visible = v; }
    bool visible(const QString& key) const { return at(key).visible; }
    bool visible(const ControlKey& key) const { return at(key).visible; }
    void setEnabled(const QString& key, bool v) { (*this)[key].enabled = v; }
    void setEnabled(const ControlKey& key, bool v) { (*this)[key].enabled = v; }
    bool enabled(const QString& key) const { return at(key).enabled; }
    bool enabled(const ControlKey& key) const { return at(key).enabled; }
    void setChecked(const QString& key, bool v) { (*this)[key].checked = v; }
    void setChecked(const ControlKey& key, bool v) { (*this)[key].checked = v; }
    bool checked(const QString& key) const { return at(key).checked; }
    bool checked(const ControlKey& key) const { return at(key).checked; }
    void setTooltip(const QString& key, const QString& t) { (*this)[key].tooltip = t; }

    // Counts every change so a view can skip a sync when nothing moved.
    quint64 revision() const { return revision_; }
    void touch() { ++revision_; }

private:
    // Whether the control in place `slot` is the design's control there.
    bool inDesignPlace(int slot) const { return slot >= 0 && slot < designPlaces_; }

    QHash<QString, int> index_;  // name -> place in states_; shared by copies of one model
    QList<ControlState> states_; // in the order the controls were added
    qsizetype designPlaces_ = 0; // how many of the first places hold the design's controls in its order
    ControlState scratch_;
    QStringList unknown_;
    quint64 revision_ = 0;
};

// Fills the model with the design state of every control.
void applyDesignState(PresentationModel& model);

// The name a screen reader gives a control, from the model as it stands:
// the spoken form where there is one, else the caption without its access
// key marker and trailing colon.
QString accessibleName(const ControlSpec& ctl, const PresentationModel& model);

} // namespace pellucar
