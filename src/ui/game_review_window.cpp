#include "ui/game_review_window.h"

#include "common/format.h"
#include "common/outside_files.h"
#include "ui/desk_settings.h"
#include "ui/look.h"
#include "ui/review_report.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageWriter>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace pellucar::ui {

namespace {

// The desk's settings key of the folder the last export went to.
constexpr char kExportFolderKey[] = "review/exportFolder";

QString money(double v) { return QStringLiteral("$") + formatStandard(v); }

// A chart drawn in the window's own colours, so it reads under every
// colour scheme (monochrome included): lines in the text colour, the
// shading a see-through wash of it.
QChart* plainChart(const QWidget* w, const QString& title) {
    auto* chart = new QChart;
    chart->setTitleFont(desktopFont());
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setBackgroundBrush(w->palette().color(QPalette::Window));
    chart->setTitleBrush(w->palette().color(QPalette::WindowText));
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

// 1, 2 or 5 times a power of ten, so that about `ticks` steps span `range`.
double niceStep(double range, int ticks) {
    const double raw = range / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

// An axis over lo..hi with ticks at round values: periods (whole numbers)
// exactly as played, values with a little room above and below. `least` is
// the smallest difference the label format writes (a dollar, a cent): a flat
// line gets an axis opened round it rather than one label written again and
// again.
QValueAxis* axis(const QWidget* w, double lo, double hi, const char* format, bool periods = false, double least = 1) {
    auto* a = new QValueAxis;
    a->setLabelsFont(desktopFont());
    QFont title = desktopFont();
    title.setBold(true);
    a->setTitleFont(title);
    if (!periods && hi - lo < 4 * least) {
        const double mid = (hi + lo) / 2, room = std::max(std::fabs(mid) * 0.001, 2 * least);
        lo = mid - room;
        hi = mid + room;
    }
    if (hi <= lo) hi = lo + 1;
    const double step = std::max(periods ? 1.0 : least, niceStep(hi - lo, periods ? 8 : 5));
    if (!periods) {
        lo = std::floor(lo / step) * step;
        hi = std::ceil(hi / step) * step;
    }
    a->setRange(lo, hi);
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(periods ? 0 : lo);
    a->setTickInterval(step);
    a->setLabelFormat(QString::fromLatin1(format));
    a->setLabelsColor(w->palette().color(QPalette::WindowText));
    a->setLinePenColor(w->palette().color(QPalette::WindowText));
    QColor grid = w->palette().color(QPalette::WindowText);
    grid.setAlpha(40);
    a->setGridLineColor(grid);
    return a;
}

// A value axis's labels stand at least a line and a half apart whatever the
// chart's height (closer, the chart would write each of them as an
// ellipsis), and there are at least three of them: the axis is widened out
// to whole steps round the values it was made for.
void keepLabelsWhole(QChart* chart, QValueAxis* y, double least) {
    const double lo = y->min(), hi = y->max();
    QObject::connect(chart, &QChart::plotAreaChanged, y, [y, least, lo, hi](const QRectF& plot) {
        const double room = QFontMetricsF(y->labelsFont()).height() * 1.5;
        const int most = std::max(2, static_cast<int>(plot.height() / room));
        const double step = std::max({least, niceStep(hi - lo, 5), niceStep(hi - lo, most)});
        const double from = std::floor(lo / step + 1e-9) * step;
        const double to = std::max(std::ceil(hi / step - 1e-9) * step, from + 2 * step);
        if (step == y->tickInterval() && from == y->min() && to == y->max()) return;
        y->setRange(from, to);
        y->setTickAnchor(from);
        y->setTickInterval(step);
    });
}

void attach(QChart* chart, QAbstractSeries* s, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(s);
    if (!chart->axes(Qt::Horizontal).contains(x)) chart->addAxis(x, Qt::AlignBottom);
    if (!chart->axes(Qt::Vertical).contains(y)) chart->addAxis(y, Qt::AlignLeft);
    s->attachAxis(x);
    s->attachAxis(y);
}

QTableWidgetItem* cell(const QString& text, bool figure = false) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignVCenter | (figure ? Qt::AlignRight : Qt::AlignLeft));
    return item;
}

} // namespace

GameReviewWindow::GameReviewWindow(const ReviewRecord& record, const QString& caption, QWidget* parent)
    : GameWindow(QStringLiteral("frmGameReview"), caption, parent), record_(record), figures_(reviewFigures(record)) {
    // Opened over another window of the game, it takes that window's colours.
    setAttribute(Qt::WA_WindowPropagation);
    if (parent) setPalette(parent->palette());
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 12, 14, 10);
    outer->setSpacing(8);
    // On a small screen the review scrolls rather than running off it.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrollReview"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("reviewContent"));
    auto* v = new QVBoxLayout(content);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(8);

    // Which game it was.
    QStringList which;
    for (const ReviewLine& l : reviewIdentity(record_)) which << l.caption + QStringLiteral(": ") + l.value;
    QLabel* identity = label(QStringLiteral("lblIdentity"), which.join(QStringLiteral("  \u00b7  ")), true);
    identity->setWordWrap(true);
    v->addWidget(identity);

    // The equity curve, with the fall from each high shaded under it.
    QChart* chart = plainChart(this, QStringLiteral("Account Value"));
    auto* value = new QLineSeries;
    auto* peak = new QLineSeries;
    double top = record_.startingCapital, lo = record_.startingCapital, hi = record_.startingCapital;
    for (size_t i = 0; i < figures_.equity.size(); ++i) {
        const double e = figures_.equity[i];
        top = std::max(top, e);
        value->append(static_cast<qreal>(i + 1), e);
        peak->append(static_cast<qreal>(i + 1), top);
        lo = std::min(lo, e);
        hi = std::max(hi, e);
    }
    const QColor ink = palette().color(QPalette::WindowText);
    value->setParent(chart);
    peak->setParent(chart);
    auto* shade = new QAreaSeries(peak, value);
    QColor wash = ink;
    wash.setAlpha(70);
    shade->setBrush(wash);
    shade->setPen(Qt::NoPen);
    value->setPen(QPen(ink, 2));
    QValueAxis* x = axis(this, 1, std::max<double>(2, static_cast<double>(figures_.equity.size())), "%d", true);
    x->setTitleText(QStringLiteral("Period (shaded: below the highest value so far)"));
    x->setTitleBrush(ink);
    QValueAxis* y = axis(this, lo, hi, "$%'.0f");
    keepLabelsWhole(chart, y, 1);
    attach(chart, shade, x, y);
    // The shade's own pieces are owned by it; the line is drawn again on top.
    auto* line = new QLineSeries;
    line->append(value->points());
    line->setPen(QPen(ink, 2));
    attach(chart, line, x, y);
    equity_ = new QChartView(chart, this);
    equity_->setObjectName(QStringLiteral("chartEquity"));
    equity_->setRenderHint(QPainter::Antialiasing);
    equity_->setMinimumSize(480, 190);
    v->addWidget(equity_, 3);

    // The figures beside the list of round trips.
    auto* middle = new QHBoxLayout;
    auto* stats = new QGridLayout;
    stats->setHorizontalSpacing(12);
    stats->setVerticalSpacing(2);
    int row = 0;
    for (const ReviewLine& l : reviewStatistics(record_, figures_)) {
        stats->addWidget(label(QStringLiteral("lblStat%1").arg(row), l.caption + QLatin1Char(':')), row, 0,
                         Qt::AlignTop);
        QLabel* figure = label(QStringLiteral("lblStatValue%1").arg(row), l.value, true);
        figure->setWordWrap(true);
        stats->addWidget(figure, row, 1);
        ++row;
    }
    stats->setRowStretch(row, 1);
    stats->setColumnStretch(1, 1);
    auto* statsBox = new QWidget(this);
    statsBox->setLayout(stats);
    statsBox->setMinimumWidth(280);
    statsBox->setMaximumWidth(360);
    middle->addWidget(statsBox);

    // A Trainer game's trips say how each end was ordered and at what price;
    // the journal's notes come last.
    const bool orders = record_.rules == RuleSet::Trainer;
    QStringList titles{QStringLiteral("Market"), QStringLiteral("Side"), QStringLiteral("Contracts"),
                       QStringLiteral("Entry"),  QStringLiteral("Exit"), QStringLiteral("P(L)"),
                       QStringLiteral("Periods")};
    if (orders) titles << QStringLiteral("Entry Order") << QStringLiteral("Exit Order");
    titles << QStringLiteral("Notes");
    trips_ = new QTableWidget(static_cast<int>(figures_.trips.size()), static_cast<int>(titles.size()), this);
    trips_->setObjectName(QStringLiteral("gridRoundTrips"));
    trips_->setHorizontalHeaderLabels(titles);
    for (int r = 0; r < trips_->rowCount(); ++r) {
        const RoundTrip& t = figures_.trips[static_cast<size_t>(r)];
        const auto when = [&](int period, double price) {
            const QString date = period >= 1 && period <= static_cast<int>(record_.periods.size())
                                     ? reviewPeriodText(record_.periods[static_cast<size_t>(period - 1)])
                                     : QStringLiteral("period %1").arg(period);
            return QStringLiteral("%1 at %2").arg(date, reviewPriceText(price));
        };
        trips_->setItem(r, 0, cell(marketName(t.market)));
        trips_->setItem(r, 1, cell(tripDirection(t)));
        trips_->setItem(r, 2, cell(QString::number(t.contracts), true));
        trips_->setItem(r, 3, cell(when(t.entryPeriod, t.entryPrice)));
        trips_->setItem(r, 4, cell(when(t.exitPeriod, t.exitPrice)));
        trips_->setItem(r, 5, cell(money(t.pl), true));
        trips_->setItem(r, 6, cell(QString::number(t.periodsHeld()), true));
        if (orders) {
            trips_->setItem(r, 7, cell(tripOrderText(t.entryOrder, t.entryAsked)));
            trips_->setItem(r, 8, cell(tripOrderText(t.exitOrder, t.exitAsked)));
        }
        // The journal's notes on the trades that opened and closed the trip.
        QStringList notes;
        for (int trade : {t.entryTrade, t.exitTrade})
            if (record_.notes.contains(trade)) notes << QStringLiteral("%1: %2").arg(trade).arg(record_.notes[trade]);
        trips_->setItem(r, static_cast<int>(titles.size()) - 1, cell(notes.join(QStringLiteral("; "))));
    }
    trips_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trips_->setSelectionBehavior(QAbstractItemView::SelectRows);
    trips_->setSelectionMode(QAbstractItemView::SingleSelection);
    trips_->verticalHeader()->hide();
    trips_->horizontalHeader()->setStretchLastSection(true);
    trips_->resizeColumnsToContents();
    // Every column but the notes in sight: the list never scrolls sideways
    // for its figures.
    int wide = trips_->frameWidth() * 2 + 20;
    for (int c = 0; c + 1 < trips_->columnCount(); ++c) wide += trips_->columnWidth(c);
    trips_->setMinimumWidth(wide);
    middle->addWidget(trips_, 1);
    v->addLayout(middle, 3);

    tripChart_ = new QChartView(plainChart(this, QStringLiteral("Choose a round trip to see it on its market")), this);
    tripChart_->setObjectName(QStringLiteral("chartTrip"));
    tripChart_->setRenderHint(QPainter::Antialiasing);
    tripChart_->setMinimumHeight(150);
    v->addWidget(tripChart_, 2);
    connect(trips_, &QTableWidget::currentCellChanged, this, [this](int r) { showTrip(r); });

    QPushButton* csv = button(QStringLiteral("cmdExportTrades"), QStringLiteral("Save Trade &Record..."));
    QPushButton* picture = button(QStringLiteral("cmdSaveReview"), QStringLiteral("Save Re&view..."));
    QPushButton* close = button(QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    close->setDefault(true);
    connect(csv, &QPushButton::clicked, this, &GameReviewWindow::chooseTradeRecordFile);
    connect(picture, &QPushButton::clicked, this, &GameReviewWindow::choosePictureFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {csv, picture, close}) buttons->addWidget(b);
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);
    outer->addLayout(buttons);
    if (!figures_.trips.empty()) trips_->selectRow(0);
    // Roomy where the screen allows, never larger than the screen.
    const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QSize wanted = content->sizeHint().expandedTo(QSize(940, 600)) + QSize(28, 70);
    resize(std::min(wanted.width(), avail.width() * 19 / 20), std::min(wanted.height(), avail.height() * 9 / 10));
}

void GameReviewWindow::changeEvent(QEvent* e) {
    GameWindow::changeEvent(e);
    if (e->type() == QEvent::PaletteChange) restyleCharts();
}

void GameReviewWindow::restyleCharts() {
    const QColor back = palette().color(QPalette::Window), ink = palette().color(QPalette::WindowText);
    QColor faint = ink, wash = ink;
    faint.setAlpha(40);
    wash.setAlpha(70);
    for (QChartView* view : {equity_, tripChart_}) {
        if (!view) continue;
        QChart* c = view->chart();
        c->setBackgroundBrush(back);
        c->setTitleBrush(ink);
        for (QAbstractAxis* a : c->axes()) {
            a->setLabelsColor(ink);
            a->setLinePenColor(ink);
            a->setGridLineColor(faint);
            a->setTitleBrush(ink);
        }
        for (QAbstractSeries* series : c->series()) {
            if (auto* area = qobject_cast<QAreaSeries*>(series)) area->setBrush(wash);
            else if (auto* dots = qobject_cast<QScatterSeries*>(series)) {
                dots->setBorderColor(ink);
                if (dots->color().alpha() != 0) dots->setColor(ink);
            } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
                QPen pen = line->pen();
                pen.setColor(ink);
                line->setPen(pen);
            }
        }
    }
}

void GameReviewWindow::showTrip(int row) {
    if (row < 0 || row >= static_cast<int>(figures_.trips.size())) return;
    const RoundTrip& t = figures_.trips[static_cast<size_t>(row)];
    const int count = static_cast<int>(record_.periods.size());
    // A few periods either side show what the market did around the trip.
    const int from = std::max(1, t.entryPeriod - 3), to = std::min(count, std::max(t.exitPeriod, t.entryPeriod) + 3);
    QChart* chart =
        plainChart(this, QStringLiteral("%1: %2 %3, %4 to %5, %6")
                             .arg(marketName(t.market), tripDirection(t), QString::number(t.contracts),
                                  reviewPriceText(t.entryPrice), reviewPriceText(t.exitPrice), money(t.pl)));
    const QColor ink = palette().color(QPalette::WindowText);
    auto* prices = new QLineSeries;
    prices->setPen(QPen(ink, 1.5));
    const size_t k = static_cast<size_t>(index(t.market));
    double lo = std::min(t.entryPrice, t.exitPrice), hi = std::max(t.entryPrice, t.exitPrice);
    for (int p = from; p <= to; ++p) {
        const double price = record_.periods[static_cast<size_t>(p - 1)].prices[k];
        prices->append(p, price);
        lo = std::min(lo, price);
        hi = std::max(hi, price);
    }
    // Entry and exit: a filled and a hollow marker, told apart without colour.
    auto* entry = new QScatterSeries;
    entry->append(std::max(t.entryPeriod, from), t.entryPrice);
    entry->setColor(ink);
    entry->setBorderColor(ink);
    entry->setMarkerSize(10);
    auto* exit = new QScatterSeries;
    exit->append(std::max(t.exitPeriod, from), t.exitPrice);
    exit->setColor(Qt::transparent);
    exit->setBorderColor(ink);
    exit->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    exit->setMarkerSize(11);
    QValueAxis* x = axis(this, from, std::max(to, from + 1), "%d", true);
    QValueAxis* y = axis(this, lo, hi, "%.2f", false, 0.01);
    keepLabelsWhole(chart, y, 0.01);
    attach(chart, prices, x, y);
    attach(chart, entry, x, y);
    attach(chart, exit, x, y);
    QChart* old = tripChart_->chart();
    tripChart_->setChart(chart);
    delete old;
    restyleCharts();
}

namespace {

// The picture format the file's suffix names, PNG when it names none Qt writes.
QByteArray pictureFormat(const QString& path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray("png");
}

} // namespace

QString GameReviewWindow::saveTradeRecord(const QString& path) const {
    return writeFileWhole(path, tradeRecordCsv(record_).toUtf8());
}

QString GameReviewWindow::saveRoundTrips(const QString& path) const {
    return writeFileWhole(path, roundTripsCsv(record_, figures_).toUtf8());
}

QString GameReviewWindow::savePicture(const QString& path) {
    // Drawn in memory first: the file is written whole, or the one there
    // is kept.
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) return saveReviewReport(record_, path);
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    if (!grab().save(&picture, pictureFormat(path))) {
        return QStringLiteral("the picture could not be drawn");
    }
    return writeFileWhole(path, picture.data());
}

QString GameReviewWindow::suggestedPath(const QString& suffix) const {
    QSettings settings(DeskSettings::defaultPath(), QSettings::IniFormat);
    QString folder = settings.value(QLatin1String(kExportFolderKey)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(reviewFileStem(record_) + suffix);
}

void GameReviewWindow::rememberFolder(const QString& path) {
    QSettings settings(DeskSettings::defaultPath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return; // a damaged file is the desk's to replace
    settings.setValue(QLatin1String(kExportFolderKey), QFileInfo(path).absolutePath());
}

void GameReviewWindow::chooseTradeRecordFile() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Trade Record"), suggestedPath(QStringLiteral(".csv")),
                                     QStringLiteral("Comma-separated values (*.csv)"));
    if (path.isEmpty()) return;
    rememberFolder(path);
    QString why = saveTradeRecord(path);
    if (why.isEmpty()) why = saveRoundTrips(roundTripsPathFor(path));
    if (!why.isEmpty())
        NotificationWindow(QStringLiteral("Game Review"),
                           QStringLiteral("The trade record could not be saved: %1.").arg(why), 0, this)
            .exec();
}

void GameReviewWindow::choosePictureFile() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Review"), suggestedPath(QStringLiteral(".pdf")),
                                     QStringLiteral("Report for print (*.pdf);;Picture of the window (*.png)"));
    if (path.isEmpty()) return;
    rememberFolder(path);
    if (const QString why = savePicture(path); !why.isEmpty())
        NotificationWindow(QStringLiteral("Game Review"), QStringLiteral("The review could not be saved: %1.").arg(why),
                           0, this)
            .exec();
}

ScenariosWindow::ScenariosWindow(const ScenariosReport& report, QWidget* parent)
    : GameWindow(QStringLiteral("frmScenarios"), QString::fromLatin1(kScenarioTitle), parent), report_(report) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(16, 12, 16, 10);
    v->setSpacing(8);
    if (!report_.problem.isEmpty()) {
        QLabel* problem = label(QStringLiteral("lblProblem"), report_.problem, true);
        problem->setWordWrap(true);
        v->addWidget(problem);
    }
    auto* h = new QHBoxLayout;
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstScenarios"));
    for (const ScenarioChoice& c : report_.choices) list_->addItem(c.scenario.name);
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 30);
    list_->setMinimumHeight(list_->sizeHintForRow(0) * 11);
    h->addWidget(list_);
    brief_ = new QTextBrowser(this);
    brief_->setObjectName(QStringLiteral("txtBrief"));
    brief_->setMinimumWidth(240);
    h->addWidget(brief_, 1);
    v->addLayout(h, 1);

    QPushButton* start = button(QStringLiteral("cmdStart"), QStringLiteral("&Start"));
    QPushButton* cancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    start->setDefault(true);
    connect(start, &QPushButton::clicked, this, [this] {
        const int r = list_->currentRow();
        if (r < 0) return;
        chosen_ = report_.choices[static_cast<size_t>(r)].scenario.name;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, &ScenariosWindow::showBrief);
    connect(list_, &QListWidget::itemDoubleClicked, start, &QPushButton::click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    v->addLayout(buttons);
    if (!report_.choices.empty()) list_->setCurrentRow(0);
    list_->setFocus();
    // The brief reads best in a wide column, where the screen has room.
    const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    resize(std::max(sizeHint().width(), std::min(700, avail.width() * 19 / 20)), sizeHint().height());
}

void ScenariosWindow::showBrief(int row) {
    if (row < 0 || row >= static_cast<int>(report_.choices.size())) return;
    const ScenarioChoice& c = report_.choices[static_cast<size_t>(row)];
    const Scenario& s = c.scenario;
    const char* length = s.length == GameLength::Month     ? "One Month"
                         : s.length == GameLength::Quarter ? "One Quarter"
                                                           : "One Year";
    QString html = QStringLiteral("<h3>%1</h3><p>%2</p><p>From %3 &middot; %4 &middot; %5 data &middot; %6"
                                  " &middot; watch %7</p>")
                       .arg(s.name.toHtmlEscaped(), s.brief.toHtmlEscaped(), s.start.toString(Qt::ISODate),
                            levelName(s.level), dataModeName(s.data), QLatin1String(length), marketName(s.watch));
    html += c.best ? QStringLiteral("<p>Best score: %1 (%2)</p>")
                         .arg(money(c.best->score), c.best->playedAt.date().toString(Qt::ISODate))
                   : QStringLiteral("<p>Not played yet.</p>");
    brief_->setHtml(html);
}

} // namespace pellucar::ui
