#include "app/record/scenarios.h"

namespace pellucar {

namespace {

// The briefs say only what a trader could have read on the first morning:
// the scene, the prices, what people were watching, never what came next.
std::vector<Scenario> makeScenarios() {
    return {
        {QStringLiteral("Oil at the New Year, 1986"), QDate(1986, 1, 1), Level::Novice, DataMode::Daily,
         GameLength::Quarter, Market::Oil,
         QStringLiteral("January 1986. Crude oil trades near $26 a barrel. Producers outside OPEC keep pumping "
                        "more, and Saudi Arabia, which has cut its own output for years to hold the price up, now "
                        "speaks of winning back its share of the market. You trade crude oil for one quarter.")},
        {QStringLiteral("Autumn 1987"), QDate(1987, 10, 1), Level::Expert, DataMode::Daily, GameLength::Quarter,
         Market::SP500,
         QStringLiteral(
             "October 1987. Stocks have risen for five years, and the S&P 500 stands a little below its "
             "August record. The dollar is weak, the trade deficit is wide and long-term interest rates "
             "have risen about two points since the spring, to near 10%. Many large funds now hedge with portfolio "
             "insurance, selling index futures as prices fall.")},
        {QStringLiteral("Planting Season, 1988"), QDate(1988, 5, 1), Level::Expert, DataMode::Daily,
         GameLength::Quarter, Market::Soybean,
         QStringLiteral("May 1988. Planting is under way across the Corn Belt after a dry spring in much of the "
                        "Midwest, and the weather services are watching the soil moisture. Soybeans trade near $7.05 "
                        "a bushel; the weather of the coming weeks will decide the size of the crop.")},
        {QStringLiteral("Stocks, Summer 1990"), QDate(1990, 7, 1), Level::Expert, DataMode::Daily, GameLength::Quarter,
         Market::SP500,
         QStringLiteral("July 1990. The S&P 500 stands near its record after a strong spring. The economy is "
                        "slowing, banks and savings and loans carry many bad property loans, and crude oil is "
                        "cheap. Congress and the White House are negotiating a budget.")},
        {QStringLiteral("Oil, Summer 1990"), QDate(1990, 7, 1), Level::Expert, DataMode::Daily, GameLength::Quarter,
         Market::Oil,
         QStringLiteral("July 1990. Crude oil trades near $17 a barrel, held down by OPEC members pumping above "
                        "their quotas. Iraq, deep in debt after its war with Iran, complains that its neighbours' "
                        "overproduction is costing it billions: at the Arab summit in Baghdad in May its president "
                        "called it a kind of war against Iraq.")},
        {QStringLiteral("The January Deadline, 1991"), QDate(1991, 1, 1), Level::Expert, DataMode::Daily,
         GameLength::Month, Market::Oil,
         QStringLiteral("January 1991. Iraqi forces have held Kuwait since August, and the United Nations has set "
                        "January 15 as the last day for them to leave. Crude oil, which more than doubled in the "
                        "autumn, trades near $28 a barrel. President Bush offered at the end of November to send "
                        "his Secretary of State to Baghdad, but no date for the talks has been agreed.")},
        {QStringLiteral("Bonds, Winter 1994"), QDate(1994, 2, 1), Level::Expert, DataMode::Daily, GameLength::Quarter,
         Market::TBond,
         QStringLiteral(
             "February 1994. Long-term interest rates are near their lowest in a generation, and the "
             "Federal Reserve has held short rates at 3% for a year and a half. The economy is growing "
             "faster, and the Fed's chairman told Congress on January 31 that short-term rates are unusually "
             "low. Treasury bonds trade near 117.")},
        {QStringLiteral("Soybeans, Winter 1997"), QDate(1997, 1, 1), Level::Expert, DataMode::Tick, GameLength::Quarter,
         Market::Soybean,
         QStringLiteral("January 1997. The small crop of 1995 left few soybeans in store last summer, and in July "
                        "they reached $8.38 a bushel, their highest price since the drought of 1988. Soybeans "
                        "trade near $6.88 now. You trade hour by hour.")},
        {QStringLiteral("Gold, January 1997"), QDate(1997, 1, 1), Level::Expert, DataMode::Tick, GameLength::Month,
         Market::Gold,
         QStringLiteral("January 1997. Gold trades near $369 an ounce, within the range of $327 to $502 it has "
                        "kept for the past ten years. Belgium's central bank sold part of its gold reserves last "
                        "year, and the dollar has risen strongly against the yen since 1995. You trade hour by "
                        "hour.")},
        {QStringLiteral("Autumn 1997"), QDate(1997, 10, 1), Level::Expert, DataMode::Tick, GameLength::Month,
         Market::SP500,
         QStringLiteral("October 1997. Thailand let its currency float in July, and the currencies of Malaysia, "
                        "Indonesia and the Philippines have fallen since. The S&P 500 trades near 955, close to "
                        "its record after another year of strong gains. Hong Kong's dollar, tied to the American "
                        "dollar, is watched closely. You trade hour by hour.")},
    };
}

QString folded(const QString& s) { return s.simplified().toCaseFolded(); }

} // namespace

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> list = makeScenarios();
    return list;
}

const Scenario* findScenario(const QString& name) {
    for (const Scenario& s : scenarios())
        if (folded(s.name) == folded(name)) return &s;
    return nullptr;
}

std::vector<ScenarioChoice> scenarioChoices(const std::vector<PastGame>& games) {
    std::vector<ScenarioChoice> out;
    for (const Scenario& s : scenarios()) {
        ScenarioChoice c{s, std::nullopt};
        for (const PastGame& g : games)
            if (g.scenario == s.name && !g.practice &&
                (!c.best || g.score > c.best->score || (g.score == c.best->score && g.playedAt < c.best->playedAt)))
                c.best = g;
        out.push_back(std::move(c));
    }
    return out;
}

} // namespace pellucar
