#include "app/game.h"
#include "common/dates.h"

namespace pellucar {

void Game::GetNewsReleases() {
    if (s_.dataMode != DataMode::Tick) return;
    const QDate day = currentTickDate();
    if (!day.isValid()) return;
    // The period's hour chooses the checkpoint window; other hours release
    // nothing.
    const int hour = TickOfDay(s_.periodIndex);
    const QString label = TraderTickTime(s_.periodIndex);
    QTime from, to;
    if (hour == 1) {
        from = QTime(0, 0);
        to = QTime(9, 0);
    } else if (hour == 2) {
        from = QTime(9, 0);
        to = QTime(11, 1);
    } else if (hour == 4) {
        from = QTime(11, 1);
        to = QTime(14, 0);
    } else if (hour == 6) {
        from = QTime(14, 0);
        to = QTime(23, 59);
    } else {
        return;
    }
    const QList<NewsRelease> rows = db_.newsReleases(day, from, to);
    for (const NewsRelease& n : rows) {
        const qsizetype len = n.story.size();
        const int height = len < 325 ? 1400 : len < 700 ? 2500 : 5000;
        dialogs_.news(n.title, n.story, height, len >= 700);
        NewsHistoryEntry e;
        e.number = static_cast<int>(s_.newsHistory.size()) + 1;
        e.newsDate = n.date;
        e.title = n.title;
        e.story = n.story;
        e.newsTime = label;
        s_.newsHistory.append(e);
    }
}

void Game::PrepareCharts() {
    model_.setText("GraphRight", QStringLiteral("Moving Average"));
    model_.setText("GraphLeft", QStringLiteral("Open-High-Low-Close"));
}

void Game::RefreshCharts() {
    // Chart titles follow the chosen types; the drawing arrives with the
    // chart options.
    if (!model_.checked("mnuGLType_0") && !model_.checked("mnuGLType_2"))
        model_.setText("GraphLeft", QStringLiteral("Price"));
}

void Game::LayoutCharts() {
    model_.setVisible("GraphRight", true);
}

void Game::mnuPrint_Click() {
    if (!dialogs_.printMainWindow()) dialogs_.messageBox(QStringLiteral("The form could not be printed."));
}

} // namespace pellucar

namespace pellucar {

void Game::GiveHints() {
    const int p = s_.periodIndex;
    const int t = s_.desk.tradeCount();
    if (p <= s_.nextHintPeriod) return;
    const float r = t > 0 ? static_cast<float>(p) / static_cast<float>(t) : 0.0f;
    const QString title = QStringLiteral("* Helpful Hint *");
    if (p == 15 && t == 0) {
        NotifyPlayer(title, QStringLiteral("Don't be Scared to Execute A Trade "), 1);
        s_.nextHintPeriod = 105;
    }
    if (t > 0 && r > 45.0f) {
        NotifyPlayer(title, QStringLiteral("Don't be Scared to Execute a Trade "), 1);
        s_.nextHintPeriod = p + 90;
    }
    if (p == 20 && t >= 10) {
        NotifyPlayer(title, QStringLiteral("Be Careful Not to Trade too Much:  Commissions Eat Up Profits"), 1);
        s_.nextHintPeriod = 110;
    }
    if (p > s_.nextHintPeriod && p > 3 && t > 0 && r < 1.5f) {
        NotifyPlayer(title, QStringLiteral("  Be Careful Not to Trade too Much:  Commissions Eat Up Profits"), 1);
        s_.nextHintPeriod = p + 90;
    }
}

} // namespace pellucar
