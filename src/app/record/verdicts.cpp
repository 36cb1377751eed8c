#include "app/record/verdicts.h"

#include <QStringList>

namespace pellucar {

namespace {

// Rows in band order; columns Novice, sets 1 to 4. "|" separates the two
// texts of a cell the second draw chooses between.
const char* const kTable[9][5] = {
    {"Excellent Trading!", "Hail to the Market Wizard!", "Do Not Pass Go, Move Immediately to Wall Street!",
     "Clearly You are Omniscient!", "Wonderful Job, You More Than Doubled Your Money!"},
    {"Very Good Trading", "Excellent Trading", "Excellent Trading:  Time to Think About Opening a Real Account!",
     "Don't You Wish This Was Real Money!", "Excellent Technical Trading"},
    {"Good Trading", "Nice Job Trading", "Good Job!", "At this Rate, You will be Able to Retire Early", "Great Job!"},
    {"Satisfactory Trading|Positive Result", "Positive Numbers are Always Better than Negatives",
     "How About Leveraging Your Positions More?", "Remember: Trade Slowly, Carry a Big Account!",
     "Profitable Account|Nicely Done, Son!"},
    {"All That Work For Nothing!", "At Least Your Broker Made Money", "Patience is a Virtue",
     "All Work and No Play Makes Jack a Dull Boy", "Remember to Let Gains Run"},
    {"Next Time Maybe Try More Trades", "Staying Alive to Try Another Day", "Maybe Next Time",
     "All Volatility is Born of Desire", "Remember to Let Gains Run"},
    {"Keep Practicing", "Best to be Careful with this Monetary Stuff!", "Never Risk More than You can Afford to Lose",
     "Tread Gingerly Before Proceeding With Real Money!", "Keep Your Positions Small"},
    {"Trading Needs Improvement", "Back to the Fundamental Analyis Drawing Board",
     "Next Time, How About Buying Low and Selling High?", "Don't Mortgage the Farm Just Yet", "Cut Your Losses Faster"},
    {"Stay at the Beginner Level", "Don't Quit Your Day Job!",
     "You are the 'Rogue Trader'|Ever Thought About Living in Texas?",
     "Time to Forget About that Vacation House on Beach", "Be Glad This Isn't Real Money!"},
};

} // namespace

VerdictBand verdictBand(float g, int tradeCount, bool novice) {
    if (g >= 1.0f) return VerdictBand::Double;
    if (g >= 0.25f) return VerdictBand::Strong;
    if (g > 0.1f) return VerdictBand::Good;
    if (g > 0.0f) return VerdictBand::Positive;
    if (g == 0.0f) return tradeCount > (novice ? 4 : 5) ? VerdictBand::FlatBusy : VerdictBand::FlatQuiet;
    if (g >= -0.1f) return VerdictBand::SmallLoss;
    if (g > -0.25f) return VerdictBand::Loss;
    return VerdictBand::HeavyLoss;
}

QString verdictText(VerdictBand band, int column, int pick) {
    if (column < 0 || column > 4) return {};
    const QStringList texts = QString::fromLatin1(kTable[static_cast<int>(band)][column]).split('|');
    return texts.value(texts.size() > 1 && pick == 2 ? 1 : 0);
}

bool verdictHasTwoTexts(VerdictBand band, int column) {
    if (column < 0 || column > 4) return false;
    return QString::fromLatin1(kTable[static_cast<int>(band)][column]).contains('|');
}

} // namespace pellucar
