#pragma once
#include <QString>

namespace pellucar {

// The verdict bands by gain ratio g (compared in single precision).
enum class VerdictBand { Double, Strong, Good, Positive, FlatBusy, FlatQuiet, SmallLoss, Loss, HeavyLoss };

VerdictBand verdictBand(float g, int tradeCount, bool novice);
// column 0 = Novice, 1..4 = the four expert sets; pick 1 or 2 chooses
// between the two texts of a cell that holds two.
QString verdictText(VerdictBand band, int column, int pick);
bool verdictHasTwoTexts(VerdictBand band, int column);

} // namespace pellucar
