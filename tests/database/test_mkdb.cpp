// The database builder on the small data folder under fixture/.
#include "db_test_support.h"

#include "csv.h"
#include "market/database.h"
#include "market/market_data.h"
#include "mkdb.h"
#include "synthetic_trades.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace dbtest;
using namespace pellucar::mkdb;

namespace {

const QString kFixture = QStringLiteral(PELLUCAR_DB_FIXTURE_DIR);

class Mkdb : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    QString build(const QString& name, const QString& ticks = {}, const QString& data = kFixture) {
        Report report;
        QString error;
        EXPECT_TRUE(buildDatabase({data, ticks, temp.filePath(name)}, &report, &error)) << error.toStdString();
        return temp.filePath(name);
    }

    QString write(const QString& name, const QByteArray& text) {
        EXPECT_TRUE(pellucar::test::writeFile(temp.filePath(name), text)) << name.toStdString();
        return temp.filePath(name);
    }

    // A copy of the fixture without one of its files, or (text set) with that text in it.
    QString fixtureWith(const QString& relative, const QByteArray& text) {
        const QString root = temp.filePath(QString(relative).replace('/', '-') + (text.isEmpty() ? "" : "+"));
        for (const QString sub : {"daily", "news"}) {
            QDir().mkpath(root + "/" + sub);
            for (const QString& f : QDir(kFixture + "/" + sub).entryList(QDir::Files))
                if (sub + "/" + f != relative) QFile::copy(kFixture + "/" + sub + "/" + f, root + "/" + sub + "/" + f);
        }
        EXPECT_TRUE(text.isEmpty() || pellucar::test::writeFile(root + "/" + relative, text));
        return root;
    }

    // The ticks of January 1996 read through the file's stored hourly figures and again
    // trade by trade from a copy without them: the game must get the same hours either way.
    void expectSameHoursBothWays(const QString& file) {
        const QString plain = temp.filePath("without_hours.mdb");
        QFile::remove(plain);
        ASSERT_TRUE(QFile::copy(file, plain) && pellucar::test::sql(plain, "DROP TABLE TickPeriods"));
        pellucar::MarketDatabase hours, trades;
        ASSERT_TRUE(hours.open(file) && trades.open(plain));
        ASSERT_TRUE(hours.hasTickPeriods() && !trades.hasTickPeriods());
        const QDate month(1996, 1, 1);
        pellucar::MarketData read[2];
        pellucar::MarketDatabase* from[2] = {&hours, &trades};
        for (int way = 0; way < 2; ++way) {
            pellucar::MarketData& md = read[way];
            ASSERT_GT(pellucar::LoadTradingDays(*from[way], "Tick", true, month, md.tradingDays), 0);
            md.startTickDays();
            for (int id = 1; id <= pellucar::kMarketCount; ++id)
                ASSERT_NE(pellucar::LoadTickData(*from[way], id, month, true, md), pellucar::kLoadFailed);
        }
        EXPECT_TRUE(read[0].tickDays == read[1].tickDays);
    }

    QTemporaryDir temp;
};

// The day's ticks of one market as the game reads them.
std::vector<double> ticksOf(const QString& file, int id, const std::string& day) {
    std::vector<double> out;
    for (const Row& r : Database(file.toStdString())
                            .query("SELECT realprice FROM TickData WHERE CommodityID = ? AND DateTime LIKE ? "
                                   "ORDER BY rowid",
                                   {std::to_string(id), day + " %"}))
        out.push_back(std::round(gameTickPrice(id, num(r[0])) * 1e6) / 1e6);
    return out;
}

} // namespace

TEST_F(Mkdb, SameInputGivesTheSameBytesWhateverTheNameAndTicksKeepAHalf32ndAndAnEighthOfACent) {
    const QByteArray first = fileBytes(build("a.mdb"));
    ASSERT_GT(first.size(), 0);
    EXPECT_EQ(first, fileBytes(build("other.mdb")));
    EXPECT_EQ(first, fileBytes(build("a.mdb"))); // rebuilt over itself
    EXPECT_FALSE(QFile::exists(temp.filePath("a.mdb.tmp")));
    // The encodings' finest steps, which the built file's tick years need not hold.
    EXPECT_EQ(ticksOf(temp.filePath("a.mdb"), 6, "1996-01-02").back(), 121.015625);
    EXPECT_EQ(ticksOf(temp.filePath("a.mdb"), 5, "1996-01-04")[3], 740.125);
}

TEST_F(Mkdb, ImportedTradesReplaceTheDerivedTicksOfTheDaysTheyCoverOnly) {
    const QString ticks = write("trades.csv", "market,datetime,price\n"
                                              "Oil,1996-01-02 09:31,19.62\n"
                                              "oil,1996-01-02 08:45:10,19.6\n"
                                              "Soybean,1996-01-03 10:16,757.75\n"
                                              "TBond,1996-01-03T07:21:00,121.03125\n");
    const QString plain = build("plain.mdb"), real = build("real.mdb", ticks);
    EXPECT_EQ(Database(real.toStdString())
                  .query("SELECT DateTime FROM TickData WHERE CommodityID = 3 AND DateTime LIKE '1996-01-02 %'"),
              (std::vector<Row>{{"1996-01-02 08:45:10"}, {"1996-01-02 09:31:00"}})); // stored in time order
    EXPECT_EQ(ticksOf(real, 3, "1996-01-02"), (std::vector<double>{19.6, 19.62}));
    EXPECT_EQ(ticksOf(real, 5, "1996-01-03"), (std::vector<double>{757.75}));
    EXPECT_EQ(ticksOf(real, 6, "1996-01-03"), (std::vector<double>{121.03125}));
    for (int id = 1; id <= 6; ++id)
        for (const std::string day : {"1996-01-02", "1996-01-03", "1996-01-04"}) {
            const bool covered = (id == 3 && day == "1996-01-02") || ((id == 5 || id == 6) && day == "1996-01-03");
            if (!covered) {
                EXPECT_EQ(ticksOf(real, id, day), ticksOf(plain, id, day)) << id << " " << day;
            }
        }
    EXPECT_EQ(Database(real.toStdString())
                  .count("SELECT Rows FROM DataSources WHERE CommodityID = 3 AND Kind = 'real trades'"),
              2);

    // The hours stored for the game are those its reader makes of the trades.
    const QString many = temp.filePath("many.csv");
    QString error;
    ASSERT_TRUE(writeSyntheticTrades(kFixture, QDate(1996, 1, 1), QDate(1996, 2, 1), 6000, many, &error))
        << error.toStdString();
    expectSameHoursBothWays(build("many.mdb", many));
    expectSameHoursBothWays(plain); // and of the ticks derived from the days
}

TEST_F(Mkdb, ImportedTradesOfTheSameSecondKeepTheFilesOrderWhereverTheyStand) {
    // Staged and sorted on disk: the sort must not shuffle the trades of one second.
    const QString ticks = write("same_second.csv", "market,datetime,price\n"
                                                   "Oil,1996-01-02 09:31:00,19.7\n"
                                                   "Gold,1996-01-02 09:31,390\n"
                                                   "Oil,1996-01-02 09:31,19.62\n"
                                                   "Oil,1996-01-02 08:00,19.5\n"
                                                   "Oil,1996-01-02T09:31,19.66\n");
    EXPECT_EQ(ticksOf(build("same_second.mdb", ticks), 3, "1996-01-02"),
              (std::vector<double>{19.5, 19.7, 19.62, 19.66}));
}

TEST_F(Mkdb, ImportedTradesGiveTheSameFileInWhateverOrderOrSpellingTheyCome) {
    // Each market's trades in time order are read back as they were kept;
    // any other order is sorted. Plain fields are read as bytes; the others
    // as text. Every way must give the bytes of the first.
    const QByteArray header = "market,datetime,price\n";
    const struct {
        const char* name;
        QByteArray lines;
    } cases[] = {
        {"each market in time order",
         "Gold,1996-01-02 07:25:00,390.5\nGold,1996-01-03 08:40:00,391\nOil,1996-01-02 08:45:10,19.6\n"
         "Oil,1996-01-02 09:31:00,19.62\nSP500,1996-01-03 08:31:00,601.25\n"},
        {"markets interleaved",
         "Gold,1996-01-02 07:25:00,390.5\nOil,1996-01-02 08:45:10,19.6\nOil,1996-01-02 09:31:00,19.62\n"
         "SP500,1996-01-03 08:31:00,601.25\nGold,1996-01-03 08:40:00,391\n"},
        {"out of time order",
         "Oil,1996-01-02 09:31:00,19.62\nSP500,1996-01-03 08:31:00,601.25\nGold,1996-01-03 08:40:00,391\n"
         "Oil,1996-01-02 08:45:10,19.6\nGold,1996-01-02 07:25:00,390.5\n"},
        {"spelt otherwise",
         " gold ,1996-01-02T07:25,+390.50\n\"GOLD\",1996-01-03 08:40,3.91e2\noil,\" 1996-01-02 08:45:10\",19.60\n"
         "Oil,1996-01-02 09:31,\" 19.62\"\nsp500,1996-01-03T08:31:00,601.250\n"},
    };
    QByteArray first;
    for (const auto& c : cases) {
        QDir(temp.path()).mkpath(c.name); // the trades file's name is stored
        const QString ticks = write(QStringLiteral("%1/trades.csv").arg(c.name), header + c.lines);
        const QByteArray built = fileBytes(build(QStringLiteral("%1/trades.mdb").arg(c.name), ticks));
        if (first.isEmpty()) first = built;
        EXPECT_EQ(built, first) << c.name;
    }
    EXPECT_EQ(ticksOf(temp.filePath("spelt otherwise/trades.mdb"), 2, "1996-01-03"), (std::vector<double>{391}));
}

TEST_F(Mkdb, ATradeTheRulesCannotReadStopsTheImportAndSaysWhy) {
    const struct {
        const char* line;
        const char* why;
    } cases[] = {
        {"Gas,1996-01-02 10:00,19", "unknown market 'Gas'"},
        {"Oil,1996-02-30 10:00,19", "datetime '1996-02-30 10:00' is not"},
        {"Oil,1996-01-02 24:00,19", "datetime '1996-01-02 24:00' is not"},
        {"Oil,1996-01-02 10:00:6,19", "datetime '1996-01-02 10:00:6' is not"},
        {"Oil,1996-01-02 10:00,0", "price '0' is not a positive number"},
        {"Oil,1996-01-02 10:00,-19", "price '-19' is not a positive number"},
        {"Oil,1996-01-02 10:00,1.2.3", "price '1.2.3' is not a positive number"},
        {"Oil,1996-01-02 10:00", "2 fields, expected 3"},
        // A Sunday: nobody traded, so the game's calendar has no place for it.
        {"Gold,1996-01-07 10:00,390", "1996-01-07 is not a trading day"},
    };
    for (const auto& c : cases) {
        const QString ticks = write("bad.csv", QByteArray("market,datetime,price\nOil,1996-01-02 09:00,19\n") + c.line);
        Report report;
        QString error;
        EXPECT_FALSE(buildDatabase({kFixture, ticks, temp.filePath("bad.mdb")}, &report, &error)) << c.line;
        EXPECT_TRUE(error.contains("line 3: ") && error.contains(c.why)) << c.line << ": " << error.toStdString();
        EXPECT_FALSE(QFile::exists(temp.filePath("bad.mdb"))) << c.line;
    }
}

TEST_F(Mkdb, ReleasesAreStoredByDateThenTimeKeepingFileOrderWithinAMinute) {
    const auto rows = Database(build("n.mdb").toStdString())
                          .query("SELECT NRDate, NRTime, NRTitle FROM SortedTickNewsReleases ORDER BY rowid");
    EXPECT_EQ(rows, (std::vector<Row>{{"1996-01-02", "08:30:00", "Jobs report"},
                                      {"1996-01-04", "08:30:00", "First of two at 8:30"},
                                      {"1996-01-04", "08:30:00", "Second of two at 8:30"},
                                      {"1996-01-04", "10:00:00", "Later that morning"}}));
}

TEST_F(Mkdb, OverviewsJoinTheComputedYearToItsParagraph) {
    const Database db(build("o.mdb").toStdString());
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM OverviewNews WHERE Date IN ('1995-01-01', '1996-01-01')"), 12);
    const std::string oil =
        db.query("SELECT News FROM OverviewNews WHERE Date = '1996-01-01' AND CommodityID = 3")[0][0];
    EXPECT_EQ(oil.rfind("Crude oil futures opened 1996 at $19.81 a barrel on January 2", 0), 0u) << oil;
    EXPECT_NE(oil.find(".\n\nFixture background for Oil in 1996, with a comma.\nAnd a second line with \"quotes\"."),
              std::string::npos)
        << oil;
    EXPECT_EQ(db.query("SELECT News FROM OverviewNews WHERE Date = '1965-10-17' AND CommodityID = 0"),
              (std::vector<Row>{{"Fixture disclaimer: prices are historical.\nSecond line."}}));
}

TEST_F(Mkdb, AMissingInputStopsTheBuildAndSaysWhich) {
    QByteArray noSoybean1996 = fileBytes(kFixture + "/news/overview_1983_1996.csv");
    noSoybean1996.truncate(noSoybean1996.lastIndexOf("\"1996\",\"Soybean\""));
    const struct {
        QString file, named;
        QByteArray text{}; // empty: the file is missing
    } cases[] = {
        {"news/disclaimer.txt", "disclaimer.txt"},
        {"news/releases_1996_1997.csv", "releases_1996_1997.csv"},
        {"news/overview_1983_1996.csv", "overview_1983_1996.csv"},
        {"daily/Soybean.csv", "Soybean.csv"},
        {"news/overview_1983_1996.csv", "Soybean 1996", noSoybean1996}, // a market-year without its paragraph
    };
    for (const auto& c : cases) {
        const QString data = fixtureWith(c.file, c.text);
        Report report;
        QString error;
        EXPECT_FALSE(buildDatabase({data, {}, data + ".mdb"}, &report, &error));
        EXPECT_TRUE(error.contains(c.named)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(data + ".mdb"));
    }
}

// Records come out the same however the text is cut into the blocks read.
TEST(CsvReader, RecordsDoNotDependOnWhereTheBlocksEnd) {
    const QByteArray text = "\xEF\xBB\xBF"
                            "a,b\r\np\rq,r\n\n\"x, \"\"y\"\"\",2\r\n\"two\r\nlines\",\n  \nlast,\"\"";
    const std::vector<std::pair<int, QStringList>> expected{{1, {"a", "b"}},         {2, {"p"}},
                                                            {3, {"q", "r"}},         {5, {"x, \"y\"", "2"}},
                                                            {6, {"two\nlines", ""}}, {9, {"last", ""}}};
    for (const qint64 block : {1, 2, 3, 5, 64}) {
        QByteArray bytes = text;
        QBuffer device(&bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        CsvReader reader(&device, block);
        std::vector<std::pair<int, QStringList>> got;
        for (CsvRecord r; reader.next(&r);) got.emplace_back(r.line, r.fields);
        EXPECT_EQ(got, expected) << block;
        EXPECT_TRUE(reader.error().isEmpty()) << block;
    }
    std::vector<CsvRecord> records;
    QString error;
    EXPECT_FALSE(parseCsv(QStringLiteral("a\n\"open"), &records, &error));
    EXPECT_EQ(error, "line 2: quoted field never closed");
}

TEST(YearSummary, SaysWhenTheYearCrossesRollsOrCoversOnlyPartOfIt) {
    auto row = [](const char* date, double close, const char* contract, const char* source) {
        DailyRow d{date, close, close, close, close, 0, 0, contract, source};
        return d;
    };
    const QString cattle = yearSummary(markets()[0], 1985,
                                       {row("1985-01-02", 60.5, "198508", "LIVECOW.csv:PRICE"),
                                        row("1985-08-21", 55.62, "198510", "LIVECOW.csv:CARRY"),
                                        row("1985-12-31", 62, "198608", "LIVECOW.csv:PRICE")});
    EXPECT_TRUE(cattle.startsWith("Live cattle futures opened 1985 at 60.50 cents a pound on January 2 and closed "
                                  "the year at 62.00 on December 31, up 2.5%. The highest close was 62.00 on "
                                  "December 31 and the lowest 55.62 on August 21."))
        << cattle.toStdString();
    EXPECT_TRUE(cattle.contains("2 contract rolls during the year, from the August 1985 contract to the August 1986"));
    EXPECT_TRUE(cattle.contains("settlement prices") && !cattle.contains("cover only"));
    // Bonds in points and 32nds (64ths for a half), and a year that starts late.
    const QString bonds =
        yearSummary(markets()[5], 1983,
                    {row("1983-09-19", 70.5, "198312", "F_US"), row("1983-12-30", 70.015625, "198312", "F_US")});
    EXPECT_TRUE(bonds.contains("at 70 16/32 points") && bonds.contains("70 1/64") &&
                bonds.contains("cover only September 19 to December 30") &&
                bonds.contains("All of these prices are from the December 1983 contract") &&
                !bonds.contains("settlement"))
        << bonds.toStdString();
}
