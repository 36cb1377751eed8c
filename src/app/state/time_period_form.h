#pragma once
#include "common/data_mode.h"
#include "common/level.h"
#include "common/rule_set.h"
#include "news/news_options.h"

#include <QString>
#include <QStringList>

namespace pellucar {

// How long a game lasts: the setup window's Game Length, the Options menu's
// item, a scenario's and a saved or past game's.
enum class GameLength { Month, Quarter, Year };

// The setup window's state ("Game Level Options"): which option of each
// frame is chosen, and what the time-period lists and label then show. The
// window renders it and calls the setters from its option handlers; the
// headless driver fills it directly.
class TimePeriodForm {
public:
    Level level = Level::Expert;          // OptNovice / OptExpert
    GameLength length = GameLength::Year; // OptMonth / OptQuarter / OptYear
    NewsOption news = NewsOption::Annual; // OptAnnual / OptDayReports
    bool random = false;                  // optSelect 0 select, 1 random
    int month = 1;                        // Combo1, 1..12
    int year = 0;                         // Combo2, 0 = nothing chosen
    RuleSet rules = RuleSet::Classic;     // OptClassic / OptTrainer

    // Daily or Tick, never None.
    DataMode data() const { return data_; }
    bool tick() const { return data_ == DataMode::Tick; }
    // OptDaily / OptTick act at once: the lists, the label and the options
    // that do not apply to the mode follow. Anything but Tick is Daily.
    void setData(DataMode mode);
    // Whether an option handler set the data mode while the window was open.
    bool dataChosen() const { return dataChosen_; }

    // "Select a Year:" (Daily) or "Select a Month and a Year:" (Tick).
    QString timeLabel() const;
    // Combo1: the months, shown for a selected tick period only.
    QStringList monthItems() const;
    bool monthsVisible() const { return !random && tick(); }
    // Combo2: "1984".."1997" (Daily) or "1996", "1997" (Tick).
    QStringList yearItems() const;
    bool yearsVisible() const { return !random; }
    // A tick game loads at most a quarter, so "One Year" does not apply.
    bool yearLengthEnabled() const { return !tick(); }

    // Sets up the form from the current settings before it is shown.
    void reset(Level gameLevel, DataMode dataMode, GameLength len, NewsOption newsChoice);
    static QString monthName(int month);

private:
    DataMode data_ = DataMode::Daily;
    bool dataChosen_ = false;
};

} // namespace pellucar
