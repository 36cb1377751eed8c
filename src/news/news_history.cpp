#include "news/news_history.h"

#include "common/dates.h"

namespace pellucar {

namespace {

// Blanks after "News Story": with the grid font a blank is about a third of an
// average letter wide, so 60 of them and the ten letters of the heading come
// close to the width of kNewsTitleWidthText.
constexpr int kStoryHeaderPadding = 60;

QString shownText(const QString& text) { return text == QLatin1String("Null") ? QStringLiteral(" ") : text; }

} // namespace

QStringList newsGridHeader() {
    return {QStringLiteral(" # "), QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Report Title"),
            QStringLiteral("News Story") + QString(kStoryHeaderPadding, QLatin1Char(' '))};
}

QStringList newsGridWidthTexts() {
    QStringList texts = newsGridHeader();
    texts[3] = QLatin1String(kNewsTitleWidthText);
    return texts;
}

QString newsGridTime(const QTime& time) {
    if (!time.isValid()) return {};
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2").arg(hour).arg(time.minute(), 2, 10, QLatin1Char('0'));
}

const NewsHistoryEntry& NewsHistory::append(const QDate& newsDate, const QString& title, const QString& story,
                                            const QTime& periodTime) {
    NewsHistoryEntry e;
    e.number = newsCount() + 1;
    e.newsDate = newsDate;
    e.title = title;
    e.story = story;
    e.newsTime = periodTime;
    entries_.append(e);
    return entries_.constLast();
}

ReportGrid NewsHistory::grid() const {
    ReportGrid grid;
    grid.header = newsGridHeader();
    grid.rows.reserve(entries_.size());
    for (const NewsHistoryEntry& e : entries_)
        grid.rows.append({ReportRow::Kind::Entry,
                          {QString::number(e.number), shortDate(e.newsDate), newsGridTime(e.newsTime),
                           shownText(e.title), shownText(e.story)}});
    return grid;
}

} // namespace pellucar
