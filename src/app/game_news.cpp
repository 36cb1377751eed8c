// News and hints in the game: the stories of each tick checkpoint, the news
// history report, the background story and the helpful hints. The rules live
// in the news classes; this file runs them in the game's order.
#include "app/desk_presenter.h"
#include "app/game.h"
#include "app/game_calendar.h"

namespace pellucar {

void Game::GetNewsReleases() {
    if (s_.dataMode != DataMode::Tick || s_.periodIndex < 1) return;
    const QDate day = currentTickDate(s_);
    if (!day.isValid()) return;
    // The period's hour chooses the checkpoint; other hours release nothing.
    const int hour = charts::tickOfDay(s_.periodIndex);
    const std::optional<ReleaseWindow> window = releaseWindow(hour);
    if (!window) return;
    const QList<NewsRelease> stories = db_.newsReleases(day, window->from, window->to);
    if (db_.failed()) {
        ReportDatabaseFailure();
        return;
    }
    for (const NewsRelease& n : stories) {
        const StoryWindow shown = storyWindow(n.story);
        dialogs_.news(n.title, n.story, shown.heightTwips, shown.display == StoryDisplay::TextBox);
        s_.news.append(n.date, n.title, n.story, tickPeriodTime(hour));
    }
}

void Game::ShowBackgroundStory() {
    const int market = s_.chart.chartMarket();
    const std::optional<BackgroundLookup> found = s_.background.lookup(currentGameDate(s_));
    if (!found) return;
    const QString caption = backgroundCaption(marketNames().value(market - 1), found->year);
    dialogs_.news(caption, GetOverviewNews(found->date, market), kNewsWindowDefaultHeight, true);
}

void Game::btnNewsHist_Click() {
    setGameMenusEnabled(model_, false);
    if (s_.dataMode != DataMode::Tick) {
        // Daily games release no stories: the button tells the year before.
        ShowBackgroundStory();
    } else if (s_.news.isEmpty()) {
        NotifyPlayer(QString::fromLatin1(kNewsHistoryTitle), QString::fromLatin1(kNoNewsStoriesText));
    } else {
        model_["newsgrid"].rows = s_.news.gridRows();
        showReport(model_, QStringLiteral("newsgrid"), QStringLiteral("LabelNH"), QStringLiteral("btnCloseNewsHist"));
        layoutCharts(model_);
    }
    setGameMenusEnabled(model_, true);
}

void Game::btnCloseNewsHist_Click() {
    closeReport(model_, QStringLiteral("newsgrid"), QStringLiteral("LabelNH"), QStringLiteral("btnCloseNewsHist"),
                s_.periodIndex > 0 && s_.restartRequested != 1);
    layoutCharts(model_);
}

void Game::GiveHints() {
    for (const Hint& h : s_.hints.give(s_.periodIndex, s_.desk.tradeCount())) NotifyPlayer(h.title, h.text, h.number);
}

void Game::mnuPrint_Click() {
    if (!dialogs_.printMainWindow()) dialogs_.messageBox(QStringLiteral("The form could not be printed."));
}

} // namespace pellucar
