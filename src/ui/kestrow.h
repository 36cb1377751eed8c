#pragma once
#include "app/view/control_table.h"
#include "app/view/presentation_model.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <utility>

class QAction;
class QDialog;
class QMenu;
class QTimer;
class QVBoxLayout;

namespace pellucar {
class Game;
}

namespace pellucar::ui {

class MarketStripView;
class OrderTicket;
class QtDialogs;
class ScreenColors;
class WorkingOrdersWindow;
enum class Scheme;

// The main window: the game table with every control of the design under
// its object name. It renders the game's presentation model and hands every
// action of the player to the game; it decides nothing itself.
class Kestrow : public QMainWindow {
    Q_OBJECT
public:
    Kestrow(Game& game, QtDialogs& dialogs, QWidget* parent = nullptr);
    ~Kestrow() override;

    // The game's start-up (About window, database, disclaimer).
    void startUp();
    // Brings every widget in line with the model; cheap when nothing moved.
    void sync();
    // The place and size the player left the window at (QWidget::saveGeometry),
    // within the screens' room and no smaller than the desk's layout; false,
    // the first size kept, when `saved` holds no geometry.
    bool restorePlacement(const QByteArray& saved);
    // The least size the desk's layout shows whole in: the table and the menu bar.
    QSize minimumDeskSize() const;

    // The widget or menu action that shows a model key. The report grids
    // are made once the table has first painted, or when first asked for.
    QObject* control(const QString& key) const;
    QWidget* widget(const QString& key) const;
    QAction* action(const QString& key) const;

    // Recolours the window in a scheme (the screen colour window calls it).
    void applyScheme(Scheme scheme);
    Game& game() { return game_; }
    // True while a player action is being worked off by the game.
    bool busyWithGame() const { return depth_ > 0; }
    // Whether the table has painted at least once.
    bool hasPainted() const { return paintedOnce_; }
    // The Trainer's order windows, once opened (Game > Order Ticket, F6;
    // Game > Working Orders, F7).
    OrderTicket* orderTicket() const;
    WorkingOrdersWindow* workingOrdersWindow() const;

signals:
    // The game has ended the program; the application leaves with the code.
    void gameEnded(int exitCode);
    // The table has painted for the first time (sent after that paint):
    // what the first paint does not show can be made now.
    void firstPainted();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    template <typename F> void forward(F&& action);
    void afterAction();
    void createControls();
    // Makes the two report grids (their headers load the application's
    // font, which the table never shows) and brings them in line.
    void buildReportGrids();
    // The number of the trade chosen in the Trade History shown; -1 for none.
    int chosenTrade() const;
    void createMenus();
    void layoutTable();
    void connectSignals();
    void applyOne(const ControlSpec& ctl, const ControlState& st, const ControlState* before);
    void fillGrid(const QString& key, const ReportGrid& grid);
    // Which controls of the keyboard order are offered now, one bit each.
    quint32 offeredControls() const;
    void keepKeyboard(QWidget* focused, quint32 offeredBefore);
    void setKeyboardOrder();
    void shareAccessKeys();
    void placeReportPanel();
    void schedulePaint();
    // Each chart's description: market, kind and last values.
    void describeCharts();
    // The first size and place: the design scaled to the screen's room.
    void fitToScreen();
    // The table's widget, in a scroll area that fills `central`.
    QWidget* scrolledTable(QWidget* central);
    // Ctrl+N for Game > Start, F5 for auto-play, Escape for backing out
    // (see escapePressed); and auto-play's timer.
    void addDeskShortcuts();
    void escapePressed();
    void openStoriesFromHistory();
    void keepChartTextsWhole();
    // Auto-play's pace: the timer runs while the game's auto-play does and
    // asks the game for each press.
    void keepAutoPlayTimer();
    // The order windows (kestrow_orders.cpp): opened from their menu items,
    // read again at every sync, recoloured with the desk. A decision on the
    // orders goes to the game as any press does and returns its refusal.
    void addOrderWindows();
    void openOrderWindow(QDialog* window);
    void refreshOrderWindows();
    void recolorOrderWindows();
    QString orderDecision(const std::function<QString(Game&)>& decision);
    void orderLineMoved(int id, double price);

    Game& game_;
    QtDialogs& dialogs_;
    QHash<QString, QObject*> controls_;
    QHash<QString, QMenu*> menus_;
    QList<std::pair<QString, const ControlSpec*>> shown_;
    QHash<QString, ControlState> applied_;
    bool paintedOnce_ = false;
    bool gridsBuilt_ = false;
    bool schemeApplied_ = false;
    QVBoxLayout* reportLayout_ = nullptr;
    // Caption label -> the controls it names for assistive technology.
    QHash<QString, QStringList> namedBy_;
    quint64 appliedRevision_ = ~quint64(0);
    int depth_ = 0;
    bool pendingActivate_ = false;
    bool pendingPaint_ = false;
    bool paintScheduled_ = false;
    bool endSignalled_ = false;
    QWidget* chartArea_ = nullptr;
    // The six markets at a glance above the charts.
    MarketStripView* strip_ = nullptr;
    // The desk's panels beside the charts, which fold away to give the
    // charts the window (Options > Chart View > Wide Charts, F9): a layout
    // of the window, no state of the game's.
    QList<QWidget*> deskAreas_;
    QAction* wideCharts_ = nullptr;
    QWidget* reportPanel_ = nullptr;
    QWidget* table_ = nullptr;
    QTimer* autoPlayTimer_ = nullptr;
    QPointer<OrderTicket> ticket_;
    QPointer<WorkingOrdersWindow> ordersWindow_;
};

} // namespace pellucar::ui
