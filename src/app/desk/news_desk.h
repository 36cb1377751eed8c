#pragma once
#include "app/dialogs/player_dialogs.h"
#include "app/state/game_state.h"
#include "app/view/actions.h"
#include "app/view/presentation_model.h"
#include "market/database.h"
#include "news/news_release.h"

namespace pellucar {

// News and hints in the game: the stories of each tick checkpoint, the news
// history report, the background story and the helpful hints. The rules live
// in the news classes; this runs them in the game's order.
class NewsDesk {
public:
    // The one writer of the game's news history, background story and
    // hints; the rest of the game it reads.
    NewsDesk(const GameState& game, NewsHistory& news, BackgroundStory& background, HintAdvisor& hints,
             PresentationModel& model, PlayerDialogs& dialogs, MarketDatabase& db);

    // The news report's buttons.
    void addActions(ActionTable& actions);
    // Reads the stories of the loaded tick days, so that the presses of the
    // period release them without a query. A read that fails leaves each
    // checkpoint to ask the database for its own stories, as it would.
    void ReadPeriodStories();
    // The stories released at the current tick period, shown and kept.
    void GetNewsReleases();
    // The overview of the charted market for the year before the game date.
    void ShowBackgroundStory();
    void btnNewsHist_Click();
    void btnCloseNewsHist_Click();
    void GiveHints();
    // A new game, or a new tick period: no story released yet.
    void newGame() { news_.clear(); }
    // A resumed game's hints and last background story.
    void restore(const HintAdvisor& hints, const BackgroundStory& background) {
        hints_ = hints;
        background_ = background;
    }

private:
    QString GetOverviewNews(const QDate& date, int commodityId);

    const GameState& s_;
    NewsHistory& news_;
    BackgroundStory& background_;
    HintAdvisor& hints_;
    PresentationModel& model_;
    PlayerDialogs& dialogs_;
    MarketDatabase& db_;
    // What the database holds for the days read last; the same file stays
    // open for the game's life, so they stay true across games.
    PeriodStories stories_;
};

// A read from the market database failed: the player is told, and play goes
// on with the data as they were.
void reportDatabaseFailure(PlayerDialogs& dialogs, const MarketDatabase& db);

} // namespace pellucar
