#include "app/saved_game.h"

#include "app/game_state.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace pellucar {

namespace {

constexpr char kMagic[] = "PLCRSAVE";
constexpr qsizetype kMagicSize = 8;
constexpr qsizetype kHeaderSize = kMagicSize + 4 + 4;
constexpr qsizetype kDigestSize = 32;
// Every number of the payload is written the same way whatever the build:
// big-endian, floats as the doubles they widen to exactly.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
// The most texts in one list: a combo box's items, a grid row, the axis labels.
constexpr int kMaxTexts = 1000;

QByteArray digest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256); }

// Reads a payload, remembering whether anything read was out of place. A
// file that passed its checksum was written by us, but a reader that trusts
// sizes and enum values from disk is one edited byte away from writing past
// an array, so every one is checked.
struct In {
    QDataStream& s;
    bool bad = false;

    template <typename T> T get() {
        T v{};
        s >> v;
        return v;
    }
    bool flag() { return get<bool>(); }
    qint32 number() { return get<qint32>(); }
    // A count of entries that follow, at most `max`.
    int count(int max) {
        const qint32 n = number();
        if (n < 0 || n > max) bad = true;
        return bad ? 0 : n;
    }
    // An enum stored as its value 0..last.
    template <typename E> E choice(E last) {
        const qint32 v = number();
        if (v < 0 || v > static_cast<qint32>(last)) bad = true;
        return bad ? E{} : static_cast<E>(v);
    }
    // Texts and lists of them are read here rather than by QDataStream,
    // which would reserve whatever length the file claims before reading it.
    QString text() {
        const quint32 bytes = get<quint32>();
        if (bytes == 0xFFFFFFFFu) return {};
        if (bytes % 2 != 0 || bytes > s.device()->bytesAvailable()) bad = true;
        if (failed()) return {};
        QString t(static_cast<qsizetype>(bytes / 2), Qt::Uninitialized);
        for (QChar& c : t) c = QChar(get<quint16>());
        return t;
    }
    QStringList texts(int max) {
        QStringList l;
        for (int n = count(max); n > 0 && !failed(); --n) l.append(text());
        return l;
    }
    bool failed() const { return bad || s.status() != QDataStream::Ok; }
};

template <typename E> void put(QDataStream& s, E e) { s << static_cast<qint32>(e); }

} // namespace

// Writes and reads each area's state field by field. Friend of the classes
// whose state is private; the order here is the file's layout, so any change
// to it is a new format version.
class SavedGameCodec {
  public:
    static void write(QDataStream& s, const GameState& g, const PresentationModel& model);
    static bool read(QDataStream& s, SavedGame& out);

  private:
    // Settings and setup.
    static void write(QDataStream& s, const Settings& v) {
        put(s, v.level);
        put(s, v.data);
        put(s, v.length);
        put(s, v.maximumDisplay);
        s << qint32(v.news.counters_[0]) << qint32(v.news.counters_[1]);
    }
    static void read(In& in, Settings& v) {
        v.level = in.choice(Level::Expert);
        v.data = in.choice(DataMode::Tick);
        v.length = in.choice(GameLength::Year);
        v.maximumDisplay = in.choice(MaximumDisplay::Positions);
        v.news.counters_[0] = in.number();
        v.news.counters_[1] = in.number();
    }
    static void write(QDataStream& s, const charts::ChartOptions& o) {
        s << qint32(o.chartMarket_) << o.comboText_;
        put(s, o.leftType_);
        s << o.priceMean_ << o.priceMinMax_;
        put(s, o.graphType_);
        s << qint32(o.maPeriods_) << qint32(o.maCounter_) << o.movingMean_ << o.movingMinMax_ << o.rsiChecked_;
        put(s, o.stochasticType_);
        s << qint32(o.stochasticItem_);
    }
    static void read(In& in, charts::ChartOptions& o) {
        o.chartMarket_ = in.number();
        if (o.chartMarket_ < 1 || o.chartMarket_ > kMarketCount) in.bad = true;
        o.comboText_ = in.text();
        o.leftType_ = in.choice(charts::LeftChartType::YearToDate);
        o.priceMean_ = in.flag();
        o.priceMinMax_ = in.flag();
        o.graphType_ = in.choice(charts::GraphType::Stochastic);
        o.maPeriods_ = in.number();
        o.maCounter_ = in.number();
        o.movingMean_ = in.flag();
        o.movingMinMax_ = in.flag();
        o.rsiChecked_ = in.flag();
        o.stochasticType_ = in.choice(charts::StochasticType::Slow);
        o.stochasticItem_ = in.number();
    }

    // What the charts were last drawn with.
    static void write(QDataStream& s, const charts::ChartData& c) {
        s << c.title;
        put(s, c.style);
        s << qint32(c.points.size());
        for (const charts::ChartPoint& p : c.points) {
            s << p.label << p.date << qint32(p.hour) << p.price.has_value();
            if (p.price) s << p.price->open << p.price->high << p.price->low << p.price->close;
            s << p.detail;
        }
        s << qint32(c.xSlots) << qint32(c.lines.size());
        for (const charts::ChartLine& l : c.lines) {
            put(s, l.kind);
            s << l.name << qint32(l.values.size());
            for (const std::optional<double>& v : l.values) {
                s << v.has_value();
                if (v) s << *v;
            }
        }
        s << c.yMin << c.yMax << qint32(c.yIntervals) << c.yLabels << qint32(c.markers.size());
        for (const charts::TradeMarker& m : c.markers)
            s << qint32(m.pointIndex) << m.price << m.buy << m.marginCall << m.label;
    }
    static void read(In& in, charts::ChartData& c) {
        // A chart has a point per period, and a game has at most a year of
        // days or a quarter of hours.
        constexpr int kMaxPoints = 4 * kPriceRecordCount;
        c.title = in.text();
        c.style = in.choice(charts::ChartData::Style::Line);
        for (int n = in.count(kMaxPoints); n > 0 && !in.failed(); --n) {
            charts::ChartPoint p;
            p.label = in.text();
            p.date = in.get<QDate>();
            p.hour = in.number();
            if (in.flag()) {
                charts::Ohlc o;
                in.s >> o.open >> o.high >> o.low >> o.close;
                p.price = o;
            }
            p.detail = in.text();
            c.points.append(p);
        }
        c.xSlots = in.number();
        for (int n = in.count(64); n > 0 && !in.failed(); --n) {
            charts::ChartLine l;
            l.kind = in.choice(charts::ChartLine::Kind::Indicator2);
            l.name = in.text();
            for (int k = in.count(kMaxPoints); k > 0 && !in.failed(); --k)
                l.values.append(in.flag() ? std::optional<double>(in.get<double>()) : std::nullopt);
            c.lines.append(l);
        }
        in.s >> c.yMin >> c.yMax;
        c.yIntervals = in.number();
        c.yLabels = in.texts(kMaxTexts);
        for (int n = in.count(kMaxPoints); n > 0 && !in.failed(); --n) {
            charts::TradeMarker m;
            m.pointIndex = in.number();
            in.s >> m.price >> m.buy >> m.marginCall;
            m.label = in.text();
            c.markers.append(m);
        }
    }

    // The loaded period.
    static void write(QDataStream& s, const MarketData& m) {
        s << m.tradingDays.days << qint32(m.tradingDays.position);
        for (int id = 1; id <= kMarketCount; ++id) {
            const MarketSeries& series = m.series[static_cast<size_t>(id)];
            s << qint32(series.count());
            for (const DailyRow& r : series.rows)
                s << r.openInterest << r.dayVolume << r.open << r.high << r.low << r.close << r.date;
        }
        // Tick days past the count are never filled (a load clears them).
        s << qint32(m.tickDayCount);
        for (int d = 0; d < m.tickDayCount; ++d) {
            const TickDay& day = m.tickDays[static_cast<size_t>(d)];
            s << day.date;
            for (const auto& market : day.periods)
                for (const TickPeriod& p : market) s << p.seen << p.price << p.high << p.low << p.last;
        }
        s << m.lastTickStart << m.lastTickEnd << m.lastLoadedMode;
    }
    static void read(In& in, MarketData& m) {
        // A year of trading days at most, with some room for calendars to come.
        constexpr int kMaxDays = 400;
        for (int n = in.count(kMaxDays); n > 0 && !in.failed(); --n) m.tradingDays.days.append(in.get<QDate>());
        m.tradingDays.position = in.number();
        for (int id = 1; id <= kMarketCount; ++id) {
            MarketSeries& series = m.series[static_cast<size_t>(id)];
            for (int n = in.count(kMaxDays); n > 0 && !in.failed(); --n) {
                DailyRow r;
                in.s >> r.openInterest >> r.dayVolume >> r.open >> r.high >> r.low >> r.close >> r.date;
                series.rows.append(r);
            }
        }
        m.tickDayCount = in.count(kTickDayCapacity);
        for (int d = 0; d < m.tickDayCount && !in.failed(); ++d) {
            TickDay& day = m.tickDays[static_cast<size_t>(d)];
            in.s >> day.date;
            for (auto& market : day.periods)
                for (TickPeriod& p : market) in.s >> p.seen >> p.price >> p.high >> p.low >> p.last;
        }
        in.s >> m.lastTickStart >> m.lastTickEnd;
        m.lastLoadedMode = in.text();
    }

    static void write(QDataStream& s, const PriceRecord& r) {
        s << r.oil << r.gold << r.tbond << r.sp500 << r.cattle << r.soybean;
    }
    static void read(In& in, PriceRecord& r) { in.s >> r.oil >> r.gold >> r.tbond >> r.sp500 >> r.cattle >> r.soybean; }
    static bool blank(const PriceRecord& r) {
        return r.oil == 0 && r.gold == 0 && r.tbond == 0 && r.sp500 == 0 && r.cattle == 0 && r.soybean == 0;
    }
    static void write(QDataStream& s, const PriceHistory& h) {
        // The table up to its last filled record: the rest is blank.
        int used = kPriceRecordCount;
        while (used > 0 && blank(h.records[static_cast<size_t>(used - 1)])) --used;
        s << qint32(used);
        for (int p = 0; p < used; ++p) write(s, h.records[static_cast<size_t>(p)]);
        write(s, h.current);
        write(s, h.previous);
        for (size_t i = 0; i < kMarketCount; ++i) s << h.buyQuote[i] << h.sellQuote[i];
    }
    static void read(In& in, PriceHistory& h) {
        const int used = in.count(kPriceRecordCount);
        for (int p = 0; p < used; ++p) read(in, h.records[static_cast<size_t>(p)]);
        read(in, h.current);
        read(in, h.previous);
        for (size_t i = 0; i < kMarketCount; ++i) in.s >> h.buyQuote[i] >> h.sellQuote[i];
    }

    // The trading desk.
    static void write(QDataStream& s, const Account& a) {
        put(s, a.level_);
        s << a.startingCapital_ << a.accountValue_ << a.realizedPL_ << a.unrealizedPL_;
        for (size_t i = 0; i < kMarketCount; ++i) s << a.marketUnrealized_[i] << a.positions_[i];
        for (const LotBook& b : a.books_) {
            put(s, b.market_);
            s << qint32(b.count_);
            for (int i = 1; i <= b.count_; ++i)
                s << b.slots_[static_cast<size_t>(i)].units << b.slots_[static_cast<size_t>(i)].price;
        }
    }
    static void read(In& in, Account& a) {
        a.level_ = in.choice(Level::Expert);
        in.s >> a.startingCapital_ >> a.accountValue_ >> a.realizedPL_ >> a.unrealizedPL_;
        for (size_t i = 0; i < kMarketCount; ++i) in.s >> a.marketUnrealized_[i] >> a.positions_[i];
        for (LotBook& b : a.books_) {
            b.clear();
            b.market_ = in.choice(Market::Soybean);
            b.count_ = in.count(LotBook::kCapacity);
            for (int i = 1; i <= b.count_; ++i)
                in.s >> b.slots_[static_cast<size_t>(i)].units >> b.slots_[static_cast<size_t>(i)].price;
        }
    }
    static void write(QDataStream& s, const OrderLimits& l) {
        for (size_t i = 0; i < kMarketCount; ++i) s << l.freeMargin_[i] << qint32(l.marginMaximum_[i]);
        s << qint32(l.held_ ? index(*l.held_) : -1);
    }
    static void read(In& in, OrderLimits& l) {
        for (size_t i = 0; i < kMarketCount; ++i) {
            in.s >> l.freeMargin_[i];
            l.marginMaximum_[i] = in.number();
        }
        const qint32 held = in.number();
        if (held < -1 || held >= kMarketCount) in.bad = true;
        if (held >= 0) l.held_ = static_cast<Market>(held);
    }
    static void write(QDataStream& s, const TradingDesk& d) {
        write(s, d.account);
        write(s, d.limits);
        s << qint32(d.trades.count());
        for (const TradeRecord& t : d.trades.records()) {
            s << qint32(t.number) << qint32(t.day);
            put(s, t.market);
            s << t.transaction() << t.amount << t.price;
        }
        const PendingOrder& o = d.pending;
        s << qint32(o.market ? index(*o.market) : -1) << qint32(o.side ? static_cast<int>(*o.side) : -1) << o.units
          << o.fillPrice;
        put(s, d.state);
    }
    static void read(In& in, TradingDesk& d) {
        read(in, d.account);
        read(in, d.limits);
        for (int n = in.count(TradeLog::kMaxRecords); n > 0 && !in.failed(); --n) {
            TradeRecord t;
            t.number = in.number();
            t.day = in.number();
            t.market = in.choice(Market::Soybean);
            if (!transactionFromText(in.text(), &t.side, &t.marginCall)) in.bad = true;
            in.s >> t.amount >> t.price;
            d.trades.records_.append(t);
        }
        PendingOrder& o = d.pending;
        const qint32 market = in.number(), side = in.number();
        if (market < -1 || market >= kMarketCount || side < -1 || side > 1) in.bad = true;
        if (!in.bad && market >= 0) o.market = static_cast<Market>(market);
        if (!in.bad && side >= 0) o.side = static_cast<Side>(side);
        in.s >> o.units >> o.fillPrice;
        d.state = in.choice(OrderState::Restart);
    }

    static void write(QDataStream& s, const NewsHistory& n) {
        s << qint32(n.newsCount());
        for (const NewsHistoryEntry& e : n.entries())
            s << qint32(e.number) << e.newsDate << e.title << e.story << e.newsTime;
    }
    static void read(In& in, NewsHistory& n) {
        // A quarter of tick days holds a few hundred stories; far more is no
        // file of ours.
        for (int k = in.count(100000); k > 0 && !in.failed(); --k) {
            NewsHistoryEntry e;
            e.number = in.number();
            in.s >> e.newsDate;
            e.title = in.text();
            e.story = in.text();
            in.s >> e.newsTime;
            n.entries_.append(e);
        }
    }

    static void write(QDataStream& s, const ControlState& c) {
        s << c.text << c.visible << c.enabled << c.checked << c.tooltip << c.items << qint32(c.currentIndex)
          << c.grid.header << qint32(c.grid.rows.size());
        for (const ReportRow& row : c.grid.rows) {
            put(s, row.kind);
            s << row.cells;
        }
    }
    static void read(In& in, ControlState& c) {
        c.text = in.text();
        in.s >> c.visible >> c.enabled >> c.checked;
        c.tooltip = in.text();
        c.items = in.texts(kMaxTexts);
        c.currentIndex = in.number();
        // The trade report has a row per trade and three rows per open
        // position.
        c.grid.header = in.texts(kMaxTexts);
        for (int n = in.count(TradeLog::kMaxRecords + 3 * kMarketCount); n > 0 && !in.failed(); --n) {
            ReportRow row;
            row.kind = in.choice(ReportRow::Kind::Rule);
            row.cells = in.texts(kMaxTexts);
            c.grid.rows.append(row);
        }
    }
};

void SavedGameCodec::write(QDataStream& s, const GameState& g, const PresentationModel& model) {
    write(s, g.settings);
    put(s, g.dataMode);
    s << qint32(g.gameLengthDays) << g.gameStartDate << g.gameEndDate;
    write(s, g.chart);
    write(s, g.charts.left);
    write(s, g.charts.right);
    s << g.levelSelected;
    put(s, g.setupLength);
    s << qint32(g.periodIndex) << g.endOfData << qint32(g.tradingDayCount) << g.marginCallPending
      << qint32(g.restartRequested) << g.gameStarted << g.timeLabels;
    write(s, g.market);
    write(s, g.prices);
    write(s, g.desk);
    s << g.commissionTotal;
    write(s, g.news);
    s << qint32(g.background.year_) << qint32(g.hints.nextHintPeriod_);
    const QStringList keys = model.keys();
    s << qint32(keys.size());
    for (const QString& k : keys) {
        s << k;
        write(s, model.at(k));
    }
}

bool SavedGameCodec::read(QDataStream& s, SavedGame& out) {
    In in{s};
    GameState& g = *out.state;
    read(in, g.settings);
    g.dataMode = in.choice(DataMode::Tick);
    g.gameLengthDays = in.number();
    in.s >> g.gameStartDate >> g.gameEndDate;
    read(in, g.chart);
    read(in, g.charts.left);
    read(in, g.charts.right);
    g.levelSelected = in.flag();
    g.setupLength = in.choice(TimePeriodForm::Length::Year);
    g.periodIndex = in.number();
    g.endOfData = in.flag();
    g.tradingDayCount = in.number();
    g.marginCallPending = in.flag();
    g.restartRequested = in.number();
    g.gameStarted = in.flag();
    g.timeLabels = in.texts(kMaxTexts);
    if (in.failed()) return false;
    read(in, g.market);
    if (in.failed()) return false;
    read(in, g.prices);
    read(in, g.desk);
    in.s >> g.commissionTotal;
    read(in, g.news);
    g.background.year_ = in.number();
    g.hints.nextHintPeriod_ = in.number();
    for (int n = in.count(10000); n > 0 && !in.failed(); --n) {
        const QString key = in.text();
        read(in, out.controls[key]);
    }
    return !in.failed() && s.atEnd();
}

SavedGame::SavedGame() : state(std::make_unique<GameState>()) {}
SavedGame::~SavedGame() = default;

QString defaultSaveFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString savedGamePath(const QString& folder) { return QDir(folder).filePath(QString::fromLatin1(kSavedGameFileName)); }

QByteArray encodeSavedGame(const GameState& state, const PresentationModel& model) {
    QByteArray payload;
    {
        QDataStream s(&payload, QIODevice::WriteOnly);
        s.setVersion(kStreamVersion);
        SavedGameCodec::write(s, state, model);
    }
    QByteArray file;
    {
        QDataStream s(&file, QIODevice::WriteOnly);
        s.setVersion(kStreamVersion);
        s.writeRawData(kMagic, kMagicSize);
        s << kSavedGameFormat << quint32(payload.size());
        s.writeRawData(payload.constData(), static_cast<int>(payload.size()));
    }
    file.append(digest(file));
    return file;
}

SavedGameProblem decodeSavedGame(const QByteArray& bytes, SavedGame& out) {
    const QByteArray magic = QByteArray::fromRawData(kMagic, kMagicSize);
    // A file cut short inside the magic is one of ours cut short.
    if (bytes.size() < kMagicSize)
        return magic.startsWith(bytes) ? SavedGameProblem::Damaged : SavedGameProblem::Foreign;
    if (!bytes.startsWith(magic)) return SavedGameProblem::Foreign;
    if (bytes.size() < kHeaderSize) return SavedGameProblem::Damaged;
    QDataStream header(bytes.mid(kMagicSize, 8));
    header.setVersion(kStreamVersion);
    quint32 format = 0, length = 0;
    header >> format >> length;
    if (format > kSavedGameFormat) return SavedGameProblem::Newer;
    // An older layout is not read field by field into this one.
    if (format < kSavedGameFormat || bytes.size() != kHeaderSize + qsizetype(length) + kDigestSize) return SavedGameProblem::Damaged;
    const qsizetype signedPart = kHeaderSize + qsizetype(length);
    if (digest(QByteArrayView(bytes).first(signedPart)) != bytes.sliced(signedPart)) return SavedGameProblem::Damaged;
    const QByteArray payload = bytes.sliced(kHeaderSize, length);
    QDataStream s(payload);
    s.setVersion(kStreamVersion);
    return SavedGameCodec::read(s, out) ? SavedGameProblem::None : SavedGameProblem::Damaged;
}

QString writeSavedGameFile(const QString& folder, const QByteArray& bytes) {
    if (!QDir().mkpath(folder)) return QStringLiteral("the folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder));
    QSaveFile file(savedGamePath(folder));
    // A partly written save must never stand in for the last good one.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString() + QLatin1Char('.');
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error + QLatin1Char('.');
    }
    if (!file.commit()) return file.errorString() + QLatin1Char('.');
    return {};
}

SavedGameProblem readSavedGameFile(const QString& folder, QByteArray* bytes, QString* error) {
    QFile file(savedGamePath(folder));
    if (!file.exists()) return SavedGameProblem::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return SavedGameProblem::Unreadable;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return SavedGameProblem::Unreadable;
    }
    return SavedGameProblem::None;
}

QString savedGameProblemText(SavedGameProblem problem) {
    switch (problem) {
    case SavedGameProblem::None: return {};
    case SavedGameProblem::Missing: return QStringLiteral("there is no saved game.");
    case SavedGameProblem::Unreadable: return QStringLiteral("the file cannot be opened.");
    case SavedGameProblem::Foreign: return QStringLiteral("the file is not a Pellucar saved game.");
    case SavedGameProblem::Newer: return QStringLiteral("it was saved by a newer version of Pellucar.");
    case SavedGameProblem::Damaged: return QStringLiteral("the file is damaged.");
    }
    return {};
}

} // namespace pellucar
