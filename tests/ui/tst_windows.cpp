#include "tst_suites.h"

#include "common/format.h"
#include "support/game_harness.h"
#include "ui/debrief_window.h"
#include "ui/game_review_window.h"
#include "ui/past_games_window.h"
#include "ui/review_report.h"

#include <QChartView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QValueAxis>

using namespace pellucar;
using namespace pellucar::ui;
using pellucar::uitest::child;

namespace {

QString text(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
void click(QWidget* w, const char* name) { child<QAbstractButton>(w, name)->click(); }
QStringList items(QComboBox* c) {
    QStringList l;
    for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
    return l;
}

PastGamesReport report(const QList<double>& scores) {
    PastGamesReport r;
    int n = 0;
    for (double s : scores) {
        PastGame g = test::pastGameSample(n % 2 ? Level::Expert : Level::Novice, s, 0);
        g.playedAt = g.playedAt.addSecs(60 * n++);
        r.games.insert(r.games.begin(), g); // the record lists the most recent first
    }
    r.best = bestScores(r.games);
    return r;
}

QList<double> column(const QAbstractItemModel* m, int col) {
    QList<double> out;
    for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, col), PastGamesModel::kSortRole).toDouble();
    return out;
}

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    // The report read back as text names the game and gives its figures, page after page.
    void reportReadsBackWithTheGameAndItsFigures() {
        const ReviewRecord r = uitest::autumnReview();
        QVERIFY(reviewRecordProblem(r).isEmpty());
        QTemporaryDir dir;
        const QString path = dir.filePath(reviewFileStem(r) + ".pdf");
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("pellucar-1987-10-19-autumn-1987.pdf"));
        QCOMPARE(saveReviewReport(r, path), QString());
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0, "pdftotext (poppler-utils) reads it");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
        const ReviewFigures f = reviewFigures(r);
        QStringList wanted = QStringLiteral("Game Review: Autumn 1987|Expert|Classic|Daily, One Month|1987-10-19 to "
                                            "1987-10-24, 6 periods|Bought the panic on Black Monday|Covered the "
                                            "bond short|86 31/32")
                                 .split('|');
        wanted << "$" + formatStandard(reviewScore(r));
        for (const RoundTrip& t : f.trips) wanted << "P(L) $" + formatStandard(t.pl);
        for (const ReviewLine& l : reviewStatistics(r, f)) wanted << l.value;
        QCOMPARE(f.markets.size(), size_t(3));
        wanted << "unrealized $" + formatStandard(f.unrealized);
        for (const QString& w : wanted) QVERIFY2(text.contains(w), qPrintable(w));
    }

    // A game that never moved: both review charts label their value axes with distinct figures, each
    // label a line and a half from the next however small the window (closer, Qt writes "...").
    void reviewChartsLabelAFlatGameWithDistinctWholeLabels() {
        ReviewRecord r;
        r.startingCapital = 100000;
        for (int p = 1; p <= 12; ++p)
            r.periods.push_back({QDate(1990, 1, 1).addDays(p), 0, 100001, {20, 380, 21, 340, 75, 6}});
        r.trades = {{1, 2, Market::Gold, Side::Buy, false, 1, 380}, {2, 6, Market::Gold, Side::Sell, false, -1, 380}};
        for (const QSize size : {QSize(900, 640), QSize(560, 420)}) {
            GameReviewWindow w(r, QStringLiteral("Game Review"));
            w.resize(size);
            w.show();
            for (int i = 0; i < 5; ++i) QTest::qWait(5);
            for (const auto& [name, least] : {std::pair{"chartEquity", 1.0}, std::pair{"chartTrip", 0.01}}) {
                auto* view = w.findChild<QChartView*>(QString::fromLatin1(name));
                QVERIFY(view);
                auto* y = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
                QVERIFY2(y, name);
                const double pixels = view->chart()->plotArea().height() / (y->max() - y->min());
                const QString at =
                    QString::asprintf("%s at %dx%d: %g..%g by %g, plot %g", name, size.width(), size.height(), y->min(),
                                      y->max(), y->tickInterval(), view->chart()->plotArea().height());
                QVERIFY2(y->tickInterval() >= least && (y->max() - y->min()) / y->tickInterval() >= 2 - 1e-9,
                         qPrintable(at));
                QVERIFY2(y->tickInterval() * pixels >= QFontMetricsF(y->labelsFont()).height(), qPrintable(at));
            }
        }
    }

    // The message shows whole, with OK under it inside the window.
    void notificationShowsItsMessage() {
        const QString message = QStringLiteral("Margin Call!\r\nDeposit funds or reduce your positions.");
        NotificationWindow w(QStringLiteral("Trader Notification"), message, 2);
        QLabel* label = child<QLabel>(&w, "Label1");
        QCOMPARE(label->text(), displayText(message));
        QVERIFY(child(&w, "ColorScheme")->isHidden());
        QWidget* ok = child(&w, "btnOkay");
        QVERIFY(ok->x() >= 0 && ok->geometry().right() < w.width() && ok->width() >= ok->sizeHint().width());
        QVERIFY(ok->y() > label->geometry().bottom() && w.height() > ok->geometry().bottom());
    }

    // Each option writes the setup form at once and the window then shows
    // what the form allows.
    void setupWindowFollowsItsForm() {
        TimePeriodForm form;
        form.reset(Level::Expert, DataMode::Daily, GameLength::Year, NewsOption::Annual);
        TimePeriodWindow w(form);
        auto* months = child<QComboBox>(&w, "Combo1");
        auto* years = child<QComboBox>(&w, "Combo2");
        // The lists themselves are the form's own test; the window shows them.
        const auto showsForm = [&] {
            return items(years) == form.yearItems() && text(&w, "labeltime") == form.timeLabel() &&
                   (months->isHidden() || items(months) == form.monthItems());
        };
        QVERIFY(child<QRadioButton>(&w, "OptYear")->isChecked() && months->isHidden() && showsForm());
        // Level, data and year reach the game in the scripted starts.
        click(&w, "OptTick");
        QVERIFY(!months->isHidden() && showsForm());
        QVERIFY(!child(&w, "OptYear")->isEnabled() && !child<QRadioButton>(&w, "OptYear")->isChecked());
        emit months->activated(3);
        click(&w, "OptMonth");
        click(&w, "OptDayReports");
        QVERIFY(form.month == 4 && form.length == GameLength::Month && form.news == NewsOption::Daily);

        click(&w, "optSelect_1");
        QVERIFY(form.random);
        QVERIFY(months->isHidden() && years->isHidden());
        click(&w, "OptDaily");
        QVERIFY(child(&w, "OptYear")->isEnabled());

        // The rules, chosen with the mouse.
        QVERIFY(child<QRadioButton>(&w, "OptClassic")->isChecked());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(child(&w, "OptTrainer"), Qt::LeftButton, {},
                          QPoint(8, child(&w, "OptTrainer")->height() / 2));
        QVERIFY(form.rules == RuleSet::Trainer && !child<QRadioButton>(&w, "OptClassic")->isChecked());

        click(&w, "cmdBegin");
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    // A long story scrolls in a read-only box under its headline, Close under it.
    void newsWindowShowsTheStory() {
        NewsWindow w(QStringLiteral("Fed Holds Rates"), QStringLiteral("The story."), 5000, true);
        QCOMPARE(w.windowTitle() + '|' + text(&w, "lblHeadline"), QStringLiteral("Fed Holds Rates|Fed Holds Rates"));
        auto* box = child<QPlainTextEdit>(&w, "txtNewsDisplay");
        QVERIFY(!box->isHidden() && child(&w, "Labelnews")->isHidden() && box->isReadOnly());
        QCOMPARE(box->toPlainText(), QStringLiteral("The story."));
        w.show();
        QWidget* close = child(&w, "btnclose");
        QVERIFY(close->geometry().top() > w.storyRect().bottom() && w.rect().contains(close->geometry()));
    }

    void summaryWindowsOfferTheirChoices() {
        GameSummary s{"Game Over", "Nice Job Trading", "$1,234.50", "$-20.00", "$1,214.50", {}, false, false, {}};
        GameOverWindow over(s);
        QCOMPARE(
            (QStringList{text(&over, "Label2"), text(&over, "Label4"), text(&over, "Label3"), text(&over, "Label7")}),
            (QStringList{s.verdict, s.realized, s.unrealized, s.finalScore}));
        QVERIFY(child(&over, "Label10")->isHidden() && child(&over, "Label5")->isHidden());

        s.commissions = QStringLiteral("$40.00");
        EndOfGameWindow end(s);
        QCOMPARE(text(&end, "label12"), s.commissions);
        QVERIFY(!child(&end, "btnRestartGame")->isEnabled());
        end.reject();
        QCOMPARE(end.choice(), EndOfGameChoice::Continue);
        click(&end, "btnExit");
        QCOMPARE(end.choice(), EndOfGameChoice::End);

        CommissionWindow c({"No commissions are charged.", "$500.00", "$300.00", "$200.00"});
        QCOMPARE(QStringList({text(&c, "Label1"), text(&c, "Label3"), text(&c, "Label2"), text(&c, "label12"),
                              text(&c, "Label11"), text(&c, "Label7")})
                     .join('|'),
                 "Score (before commissions):|$500.00|Commissions:|$300.00|Score (after commissions):|$200.00");
    }

    void smallWindowsCloseAsTheyShould() {
        TradeConfirmationWindow t(QStringLiteral("Transaction Order Filled: 3 Gold Sold @  $385.20"));
        t.show();
        QTest::mouseClick(child(&t, "lblTradeConfirmation"), Qt::LeftButton);
        QVERIFY(t.result() == QDialog::Accepted && !t.isVisible());

        DisclaimerWindow d(QStringLiteral("Read this."));
        QCOMPARE(child<QPlainTextEdit>(&d, "txtNewsDisplay")->toPlainText(), QStringLiteral("Read this."));

        CommoditySelectWindow m(3);
        QVERIFY(child<QRadioButton>(&m, "optCommodity_2")->isChecked());
        QCOMPARE(child<QRadioButton>(&m, "optCommodity_5")->text(), QStringLiteral("TBond"));
        click(&m, "optCommodity_5");
        click(&m, "cmdOK");
        QCOMPARE(m.chosenId(), 6);
    }

    // The period is typed and taken with Enter; a digit that would pass the last period is refused; Esc goes
    // nowhere.
    void rewindWindowTakesThePeriodFromTheKeyboard() {
        const struct {
            const char* keys;
            int key;
            int result;
            int period;
        } rows[] = {{"3", Qt::Key_Return, QDialog::Accepted, 3},
                    {"40", Qt::Key_Enter, QDialog::Accepted, 4},
                    {"2", Qt::Key_Escape, QDialog::Rejected, 2}};
        for (const auto& row : rows) {
            RewindWindow w(11);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(text(&w, "lblRewind"), QStringLiteral("Go back to period (1 to 11):"));
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(row.keys));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(row.key));
            QCOMPARE(w.result(), row.result);
            QCOMPARE(w.period(), row.period);
        }
    }

    void loadingWindowAndBusyPointer() {
        QtDialogs dialogs;
        dialogs.loading(true);
        QPointer<QWidget> loading; // closing the window may delete it
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frminitialize") && w->isVisible()) loading = w;
        QVERIFY(loading);
        QCOMPARE(text(loading, "Label1"), QStringLiteral("Initializing Data:  please wait"));
        dialogs.loading(false);
        QVERIFY(!loading || !loading->isVisible());

        dialogs.busy(true);
        QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        dialogs.busy(false);
        QVERIFY(!QApplication::overrideCursor());
        QApplication::setOverrideCursor(Qt::CrossCursor);
        dialogs.busy(false); // an extra release must not pop someone else's cursor
        QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::CrossCursor);
        QApplication::restoreOverrideCursor();
    }

    // A click on the score header sorts by value, not by text; the best
    // score of each level shows.
    void pastGamesSortByValueAndShowTheBest() {
        // As texts "$10,000.00" < "$2,500.00" < "$900.00"; as numbers the other way.
        PastGamesWindow w(report({900, 10000, -50.5, 2500}));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QHeaderView* header = w.table()->horizontalHeader();
        const int x =
            header->sectionViewportPosition(PastGamesModel::Score) + header->sectionSize(PastGamesModel::Score) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        const Qt::SortOrder first = header->sortIndicatorOrder();
        QCOMPARE(header->sortIndicatorSection(), int(PastGamesModel::Score));
        QList<double> want{-50.5, 900, 2500, 10000};
        if (first == Qt::DescendingOrder) std::reverse(want.begin(), want.end());
        QCOMPARE(column(w.sorted(), PastGamesModel::Score), want);
        // The figures shown are the money texts of those values.
        QCOMPARE(w.sorted()->index(0, PastGamesModel::Score).data().toString(),
                 first == Qt::DescendingOrder ? QStringLiteral("$10,000.00") : QStringLiteral("$-50.50"));
        QCOMPARE(text(&w, "lblBestExpert") + ' ' + text(&w, "lblBestNovice"), QStringLiteral("$10,000.00 $900.00"));
    }

    // Thousands of games: the list holds a batch of rows of one height each and takes the next batch as the
    // player reaches its end from the keyboard; a long verdict is cut to its column, whole in its tip; a
    // Trainer game's best and rules show, a practice game's never as a best.
    void pastGamesListLazilyAndShowTheRules() {
        PastGamesReport r = report(QList<double>(1000, 10.0));
        // The two oldest games are Trainer games, the second of them practice; the newest has a long verdict.
        PastGame& oldest = r.games[999];
        PastGame& second = r.games[998];
        oldest.rules = second.rules = RuleSet::Trainer;
        second.practice = true;
        second.score = 99;
        r.games.front().verdict = QStringLiteral("A verdict long enough to be cut. ").repeated(6);
        r.best = bestScores(r.games);
        PastGamesWindow w(r);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTableView* t = w.table();
        QCOMPARE(t->model()->rowCount(), PastGamesModel::kBatch);
        t->setFocus();
        for (int rows = PastGamesModel::kBatch; rows < 1000;) {
            QTest::keyClick(t, Qt::Key_End, Qt::ControlModifier);
            QApplication::processEvents();
            QVERIFY(t->model()->rowCount() > rows);
            rows = t->model()->rowCount();
            QCOMPARE(rows % PastGamesModel::kBatch, 0);
        }
        QHeaderView* rows = t->verticalHeader();
        QCOMPARE(rows->sectionSize(t->model()->rowCount() - 1), rows->sectionSize(0));
        // Newest first: the long verdict heads the list.
        const QModelIndex verdict = t->model()->index(0, PastGamesModel::Verdict);
        QCOMPARE(verdict.data(Qt::ToolTipRole).toString(), r.games.front().verdict);
        QVERIFY(t->columnWidth(PastGamesModel::Verdict) < t->fontMetrics().horizontalAdvance(r.games.front().verdict));
        QCOMPARE(text(&w, "lblBestLevelTrainerNovice") + text(&w, "lblBestTrainerNovice"),
                 QStringLiteral("Trainer Novice:$10.00"));
        QVERIFY(!w.findChild<QLabel*>(QStringLiteral("lblBestTrainerExpert")));
        // A sort orders the whole record and starts again from its first batch.
        t->sortByColumn(PastGamesModel::Played, Qt::AscendingOrder);
        QCOMPARE(t->model()->rowCount(), PastGamesModel::kBatch);
        QCOMPARE(t->model()->index(1, PastGamesModel::Rules).data().toString(), QStringLiteral("Trainer (practice)"));
    }

    // Alt+S opens the statistics: a row per rule set, level and scenario, and the scores' chart; Escape closes it.
    void pastGamesStatisticsOpenFromTheKeyboard() {
        PastGamesReport r = report({100, -50, 200, 0});
        r.games.back().rules = RuleSet::Trainer; // the oldest, 100
        PastGamesWindow w(r);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        int rows = -1, series = -1;
        QString won;
        // The access key clicks the button after a moment; the window it opens is read, then closed, in its own loop.
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* stats = qobject_cast<GameStatisticsWindow*>(QApplication::activeModalWidget());
            if (!stats) return;
            poll.stop();
            rows = stats->table()->rowCount();
            won = stats->table()->item(1, 6)->text();
            series = static_cast<int>(stats->chart()->chart()->series().size());
            QTest::keyClick(stats, Qt::Key_Escape);
        });
        poll.start(10);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(rows >= 0);
        // Classic Novice (200), Classic Expert (-50 and 0: neither won), Trainer Novice (100).
        QCOMPARE((QStringList{QString::number(rows), won, QString::number(series)}), (QStringList{"3", "0 (0%)", "2"}));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

} // namespace

// Autumn 1987 as a short game: a long SP500 closed at a loss, a T-Bond short closed in 32nds, and Gold
// left open, each trade's note in the journal.
ReviewRecord pellucar::uitest::autumnReview() {
    ReviewRecord r;
    r.scenario = QStringLiteral("Autumn 1987");
    r.length = GameLength::Month;
    r.startingCapital = 100000;
    const double sp[] = {282.70, 258.38, 224.84, 236.83, 258.38, 248.25};
    const double bond[] = {81.5, 84.0, 87.25, 86.5, 86.96875, 87.0};
    for (int p = 0; p < 6; ++p)
        r.periods.push_back({QDate(1987, 10, 19).addDays(p), 0, 0, {20.0, 465.0 + p, bond[p], sp[p], 60, 5.5}});
    r.trades = {{1, 1, Market::SP500, Side::Buy, false, 2, 282.70f},
                {2, 2, Market::TBond, Side::Sell, false, -3, 84.0f},
                {3, 3, Market::SP500, Side::Sell, false, -2, 224.84f},
                {4, 4, Market::Gold, Side::Buy, false, 5, 468.0f},
                {5, 5, Market::TBond, Side::Buy, false, 3, 86.96875f}};
    r.notes = {{1, QStringLiteral("Bought the panic on Black Monday")}, {5, QStringLiteral("Covered the bond short")}};
    // Each period's value is the trades' own.
    Account a;
    a.reset(Level::Expert, 100000);
    qsizetype next = 0;
    for (ReviewPeriod& p : r.periods) {
        for (; next < r.trades.size() && r.trades[next].day <= &p - &r.periods[0] + 1; ++next)
            a.applyFill(r.trades[next].market, r.trades[next].amount, r.trades[next].price);
        a.revalue(p.prices);
        p.accountValue = a.accountValue();
    }
    return r;
}

QObject* pellucar::uitest::makeWindowsSuite() { return new WindowsTest; }

#include "tst_windows.moc"
