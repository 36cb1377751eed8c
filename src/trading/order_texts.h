#pragma once
#include "common/market.h"
#include "trading/side.h"

#include <QString>

// The texts of the trading desk that are built from an order's figures. The
// callers show them; nothing here decides anything.

namespace pellucar {

// Window titles and captions.
inline constexpr char kTraderNotificationTitle[] = "Trader Notification";
inline constexpr char kLotBookFullTitle[] = "* Trader Notification *";
inline constexpr char kMarginCallTitle[] = "*** Immediately Liquidate Positions ***";
inline constexpr char kMarginCallLiquidationTitle[] = "* Margin Call Liquidation *";
inline constexpr char kTradeConfirmationCaption[] = "Electronic Mail:  Trade Confirmation";

// "Number of Contracts to Buy: " or "Number of Contracts to Sell: ".
QString unitsPrompt(Side side);

// The read-back before an order is entered: "Is this order correct? Buy 5
// Oil @ $20.00"; TBond and Soybean show the price as a plain number
// ("... TBond @ $118.15625"). The contracts are shown without sign.
QString orderReadBack(Market market, Side side, double units, double price);

// The fill confirmation: "Transaction Order Filled: 3 Gold Sold @  $385.20";
// TBond and Soybean show up to seven decimals and no dollar sign.
QString fillConfirmation(Market market, double units, double price);

// "You have a margin call equaling  $1,500.05 dollars" for a margin call
// amount of -1,500.05 (the sign is dropped).
QString marginCallMessage(double marginCallAmount);

// "Mandatory Sale: 1 SP500 at $1031.25". `position` is the position being
// liquidated, `contracts` how many are traded. A short bought back because
// part of it covers the shortfall reads "Mandatory Buy: "; one bought back
// whole because nothing less would do reads "Mandatory Purchase: ".
QString mandatoryTradeMessage(Market market, double position, double contracts, bool partSuffices, double price);

// A price as a plain number, as the player read the quote ("385.2", "118.15625").
QString plainPrice(Market market, double price);

} // namespace pellucar
