#include "tst_suites.h"

#include "ui/color_scheme.h"
#include "ui/past_games_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

PastGamesReport report(const QList<double>& scores) {
    PastGamesReport r;
    int n = 0;
    for (double s : scores) {
        PastGame g;
        g.playedAt = QDateTime(QDate(2026, 3, 1), QTime(20, n));
        g.periodStart = QDate(1994, 1, 3);
        g.periodEnd = QDate(1994, 3, 31);
        g.level = n++ % 2 ? Level::Expert : Level::Novice;
        g.score = s;
        r.games.push_back(g);
    }
    r.best = bestScores(r.games);
    return r;
}

QList<double> column(const QSortFilterProxyModel* m, int col) {
    QList<double> out;
    for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, col), PastGamesModel::kSortRole).toDouble();
    return out;
}

class PastGamesTest : public QObject {
    Q_OBJECT

private slots:
    void aClickOnTheScoreHeaderSortsByValue() {
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
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        std::reverse(want.begin(), want.end());
        QCOMPARE(column(w.sorted(), PastGamesModel::Score), want);
        // The figures shown are the money texts of those values.
        QCOMPARE(w.sorted()->index(0, PastGamesModel::Score).data().toString(),
                 first == Qt::DescendingOrder ? QStringLiteral("$-50.50") : QStringLiteral("$10,000.00"));
    }

    void bestScoresShowInTheSchemeColours() {
        PastGamesWindow w(report({900, 10000, -50.5, 2500}));
        ScreenColors colors;
        colors.apply(Scheme::Black, nullptr);
        colors.applyToDialog(&w);
        auto* expert = w.findChild<QLabel*>(QStringLiteral("lblBestExpert"));
        auto* novice = w.findChild<QLabel*>(QStringLiteral("lblBestNovice"));
        QVERIFY(expert && novice);
        QCOMPARE(expert->text(), QStringLiteral("$10,000.00"));
        QCOMPARE(novice->text(), QStringLiteral("$900.00"));
        QCOMPARE(ScreenColors::colorsOf(expert), ColorTable::dialogValue(Scheme::Black));
        QCOMPARE(ScreenColors::colorsOf(w.table()), ColorTable::grid(Scheme::Black));
    }
};

} // namespace

QObject* pellucar::uitest::makePastGamesSuite() { return new PastGamesTest; }

#include "tst_past_games.moc"
