#include "app/state/time_period_form.h"

namespace pellucar {

void TimePeriodForm::setData(DataMode mode) {
    data_ = mode == DataMode::Tick ? DataMode::Tick : DataMode::Daily;
    dataChosen_ = true;
    const QStringList years = yearItems();
    if (!years.contains(QString::number(year))) year = years.first().toInt();
    if (tick() && length == GameLength::Year) length = GameLength::Quarter;
}

QString TimePeriodForm::timeLabel() const {
    return tick() ? QStringLiteral("Select a Month and a Year:") : QStringLiteral("Select a Year:");
}

QStringList TimePeriodForm::monthItems() const {
    QStringList m;
    for (int i = 1; i <= 12; ++i) m << monthName(i);
    return m;
}

QStringList TimePeriodForm::yearItems() const {
    QStringList y;
    const int first = tick() ? 1996 : 1984;
    for (int i = first; i <= 1997; ++i) y << QString::number(i);
    return y;
}

void TimePeriodForm::reset(Level gameLevel, DataMode dataMode, GameLength len, NewsOption newsChoice) {
    level = gameLevel;
    length = len;
    news = newsChoice;
    random = false;
    month = 1;
    data_ = dataMode == DataMode::Tick ? DataMode::Tick : DataMode::Daily;
    year = yearItems().first().toInt();
    if (tick() && length == GameLength::Year) length = GameLength::Quarter;
    dataChosen_ = false;
}

QString TimePeriodForm::monthName(int month) {
    static const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12) return {};
    return QString::fromLatin1(names[month - 1]);
}

} // namespace pellucar
