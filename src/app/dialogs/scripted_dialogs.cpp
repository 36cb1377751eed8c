#include "app/dialogs/scripted_dialogs.h"

#include "app/state/time_period_form.h"
#include "common/format.h"

namespace pellucar {

void ScriptedDialogs::write(const QString& window, const QString& caption, const QString& message) {
    QString m = message;
    m.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace('\n', QStringLiteral("\\n"));
    const QString line = window + QStringLiteral(": ") + caption + QStringLiteral(" | ") + m;
    transcript_.append(line);
    if (out_) out_(line);
}

QString ScriptedDialogs::choose(const QStringList& buttons) {
    if (!answers_.isEmpty() && buttons.contains(answers_.first())) return answers_.takeFirst();
    return buttons.first();
}

void ScriptedDialogs::notify(const QString& title, const QString& message, int) {
    write(QStringLiteral("frmPlayerNotification"), title, message);
}

void ScriptedDialogs::messageBox(const QString& message) {
    write(QStringLiteral("MsgBox"), QStringLiteral("Pellucar"), message);
}

void ScriptedDialogs::about() {
    write(QStringLiteral("frmAboutKestrow"), QStringLiteral("About Pellucar"), QStringLiteral("Pellucar\nDunmere"));
}

void ScriptedDialogs::customProgramming() {
    write(QStringLiteral("frmCustom"), QStringLiteral("Custom Programming"), QString());
}

bool ScriptedDialogs::disclaimer(const QString& text) {
    write(QStringLiteral("frmDisclaimer"), QStringLiteral("Disclaimer Statement"), text);
    return choose({QStringLiteral("btnClose"), QStringLiteral("btnExit")}) == QLatin1String("btnClose");
}

QString ScriptedDialogs::checkSetting(const QString& key, const QString& value) {
    static const QHash<QString, QStringList> allowed{
        {"level", {"Novice", "Expert"}}, {"length", {"Month", "Quarter", "Year"}}, {"data", {"Daily", "Tick"}},
        {"news", {"Annual", "Daily"}},   {"period", {"select", "random"}},         {"rules", {"Classic", "Trainer"}},
    };
    if (allowed.contains(key))
        return allowed[key].contains(value) ? QString()
                                            : QStringLiteral("%1 must be one of %2").arg(key, allowed[key].join('|'));
    bool ok = false;
    const int n = value.toInt(&ok);
    if (key == QLatin1String("month"))
        return ok && n >= 1 && n <= 12 ? QString() : QStringLiteral("month must be 1..12");
    if (key == QLatin1String("year"))
        return ok && n >= 1984 && n <= 1997 ? QString() : QStringLiteral("year must be 1984..1997");
    return QStringLiteral("unknown setup key %1").arg(key);
}

bool ScriptedDialogs::timePeriod(TimePeriodForm& form) {
    const QHash<QString, QString> s = setups_.isEmpty() ? QHash<QString, QString>{} : setups_.takeFirst();
    // The script's words are the window's captions; anything else is the
    // other option, as a click elsewhere in the frame would leave it.
    if (s.contains("data")) form.setData(dataModeFromName(s["data"]));
    if (s.contains("level")) form.level = levelOrExpert(s["level"]);
    if (s.contains("length")) {
        const QString l = s["length"];
        form.length = l == QLatin1String("Month")     ? GameLength::Month
                      : l == QLatin1String("Quarter") ? GameLength::Quarter
                                                      : GameLength::Year;
    }
    if (s.contains("news")) form.news = s["news"] == QLatin1String("Daily") ? NewsOption::Daily : NewsOption::Annual;
    if (s.contains("period")) form.random = s["period"] == QLatin1String("random");
    if (s.contains("month")) form.month = s["month"].toInt();
    if (s.contains("year")) form.year = s["year"].toInt();
    if (s.contains("rules")) ruleSetFromName(s["rules"], &form.rules);
    static const char* lengths[] = {"One Month", "One Quarter", "One Year"};
    const QString summary =
        QStringLiteral("%1, %2, %3 data, %4 news, %5")
            .arg(levelName(form.level), QString::fromLatin1(lengths[static_cast<int>(form.length)]),
                 dataModeName(form.data()),
                 form.news == NewsOption::Daily ? QStringLiteral("Daily") : QStringLiteral("Annual"),
                 form.random ? QStringLiteral("random period")
                             : (form.monthsVisible() ? TimePeriodForm::monthName(form.month) + ' ' : QString()) +
                                   QString::number(form.year)) +
        (form.rules == RuleSet::Trainer ? QStringLiteral(", Trainer rules") : QString());
    write(QStringLiteral("frmTimePeriod"), QStringLiteral("Game Level Options"), summary);
    return choose({QStringLiteral("cmdBegin"), QStringLiteral("cmdReset")}) == QLatin1String("cmdBegin");
}

bool ScriptedDialogs::levelSelected(const LevelSummary& summary) {
    write(QStringLiteral("frmLevelSelected"), QStringLiteral("Level Detail"),
          QStringLiteral("Level: %1\nGame Length: %2\nNews Reports: %3\nData: %4")
              .arg(summary.level, summary.gameLength, summary.news, summary.data));
    return choose({QStringLiteral("cmdBegin"), QStringLiteral("cmdReset")}) == QLatin1String("cmdBegin");
}

int ScriptedDialogs::commoditySelect(int currentId) {
    write(QStringLiteral("frmCommoditySelect"), QStringLiteral("Pellucar"), QString::number(currentId));
    return currentId;
}

void ScriptedDialogs::news(const QString& caption, const QString& story, int, bool) {
    write(QStringLiteral("frmNewsDisplay"), caption, story);
}

bool ScriptedDialogs::confirm(const QString& title, const QString& message) {
    write(QStringLiteral("frmConfirm"), title, message);
    return choose({QStringLiteral("btnYes"), QStringLiteral("btnNo")}) == QLatin1String("btnYes");
}

void ScriptedDialogs::tradeConfirmation(const QString& message) {
    write(QStringLiteral("frmTradeConfirmation"), QStringLiteral("Electronic Mail:  Trade Confirmation"), message);
}

std::optional<QString> ScriptedDialogs::tradeNote(const QString& trade, const QString& note) {
    write(QStringLiteral("frmTradeNote"), QStringLiteral("Trade Note"),
          note.isEmpty() ? trade : trade + QLatin1Char('\n') + note);
    if (notes_.isEmpty()) return std::nullopt;
    return notes_.takeFirst();
}

GameOverChoice ScriptedDialogs::gameOver(const GameSummary& s) {
    // A Classic game's Game Over window shows no commissions; a Trainer game's what it paid.
    const QString commissions =
        s.commissions.isEmpty() ? QString() : QStringLiteral("Commissions: %1\n").arg(s.commissions);
    write(QStringLiteral("frmGameOver"), s.caption,
          commissions + QStringLiteral("Unrealized P(L): %1\nRealized P(L): %2\nFinal Score: %3\n%4")
                            .arg(s.unrealized, s.realized, s.finalScore, s.verdict));
    return choose({QStringLiteral("btnPlayAgain"), QStringLiteral("btnEnd")}) == QLatin1String("btnEnd")
               ? GameOverChoice::End
               : GameOverChoice::PlayAgain;
}

EndOfGameChoice ScriptedDialogs::endOfGame(const GameSummary& s) {
    write(QStringLiteral("frmEndofGame"), s.caption,
          QStringLiteral("Commissions: %1\nUnrealized P(L): %2\nRealized P(L): %3\nFinal Score: %4\n%5")
              .arg(s.commissions, s.unrealized, s.realized, s.finalScore, s.verdict));
    QStringList buttons{QStringLiteral("btnContinue")};
    if (s.restartEnabled) buttons << QStringLiteral("btnRestartGame");
    buttons << QStringLiteral("btnExit");
    const QString b = choose(buttons);
    if (b == QLatin1String("btnExit")) return EndOfGameChoice::End;
    if (b == QLatin1String("btnRestartGame")) return EndOfGameChoice::PlayAgain;
    return EndOfGameChoice::Continue;
}

void ScriptedDialogs::commissions(const CommissionStatement& st) {
    write(QStringLiteral("frmCommiss"), QStringLiteral("Commission Charges"),
          QStringLiteral("%1\nScore (before commissions): %2\nCommissions: %3\nScore (after commissions): %4")
              .arg(st.explanation, st.before, st.commissions, st.after));
}

void ScriptedDialogs::pastGames(const PastGamesReport& report) {
    QStringList lines;
    if (!report.problem.isEmpty()) lines << report.problem;
    for (const BestScore& b : report.best)
        lines << QStringLiteral("Best %1 Score: $%2").arg(levelName(b.level), formatStandard(b.game.score));
    lines << QStringLiteral("Games: %1").arg(report.games.size());
    write(QStringLiteral("frmPastGames"), QStringLiteral("Past Games"), lines.join('\n'));
}

std::optional<QString> ScriptedDialogs::scenarios(const ScenariosReport& report) {
    QStringList lines;
    if (!report.problem.isEmpty()) lines << report.problem;
    for (const ScenarioChoice& c : report.choices)
        lines << (c.best ? QStringLiteral("%1: Best Score $%2").arg(c.scenario.name, formatStandard(c.best->score))
                         : c.scenario.name);
    write(QStringLiteral("frmScenarios"), QString::fromLatin1(kScenarioTitle), lines.join('\n'));
    if (!answers_.isEmpty() && findScenario(answers_.first())) return findScenario(answers_.takeFirst())->name;
    return std::nullopt;
}

std::optional<int> ScriptedDialogs::rewindPeriod(int last) {
    write(QStringLiteral("frmRewind"), QStringLiteral("Rewind"),
          QStringLiteral("Go back to period (1 to %1):").arg(last));
    bool number = false;
    const int period = answers_.isEmpty() ? 0 : answers_.first().toInt(&number);
    if (!number) return std::nullopt;
    answers_.removeFirst();
    return period;
}

void ScriptedDialogs::scenarioDebrief(const ScenarioDebrief& debrief) {
    write(QStringLiteral("frmDebrief"), debrief.scenario, debriefLines(debrief).join('\n'));
}

void ScriptedDialogs::screenColor() {
    write(QStringLiteral("frmScreenColor"), QStringLiteral("Screen Color"), QString());
}

void ScriptedDialogs::help(int contextId) {
    write(QStringLiteral("Help"), QStringLiteral("dunmere.hlp"),
          contextId == 0 ? QStringLiteral("contents") : QStringLiteral("topic %1").arg(contextId));
}

bool ScriptedDialogs::printMainWindow() {
    write(QStringLiteral("Print"), QStringLiteral("Dunmere"),
          printOk_ ? QStringLiteral("printed") : QStringLiteral("failed"));
    return printOk_;
}

void ScriptedDialogs::loading(bool shown) {
    if (shown)
        write(QStringLiteral("frminitialize"), QStringLiteral("Pellucar"),
              QStringLiteral("Initializing Data:  please wait"));
}

} // namespace pellucar
