#pragma once
#include "app/dialogs/player_dialogs.h"
#include "app/state/time_period_form.h"
#include "ui/color_scheme.h"
#include <QGridLayout>
#include <QVBoxLayout>

#include <QDialog>
#include <functional>
#include <initializer_list>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace pellucar::ui {

// Base of the game's small windows: named controls, the window font, and
// nothing else. Choice windows refuse to close without a choice.
class GameWindow : public QDialog {
    Q_OBJECT
public:
    GameWindow(const QString& objectName, const QString& caption, QWidget* parent);
    void reject() override;

protected:
    QLabel* label(const QString& name, const QString& text, bool value = false);
    QPushButton* button(const QString& name, const QString& caption);
    // Esc and the close box do nothing: the player must press a button.
    void requireChoice();
    // The figures of both end-of-game windows: unrealized, realized, fines
    // (shown only when the summary says so), commissions under the caption
    // label `commissionsLabel`, a rule of `ruleLength` "=" signs, final score.
    // One figure line: a caption label and its right-aligned value label.
    void figureRow(QGridLayout* g, int r, const char* caption, const char* text, const char* value,
                   const QString& valueText);
    QGridLayout* summaryFigures(const GameSummary& summary, const char* commissionsLabel, int ruleLength);
    // The whole end-of-game window: verdict line, figures, button row.
    void summaryLayout(const GameSummary& summary, const char* verdictLabel, const char* commissionsLabel,
                       int ruleLength, const QList<QPushButton*>& buttons);
    // `buttons` and, when the summary carries a review, a Review button
    // that opens it over this window.
    QList<QPushButton*> withReview(const GameSummary& summary, QList<QPushButton*> buttons);
    // The layout most of the game's windows share: the parts (widgets or
    // layouts) top to bottom within the window's margins, `spacing` between
    // them (-1: the style's), `gap` more above the buttons, and the buttons
    // in a centred row at the foot.
    QVBoxLayout* standardLayout(std::initializer_list<QObject*> parts, const QList<QPushButton*>& buttons,
                                int spacing = -1, int gap = 0, QMargins margins = {18, 14, 18, 12});

private:
    bool choiceRequired_ = false;
};

// frmPlayerNotification: the title, the message, OK under the message.
class NotificationWindow : public GameWindow {
    Q_OBJECT
public:
    NotificationWindow(const QString& title, const QString& message, int number, QWidget* parent = nullptr);
};

// frmConfirm: a question, Yes (accepted) or No (rejected). No is the
// default, and Esc or the close box answer No: the question always guards
// something the player would lose.
class ConfirmWindow : public GameWindow {
    Q_OBJECT
public:
    ConfirmWindow(const QString& title, const QString& message, QWidget* parent = nullptr);
};

class AboutWindow : public GameWindow {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

class CustomWindow : public GameWindow {
    Q_OBJECT
public:
    explicit CustomWindow(QWidget* parent = nullptr);
};

// frmDisclaimer: Agree (accepted) or Disagree (rejected).
class DisclaimerWindow : public GameWindow {
    Q_OBJECT
public:
    explicit DisclaimerWindow(const QString& text, QWidget* parent = nullptr);
};

// frmTimePeriod: every option writes the form at once and the window then
// shows what the form says (lists, label, options that apply).
class TimePeriodWindow : public GameWindow {
    Q_OBJECT
public:
    explicit TimePeriodWindow(TimePeriodForm& form, QWidget* parent = nullptr);
    void render();

private:
    QRadioButton* option(QWidget* frame, const QString& name, const QString& caption);

    TimePeriodForm& form_;
};

// frmLevelSelected: Begin (accepted) or Reset (rejected).
class LevelSelectedWindow : public GameWindow {
    Q_OBJECT
public:
    explicit LevelSelectedWindow(const LevelSummary& summary, QWidget* parent = nullptr);
};

// frmCommoditySelect: the charted market, 1-based in the list order.
class CommoditySelectWindow : public GameWindow {
    Q_OBJECT
public:
    CommoditySelectWindow(int currentId, QWidget* parent = nullptr);
    int chosenId() const { return chosen_; }

private:
    int chosen_;
};

// frmNewsDisplay.
class NewsWindow : public GameWindow {
    Q_OBJECT
public:
    NewsWindow(const QString& caption, const QString& story, int heightTwips, bool scrolling,
               QWidget* parent = nullptr);

    // Where the story stands: under the headline, over the Close button.
    QRect storyRect() const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    static constexpr int kNewsGap = 6;
    int headlineHeight(int width) const;
    int buttonRowHeight() const;

    QLabel* headline_;
    QPlainTextEdit* text_;
    QLabel* short_;
    QPushButton* close_;
};

// frmTradeConfirmation: a click anywhere closes it.
class TradeConfirmationWindow : public GameWindow {
    Q_OBJECT
public:
    explicit TradeConfirmationWindow(const QString& message, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// frmTradeNote: the journal's note on one trade, a line of plain text.
class TradeNoteWindow : public GameWindow {
    Q_OBJECT
public:
    TradeNoteWindow(const QString& trade, const QString& note, QWidget* parent = nullptr);
    QString note() const;

private:
    QLineEdit* text_;
};

class GameOverWindow : public GameWindow {
    Q_OBJECT
public:
    explicit GameOverWindow(const GameSummary& summary, QWidget* parent = nullptr);
    GameOverChoice choice() const { return choice_; }

private:
    GameOverChoice choice_ = GameOverChoice::PlayAgain;
};

class EndOfGameWindow : public GameWindow {
    Q_OBJECT
public:
    explicit EndOfGameWindow(const GameSummary& summary, QWidget* parent = nullptr);
    EndOfGameChoice choice() const { return choice_; }

private:
    EndOfGameChoice choice_ = EndOfGameChoice::Continue;
};

class CommissionWindow : public GameWindow {
    Q_OBJECT
public:
    explicit CommissionWindow(const CommissionStatement& statement, QWidget* parent = nullptr);
};

// frmScreenColor: each option applies its scheme at once; while it does, the
// options and the close button are disabled.
class ScreenColorWindow : public GameWindow {
    Q_OBJECT
public:
    using Apply = std::function<void(Scheme)>;
    ScreenColorWindow(Scheme current, Apply apply, QWidget* parent = nullptr);

    // The options and the close button as they stand (the test looks at
    // them while a scheme applies).
    QList<QWidget*> choiceControls() const;

private:
    void choose(Scheme scheme);
    Apply apply_;
};

// frminitialize: the notice, and under it how far the read has come.
class LoadingWindow : public GameWindow {
    Q_OBJECT
public:
    explicit LoadingWindow(QWidget* parent = nullptr);
    // `done` of `total` steps read; true when that moved the bar.
    bool setProgress(int done, int total);

private:
    QProgressBar* bar_ = nullptr;
};

} // namespace pellucar::ui
