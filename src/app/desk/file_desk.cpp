// Game > Save and Game > Resume: a game in progress kept in one file in the
// save folder and brought back as it stood, down to the order being entered;
// and the record of past games.
#include "app/desk/file_desk.h"
#include "app/record/scenarios.h"
#include "app/state/clock.h"
#include "app/view/control_table.h"

namespace pellucar {

namespace {

const QString kSavedGameTitle = QStringLiteral("Saved Game");

} // namespace

FileDesk::FileDesk(const GameState& state, PresentationModel& model, PlayerDialogs& dialogs, PastGames* pastGames)
    : s_(state), model_(model), dialogs_(dialogs), pastGames_(pastGames) {}

void FileDesk::setSaveFolder(const QString& folder) {
    saveFolder_ = folder;
    PresentSavedGameItems();
}

void FileDesk::PresentSavedGameItems() {
    // Only a game past its first Forward press has anything to keep; a
    // saved game can be resumed whenever the window takes a choice.
    static const ControlKey saveItem(QStringLiteral("mnuSave")), resumeItem(QStringLiteral("mnuResume"));
    const bool folder = !saveFolder_.isEmpty();
    const bool save = folder && s_.clock.started();
    if (model_.enabled(saveItem) != save) model_.setEnabled(saveItem, save);
    if (model_.enabled(resumeItem) != folder) model_.setEnabled(resumeItem, folder);
}

void FileDesk::mnuSave_Click() {
    if (saveFolder_.isEmpty() || !s_.clock.started()) return;
    // An order waiting for its units keeps what the player has typed so far,
    // and the report over the charts stays open.
    const SavedGame::Report report = model_.visible(controlKey<keys::kTradeGrid>())  ? SavedGame::Report::Trades
                                     : model_.visible(controlKey<keys::kNewsGrid>()) ? SavedGame::Report::News
                                                                                     : SavedGame::Report::None;
    const SavedGame game = savedGameOf(s_, model_.text("inputUnits"), report, findScenario(scenario_));
    const QString error = writeSavedGameFile(saveFolder_, encodeSavedGame(game));
    if (!error.isEmpty()) {
        dialogs_.notify(kSavedGameTitle, QStringLiteral("The game could not be saved: ") + error, 0);
        return;
    }
    dialogs_.notify(kSavedGameTitle, QStringLiteral("The game has been saved."), 0);
}

bool FileDesk::readSavedGame(SavedGame& out) {
    if (saveFolder_.isEmpty()) return false;
    QByteArray bytes;
    QString error;
    SavedGameProblem problem = readSavedGameFile(saveFolder_, &bytes, &error);
    if (problem == SavedGameProblem::Missing) {
        dialogs_.notify(kSavedGameTitle, QStringLiteral("There is no saved game to resume."), 0);
        return false;
    }
    QString detail;
    if (problem == SavedGameProblem::None) problem = decodeSavedGame(bytes, out, &detail);
    if (problem == SavedGameProblem::None) return true;
    refuseSavedGame(problem == SavedGameProblem::Unreadable ? error + QLatin1Char('.')
                                                            : savedGameProblemText(problem, detail));
    return false;
}

void FileDesk::refuseSavedGame(const QString& why) {
    dialogs_.notify(kSavedGameTitle, QStringLiteral("The saved game could not be read: ") + why, 0);
}

bool FileDesk::confirmResume() {
    return !s_.clock.started() ||
           dialogs_.confirm(QStringLiteral("Resume Saved Game"),
                            QStringLiteral("Resume the saved game?  The game in progress will be lost."));
}

void FileDesk::RecordGame(GameEnding ending, const QString& verdict) {
    if (gameRecorded_ || s_.clock.periodIndex() == 0) return;
    gameRecorded_ = true;
    lastReview_ = reviewRecordOf(s_, scenario_);
    if (!pastGames_) return;
    PastGame g;
    g.playedAt = QDateTime::currentDateTime();
    if (s_.clock.dataMode() == DataMode::Tick)
        g.periodStart = s_.market.tickDayCount() > 0 ? s_.market.tickDays[0].date : s_.clock.startDate();
    else g.periodStart = s_.market.tradingDays.days.value(0, s_.clock.startDate());
    g.periodEnd = lastPlayedDate(s_.clock, s_.market);
    if (!g.periodEnd.isValid() || g.periodEnd < g.periodStart) g.periodEnd = g.periodStart;
    g.level = s_.settings.level;
    g.dataMode = s_.clock.dataMode();
    g.length = s_.clock.setupLength();
    g.periods = s_.clock.periodIndex();
    g.trades = s_.desk.tradeCount();
    g.score = s_.desk.account.totalPL();
    g.verdict = verdict;
    g.ending = ending;
    g.scenario = scenario_;
    g.rules = s_.settings.rules;
    // A practice game (marked so, or rewound) is kept out of the best scores.
    g.practice = s_.practice;
    g.commissions = s_.desk.account.commissionsPaid();
    if (pastGames_->record(g, &*lastReview_) || pastGamesWarned_) return;
    pastGamesWarned_ = true;
    dialogs_.notify(QStringLiteral("Past Games"),
                    QStringLiteral("This game could not be added to the record of past games:\n%1.\n"
                                   "Play goes on without the record.")
                        .arg(pastGames_->lastError()),
                    0);
}

PastGamesReport pastGamesReport(PastGames& store) {
    PastGamesReport report;
    report.games = store.games();
    if (store.failed())
        report.problem = QStringLiteral("The record of past games cannot be read: %1.").arg(store.lastError());
    else if (const int skipped = store.skipped(); skipped > 0)
        report.problem = skipped == 1
                             ? QStringLiteral("1 stored game cannot be read and is not listed.")
                             : QStringLiteral("%1 stored games cannot be read and are not listed.").arg(skipped);
    report.best = bestScores(report.games);
    report.review = [&store](qint64 id, QString* why) {
        std::optional<ReviewRecord> r = store.review(id);
        if (!r)
            *why = store.failed() ? QStringLiteral("The review of this game cannot be read: %1.").arg(store.lastError())
                                  : QStringLiteral("The review is not available: this game was recorded "
                                                   "before reviews were kept.");
        return r;
    };
    return report;
}

void FileDesk::mnuPastGames_Click() {
    dialogs_.pastGames(pastGames_ ? pastGamesReport(*pastGames_) : PastGamesReport{});
}

ScenariosReport FileDesk::scenariosReport() {
    ScenariosReport report;
    std::vector<PastGame> games;
    if (pastGames_) {
        games = pastGames_->games();
        if (pastGames_->failed())
            report.problem = QStringLiteral("The best scores cannot be read: %1.").arg(pastGames_->lastError());
    }
    report.choices = scenarioChoices(games);
    return report;
}

} // namespace pellucar
