#include "app/time_period_form.h"

namespace pellucar {

void TimePeriodForm::setData(const QString& mode) {
    data_ = mode == QLatin1String("Tick") ? QStringLiteral("Tick") : QStringLiteral("Daily");
    dataChosen_ = true;
    const QStringList years = yearItems();
    if (!years.contains(QString::number(year))) year = years.first().toInt();
    if (data_ == QLatin1String("Tick") && length == Length::Year) length = Length::Quarter;
}

QString TimePeriodForm::timeLabel() const {
    return data_ == QLatin1String("Tick") ? QStringLiteral("Select a Month and a Year:")
                                          : QStringLiteral("Select a Year:");
}

QStringList TimePeriodForm::monthItems() const {
    QStringList m;
    for (int i = 1; i <= 12; ++i) m << monthName(i);
    return m;
}

QStringList TimePeriodForm::yearItems() const {
    QStringList y;
    const int first = data_ == QLatin1String("Tick") ? 1996 : 1984;
    for (int i = first; i <= 1997; ++i) y << QString::number(i);
    return y;
}

void TimePeriodForm::reset(const QString& gameLevel, const QString& dataMode, Length len,
                           const QString& newsChoice) {
    level = gameLevel == QLatin1String("Novice") ? QStringLiteral("Novice") : QStringLiteral("Expert");
    length = len;
    news = newsChoice;
    random = false;
    month = 1;
    data_ = dataMode == QLatin1String("Tick") ? QStringLiteral("Tick") : QStringLiteral("Daily");
    year = yearItems().first().toInt();
    if (data_ == QLatin1String("Tick") && length == Length::Year) length = Length::Quarter;
    dataChosen_ = false;
}

QString TimePeriodForm::monthName(int month) {
    static const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12) return {};
    return QString::fromLatin1(names[month - 1]);
}

} // namespace pellucar
