#pragma once
#include "app/record/debrief.h"
#include "ui/windows.h"

#include <QWidget>

class QSpinBox;

namespace pellucar::ui {

// frmRewind: the period a practice game goes back to, typed or stepped in
// a spin box; Enter takes it, Esc cancels.
class RewindWindow : public GameWindow {
    Q_OBJECT
public:
    RewindWindow(int last, QWidget* parent = nullptr);
    int period() const;

private:
    QSpinBox* period_ = nullptr;
};

// The watched market's prices through the game and after it: the periods
// played in one colour, what followed in another, the player's exit marked.
class DebriefChart : public QWidget {
    Q_OBJECT
public:
    explicit DebriefChart(const ScenarioDebrief& debrief, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {560, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ScenarioDebrief& d_;
};

// frmDebrief: a scenario's debrief once its game is over.
class DebriefWindow : public GameWindow {
    Q_OBJECT
public:
    DebriefWindow(const ScenarioDebrief& debrief, QWidget* parent = nullptr);

private:
    ScenarioDebrief debrief_;
};

} // namespace pellucar::ui
