// The record of past games on a damaged or foreign file; what must hold is listed in README.md.
#include "fuzz_support.h"

#include "app/desk/file_desk.h"

#include <algorithm>
#include <tuple>

using namespace pellucar;

namespace {

QByteArray g_valid;   // a record of a few games
QByteArray g_foreign; // a SQLite file of another layout: the market database
QString g_path;
fuzz::MemoryDatabase* g_file = nullptr; // the record's file as SQLite sees it

const char* const kTexts[] = {"Expert",  "Novice",  "Daily",      "Tick",
                              "Month",   "Quarter", "Year",       "Length",
                              "BlowOut", "Ended",   "1996-01-02", "1996-01-02T16:00:00",
                              "",        "Null",    "1990-13-45", "9999-12-31T23:59:59"};
const char* const kColumns[] = {"GameID",   "PlayedAt",   "PeriodStart", "PeriodEnd",      "Level",
                                "DataMode", "GameLength", "Periods",     "Trades",         "Score",
                                "Verdict",  "Ending",     "Scenario",    "StartingCapital"};
const char* const kPeriodColumns[] = {"GameID", "Period", "Day", "Hour", "AccountValue", "Oil", "TBond"};
const char* const kTradeColumns[] = {"GameID", "Number", "Period", "Market", "Side", "Amount", "Price"};

ReviewRecord sampleReview(int n) {
    ReviewRecord r;
    r.level = n % 2 ? Level::Novice : Level::Expert;
    r.startingCapital = 10000;
    for (int p = 1; p <= 4; ++p)
        r.periods.push_back({QDate(1994, 1, 2 + p), 0, 10000.0 + p, {20.0 + p, 380, 110.5, 460, 72, 6.5}});
    r.trades = {{1, 1, Market::Oil, Side::Buy, false, 2, 21}, {2, 3, Market::Oil, Side::Sell, true, -2, 23}};
    return r;
}

PastGame sample(int n) {
    PastGame g = test::pastGameSample(n % 2 ? Level::Novice : Level::Expert, 1250.5 * (n - 1), n);
    g.ending = n % 2 ? GameEnding::BlownOut : GameEnding::LengthReached;
    return g;
}

auto fields(const PastGame& g) {
    return std::tie(g.playedAt, g.periodStart, g.periodEnd, g.level, g.dataMode, g.length, g.periods, g.trades, g.score,
                    g.verdict, g.ending);
}

// A read as Help > Past Games makes it either lists games or fails with a reason and lists none; rows it left out
// are told.
bool read(PastGames& record, PastGamesReport* report, const char* when) {
    *report = pastGamesReport(record);
    if (!record.failed()) {
        if (record.skipped() > 0 && report->problem.isEmpty())
            fuzz::fail("rows were left out without a word", QString::fromLatin1(when));
        return true;
    }
    if (report->problem.isEmpty()) fuzz::fail("a read failed without a reason", QString::fromLatin1(when));
    if (!report->games.empty()) fuzz::fail("a failed read listed games", QString::fromLatin1(when));
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startQt();
    g_path = fuzz::scratchPath(QStringLiteral("past-games.sqlite"));
    PastGames record(g_path);
    for (int n = 1; n <= 4; ++n) {
        const ReviewRecord review = sampleReview(n);
        if (!record.record(sample(n), &review)) fuzz::fail("fixture", record.lastError());
    }
    g_valid = test::fileBytes(g_path);
    g_foreign = test::fileBytes(test::FixtureDb(QStringLiteral("fuzz-past-games")).path());
    // Each input's file is kept in memory: on disk, its system calls (writes, reads, locks, checks of its size and
    // journal) were a seventh of an input's time. The empty file left there is what the record looks for first.
    if (!test::writeFile(g_path, {})) fuzz::fail("scratch file", g_path);
    fuzz::storeFilesInMemory();
    static fuzz::MemoryDatabase file(fuzz::MemoryDatabase::AtPath{g_path});
    g_file = &file;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    QByteArray file;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: file = QByteArray::fromStdString(in.ConsumeRemainingBytesAsString()); break;
    case 1:
        g_file->write(g_valid);
        fuzz::editValues(in, g_path,
                         std::array{fuzz::EditableTable{"PastGames", kColumns},
                                    fuzz::EditableTable{"GamePeriods", kPeriodColumns},
                                    fuzz::EditableTable{"GameTrades", kTradeColumns}},
                         kTexts, 4);
        g_file->read(file);
        break;
    case 2: file = g_foreign; break;
    default: file = g_valid; break;
    }
    if (in.remaining_bytes() > 0) fuzz::patchBytes(in, file);
    g_file->write(file);

    PastGames record(g_path);
    PastGamesReport shown;
    const bool readBefore = read(record, &shown, "before recording");
    const std::vector<PastGame> before = shown.games;
    // Every review either reads whole and checked, or not at all and says why.
    for (const PastGame& g : before) {
        QString why;
        const std::optional<ReviewRecord> review = shown.review(g.id, &why);
        if (review && !reviewRecordProblem(*review).isEmpty()) fuzz::fail("a review read unchecked", g.verdict);
        if (!review && why.isEmpty()) fuzz::fail("a review refused without a reason", g.verdict);
        if (review) reviewFigures(*review);
    }
    const PastGame game = sample(in.ConsumeIntegralInRange(0, 30));
    if (!record.record(game)) {
        if (record.lastError().isEmpty()) fuzz::fail("a record failed without a reason", QString());
        return 0;
    }
    if (!read(record, &shown, "after recording")) {
        if (readBefore) fuzz::fail("a readable record became unreadable by a game written", record.lastError());
        return 0;
    }
    const std::vector<PastGame>& after = shown.games;
    if (readBefore && after.size() != before.size() + 1)
        fuzz::fail("a game written is not one more in the list",
                   QStringLiteral("%1 before, %2 after").arg(before.size()).arg(after.size()));
    if (std::none_of(after.begin(), after.end(), [&](const PastGame& g) { return fields(g) == fields(game); }))
        fuzz::fail("a game written is not in the list", game.verdict);
    return 0;
}
