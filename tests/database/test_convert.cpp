// The raw-file converter on small inline inputs shaped like the public files.
#include "convert.h"

#include <gtest/gtest.h>

#include <array>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using namespace pellucar::convert;

namespace {

QDate day(const char* iso) { return QDate::fromString(iso, Qt::ISODate); }

std::vector<QString> contracts(const Bars& bars) {
    std::vector<QString> out;
    for (const Bar& b : bars) out.push_back(b.contract);
    return out;
}

bool noted(const Notes& notes, const char* text) {
    return std::any_of(notes.begin(), notes.end(), [&](const Note& n) { return n.text.contains(text); });
}

Bar flat(const char* d, double close, qint64 volume, const char* contract, const char* source) {
    return {day(d), close, close, close, close, volume, 0, contract, source};
}

void expectPrices(const Bar& b, const std::array<double, 4>& openHighLowClose) {
    const double got[] = {b.open, b.high, b.low, b.close};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_DOUBLE_EQ(got[i], openHighLowClose[i])
            << "price " << i << " of " << b.date.toString(Qt::ISODate).toStdString();
}

} // namespace

TEST(ParseContinuous, ReadsNewestFirstFilesIntoDateOrderAndFillsMissingPrices) {
    Notes notes;
    const Bars bars = parseContinuous("Date,Open,High,Low,Last,Change,Settle,Volume,Open Interest\n"
                                      "1983-04-05,.,29.9,,,,29.8,1200.0,600.0\n"
                                      "1983-04-04,29.5,0,29.3,,,29.45,,\n"
                                      "1983-04-01,,,,,,.,5.0,5.0\n"
                                      "1983-03-31,29.4,29.6,29.25,,,29.29,521.0,523.0\r\n",
                                      "CL1", &notes);
    ASSERT_EQ(bars.size(), 3u); // the row without a settle is dropped
    EXPECT_EQ((std::tuple{bars[0].date, bars[2].date}), (std::tuple{day("1983-03-31"), day("1983-04-05")}));
    EXPECT_TRUE(bars[0].volume == 521 && bars[0].openInterest == 523 && bars[1].volume == 0);
    expectPrices(bars[1], {29.5, 29.5, 29.3, 29.45}); // zero high: the settle stands in, then the open bounds it
    expectPrices(bars[2], {29.8, 29.9, 29.8, 29.8});  // '.' open and blank low take the settle
    EXPECT_TRUE(noted(notes, "without a date or settle"));
}

TEST(CrudeContracts, FollowTheExpiryThreeBusinessDaysBeforeThe25th) {
    // January 1990: the 25th is a Thursday, February expires Monday the 22nd. November 1990: the
    // 25th is a Sunday and the 22nd Thanksgiving, January expires three business days before the 23rd.
    Bars bars;
    for (const char* d : {"1990-01-19", "1990-01-22", "1990-01-23", "1990-01-24", "1990-01-25", "1990-11-15",
                          "1990-11-16", "1990-11-19", "1990-11-20", "1990-11-21", "1990-11-23"})
        bars.push_back(flat(d, 1, 0, "", ""));
    assignCrudeContracts(bars);
    EXPECT_EQ(contracts(bars), (std::vector<QString>{"199002", "199002", "199003", "199003", "199003", "199012",
                                                     "199012", "199012", "199101", "199101", "199101"}));
}

TEST(ParseQuantiacs, TakesContractsFromTheRollFlagsAndRepairsARepeatedOne) {
    // A flagged row is the old contract's last day; rows before the first flag hold the contract
    // before it. As published, two flags name June 1991: the rows after the first carry March prices.
    Notes notes;
    const Bars bars = parseQuantiacs("DATE, OPEN, HIGH, LOW, CLOSE, VOL, OI, P, R, RINFO\n"
                                     "19900823,90000,90000,90000,90000,1,1,199012,199012,0\n"
                                     "19900824,90000,90000,90000,90000,1,1,0,0,0\n"
                                     "19901123,94000,94000,94000,94000,1,1,199106,199106,0\n"
                                     "19901126,94375,94375,94375,94375,1,1,0,0,0\n"
                                     "19910221,97406,97406,97406,97406,1,1,199106,199106,0\n"
                                     "19910222,96562,96562,96562,96562,1,1,0,0,0\n"
                                     "19911121,99437,99437,99437,99437,1,1,199203,199203,0\n"
                                     "19920521,100531,100531,100531,100531,1,1,199209,199209,0\n",
                                     1000, "F_US", &notes);
    EXPECT_EQ(contracts(bars),
              (std::vector<QString>{"199009", "199012", "199103", "199103", "199103", "199106", "199106", "199203"}));
    EXPECT_TRUE(noted(notes, "as does the next"));
    EXPECT_DOUBLE_EQ(bars[3].close, 94.375);
}

TEST(ParseSettlement, TakesTheNearerContractThatHasAPrice) {
    Notes notes;
    const Bars bars = parseSettlement("DATETIME,CARRY,CARRY_CONTRACT,PRICE,PRICE_CONTRACT,FORWARD,FORWARD_CONTRACT\n"
                                      "1983-07-01 23:00:00,,19830800,59.6,19831000,,19840800\n"
                                      "1983-07-05 23:00:00,62.42,19830800,58.875,19831000,,19840800\n"
                                      "1983-07-06 23:00:00,62.5,19840800,58.9,19831000,,19840800\n"
                                      "1983-07-07 23:00:00,,19830800,,19831000,,19840800\n",
                                      "LIVECOW.csv", &notes);
    ASSERT_EQ(bars.size(), 3u);
    // No carry price: PRICE. Carry priced and nearer: CARRY. Carry priced but farther out: PRICE.
    EXPECT_EQ(contracts(bars), (std::vector<QString>{"198310", "198308", "198310"}));
    EXPECT_EQ((std::tuple{bars[1].source, bars[2].source}), (std::tuple{"LIVECOW.csv:CARRY", "LIVECOW.csv:PRICE"}));
    expectPrices(bars[1], {62.42, 62.42, 62.42, 62.42});
    EXPECT_TRUE(noted(notes, "without a price"));
}

TEST(Mending, FilledInAndMissingDaysComeFromTheBackupOnlyForTheSameContract) {
    Bars primary{flat("1997-07-22", 19.08, 100, "199709", "CL1"), flat("1997-07-23", 19.08, 0, "199709", "CL1"),
                 flat("1997-07-25", 19.89, 100, "199709", "CL1"), flat("1997-07-28", 19.81, 100, "199710", "CL1"),
                 flat("1997-07-30", 19.7, 100, "199709", "CL1"),  flat("1997-07-31", 19.7, 0, "199709", "CL1")};
    const Bars backup{flat("1997-07-23", 19.63, 9, "199709", "F_CL"), flat("1997-07-24", 19.77, 9, "199709", "F_CL"),
                      flat("1997-07-29", 19.85, 9, "199710", "F_CL"), flat("1997-07-31", 19.6, 9, "199710", "F_CL")};
    Notes notes;
    replaceFilledRows(primary, backup, &notes);
    fillGaps(primary, backup, &notes);
    std::vector<double> closes;
    for (const Bar& b : primary) closes.push_back(b.close);
    // 07-23 (no volume, previous close) replaced; 07-24 filled inside one contract; 07-29 between
    // two contracts and 07-31 of another contract in the backup are left alone.
    EXPECT_EQ(closes, (std::vector<double>{19.08, 19.63, 19.77, 19.89, 19.81, 19.7, 19.7}));
    EXPECT_TRUE(noted(notes, "filled-in row kept"));
}

// Bond fractions and cattle prices written rounded come back to their grid; a price no rounding made is kept and noted.
TEST(SnapToGrid, RestoresRoundedPricesAndLeavesOthersAlone) {
    Bars bonds{{day("1986-03-27"), 100.438, 77.6562, 98.7813, 100.4, 0, 0, "198606", "US20.csv:PRICE"}};
    Notes bondNotes;
    snapToGrid(bonds, 1.0 / 64, 0.001, &bondNotes);
    // Six digits above 100, four decimals below; 100.4 is no 64th: kept and noted.
    expectPrices(bonds[0], {100.4375, 77.65625, 98.78125, 100.4});
    EXPECT_EQ(bondNotes.size(), 1u);

    Bars bars{{day("1985-06-03"), 60.42, 60.67, 60.88, 60.7, 0, 0, "198508", "LIVECOW.csv:PRICE"},
              {day("1985-06-04"), 60.41, 60.41, 60.41, 60.41, 0, 0, "198508", "LIVECOW.csv:PRICE"}};
    Notes notes;
    EXPECT_EQ(snapToGrid(bars, 0.025, 0.005 + 1e-9, &notes), 3);
    expectPrices(bars[0], {60.425, 60.675, 60.875, 60.7});
    expectPrices(bars[1], {60.41, 60.41, 60.41, 60.41}); // 0.01 from the grid: no rounding made it, kept and noted
    EXPECT_EQ(notes.size(), 4u);
}

TEST(ReadEighths, TakesAOneDigitFractionOffTheQuarterGridAsEighths) {
    Bars bars{{day("1996-01-05"), 753.2, 753.4, 750.5, 753.6, 0, 0, "199603", "F_S"},
              {day("1996-01-08"), 742.3, 747.65, 735.5, 736.25, 0, 0, "199603", "F_S"}};
    Notes notes;
    readEighths(bars, 0.25, &notes);
    // 750.5 is a half cent, not five eighths; 742.3 (3/8) is left for the grid check; two decimals are no eighths.
    expectPrices(bars[0], {753.25, 753.5, 750.5, 753.75});
    expectPrices(bars[1], {742.3, 747.65, 735.5, 736.25});
    EXPECT_EQ(notes.size(), 3u);
    EXPECT_TRUE(noted(notes, "753.6 read as cents and eighths, 753.75"));
}
