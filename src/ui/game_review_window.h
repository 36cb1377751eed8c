#pragma once
#include "app/dialogs/player_dialogs.h"
#include "app/record/review.h"
#include "ui/windows.h"

class QChartView;
class QListWidget;
class QTableWidget;
class QTextBrowser;

namespace pellucar::ui {

// frmGameReview: the account value at every period with its drawdowns
// shaded, the game's statistics, and every round trip; choosing a trip
// draws its market over the trip's periods. The fills and the round trips
// can be saved as CSV, and the review as a report laid out for print (PDF)
// or a picture of the window (PNG).
class GameReviewWindow : public GameWindow {
    Q_OBJECT
public:
    GameReviewWindow(const ReviewRecord& record, const QString& caption, QWidget* parent = nullptr);

    QTableWidget* trips() const { return trips_; }
    // Draws trip `row` (of the list) on the small chart.
    void showTrip(int row);
    // The files the export buttons write, each whole or not at all: an
    // empty text, or why nothing was written (a file that was there is
    // left as it was).
    QString saveTradeRecord(const QString& path) const;
    QString saveRoundTrips(const QString& path) const;
    // A ".pdf" path takes the printed report, any other a picture.
    QString savePicture(const QString& path);

protected:
    // A colour scheme chosen while the window is up redraws the charts in it.
    void changeEvent(QEvent* e) override;

private:
    void restyleCharts();
    void chooseTradeRecordFile();
    void choosePictureFile();
    // Where a save dialog opens: the folder the last export went to, with
    // the game's own name for the file.
    QString suggestedPath(const QString& suffix) const;
    static void rememberFolder(const QString& path);

    ReviewRecord record_;
    ReviewFigures figures_;
    QChartView* equity_ = nullptr;
    QChartView* tripChart_ = nullptr;
    QTableWidget* trips_ = nullptr;
};

// frmScenarios: the named starting points, each with its brief, its
// set-up and the best score recorded from it; Start begins the one chosen.
class ScenariosWindow : public GameWindow {
    Q_OBJECT
public:
    explicit ScenariosWindow(const ScenariosReport& report, QWidget* parent = nullptr);
    // The scenario chosen with Start; empty after Cancel.
    const QString& chosen() const { return chosen_; }
    QListWidget* list() const { return list_; }

private:
    void showBrief(int row);

    ScenariosReport report_;
    QListWidget* list_;
    QTextBrowser* brief_;
    QString chosen_;
};

} // namespace pellucar::ui
