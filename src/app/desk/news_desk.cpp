#include "app/desk/news_desk.h"
#include "app/state/clock.h"
#include "app/view/control_table.h"
#include "app/view/desk_presenter.h"

namespace pellucar {

NewsDesk::NewsDesk(const GameState& game, NewsHistory& news, BackgroundStory& background, HintAdvisor& hints,
                   PresentationModel& model, PlayerDialogs& dialogs, MarketDatabase& db)
    : s_(game), news_(news), background_(background), hints_(hints), model_(model), dialogs_(dialogs), db_(db) {}

void reportDatabaseFailure(PlayerDialogs& dialogs, const MarketDatabase& db) {
    dialogs.notify(QStringLiteral("Pellucar"),
                   QStringLiteral("The market database could not be read: ") + db.lastError(), 0);
}

QString NewsDesk::GetOverviewNews(const QDate& date, int commodityId) {
    const QString text = db_.overviewNews(date, commodityId);
    if (db_.failed()) reportDatabaseFailure(dialogs_, db_);
    return text;
}

void NewsDesk::ReadPeriodStories() {
    const MarketData& m = s_.market;
    stories_ = {};
    if (m.tickDayCount() < 1) return;
    const QDate first = m.tickDays[0].date;
    const QDate last = m.tickDays[m.tickDayCount() - 1].date;
    const ReleaseWindow day = releaseDay();
    QList<StoredNewsRelease> stories = db_.newsReleasesOfDays(first, last, day.from, day.to);
    if (!db_.failed()) stories_ = PeriodStories(first, last, std::move(stories));
}

void NewsDesk::GetNewsReleases() {
    if (s_.clock.dataMode() != DataMode::Tick || s_.clock.periodIndex() < 1) return;
    const QDate day = currentTickDate(s_.clock, s_.market);
    if (!day.isValid()) return;
    // The period's hour chooses the checkpoint; other hours release nothing.
    const int hour = charts::tickOfDay(s_.clock.periodIndex());
    const std::optional<ReleaseWindow> window = releaseWindow(hour);
    if (!window) return;
    // A game resumed from a file has not read its days' stories yet.
    if (!stories_.covers(day)) ReadPeriodStories();
    QList<NewsRelease> stories;
    if (stories_.covers(day)) {
        stories = stories_.released(day, *window);
    } else {
        stories = db_.newsReleases(day, window->from, window->to);
        if (db_.failed()) {
            reportDatabaseFailure(dialogs_, db_);
            return;
        }
    }
    for (const NewsRelease& n : stories) {
        const StoryWindow shown = storyWindow(n.story);
        dialogs_.news(n.title, n.story, shown.heightTwips, shown.display == StoryDisplay::TextBox);
        news_.append(n.date, n.title, n.story, tickPeriodTime(hour));
    }
}

void NewsDesk::ShowBackgroundStory() {
    const int market = s_.chart.chartMarket();
    const std::optional<BackgroundLookup> found = background_.lookup(currentGameDate(s_.clock, s_.market));
    if (!found) return;
    const QString caption = backgroundCaption(marketNames().value(market - 1), found->year);
    dialogs_.news(caption, GetOverviewNews(found->date, market), kNewsWindowDefaultHeight, true);
}

void NewsDesk::btnNewsHist_Click() {
    if (s_.clock.dataMode() != DataMode::Tick) {
        // Daily games release no stories: the button tells the year before.
        ShowBackgroundStory();
    } else if (news_.isEmpty()) {
        dialogs_.notify(QString::fromLatin1(kNewsHistoryTitle), QString::fromLatin1(kNoNewsStoriesText), 0);
    } else {
        model_[controlKey<keys::kNewsGrid>()].grid = news_.grid();
        showReport(model_, QString::fromLatin1(keys::kNewsGrid), QStringLiteral("LabelNH"),
                   QStringLiteral("btnCloseNewsHist"));
        layoutCharts(model_);
    }
}

void NewsDesk::btnCloseNewsHist_Click() {
    closeReport(model_, QString::fromLatin1(keys::kNewsGrid), QStringLiteral("LabelNH"),
                QStringLiteral("btnCloseNewsHist"));
    layoutCharts(model_);
}

void NewsDesk::addActions(ActionTable& actions) {
    actions.insert(QString::fromLatin1(keys::kNewsHistory), [this](int) { btnNewsHist_Click(); });
    actions.insert(QStringLiteral("btnCloseNewsHist"), [this](int) { btnCloseNewsHist_Click(); });
}

void NewsDesk::GiveHints() {
    for (const Hint& h : hints_.give(s_.clock.periodIndex(), s_.desk.tradeCount()))
        dialogs_.notify(h.title, h.text, h.number);
}

} // namespace pellucar
