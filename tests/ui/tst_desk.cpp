#include "tst_suites.h"

using namespace pellucar;
using namespace pellucar::ui;

namespace {

// How far a button's caption stands out from its face, as drawn: the face
// is the commonest colour inside the border, the caption its most distant.
double captionContrast(QWidget* button) {
    const QImage img = button->grab().toImage();
    const int inset = static_cast<int>(5 * img.devicePixelRatio());
    QHash<QRgb, int> counts;
    for (int y = inset; y < img.height() - inset; ++y)
        for (int x = inset; x < img.width() - inset; ++x) ++counts[img.pixel(x, y) & 0xffffff];
    QRgb face = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(face)) face = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrastRatio(QColor(it.key()), QColor(face)));
    return best;
}

// The trading desk played as a player does: mouse clicks on the window's
// buttons and keys in its units box.
class DeskTest : public QObject {
    Q_OBJECT

    static QWidget* w(uitest::WindowRig& rig, const char* key) { return rig.widget(key); }
    static QLineEdit* units(uitest::WindowRig& rig) { return static_cast<QLineEdit*>(w(rig, "inputUnits")); }
    static void click(uitest::WindowRig& rig, const char* key) {
        QWidget* b = w(rig, key);
        QVERIFY2(b->isVisible() && b->isEnabled(), key);
        QTest::mouseClick(b, Qt::LeftButton);
    }

private slots:

    // A trade shows in the report, which replaces the charts.
    void tradeReportShowsTheTrade() {
        uitest::WindowRig rig;
        rig.startGame(2);
        // The price as the quote column shows it, without the change.
        const QString price = rig.text("lblOilCurrMark").section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        for (const char* k : {"btnTrade", "btnOil", "btnBuy"}) click(rig, k);
        QTest::keyClicks(units(rig), QStringLiteral("1"));
        QTest::keyClick(units(rig), Qt::Key_Return);
        click(rig, "btnYes");
        click(rig, "btnTradeHist");
        auto* trades = static_cast<QTableWidget*>(w(rig, "TradeGrid"));
        auto cell = [&](int r, int c) { return trades->item(r, c) ? trades->item(r, c)->text() : QString(); };
        QVERIFY(trades->isVisible() && !w(rig, "GraphLeft")->isVisible());
        QCOMPARE((QStringList{cell(0, 3), cell(0, 4), cell(0, 5), cell(0, 6)}),
                 (QStringList{"Oil", "Buy", "1", price}));
    }

    void newsStoryOpensOnEnter() {
        // A Tick game's history: Enter opens the chosen story.
        uitest::WindowRig rig;
        rig.dialogs.setup = {"Expert", "Month", "Tick", "Annual", false, 1, 1996};
        rig.startGame(2);
        click(rig, "btnNewsHist");
        auto* news = static_cast<QTableWidget*>(w(rig, "newsgrid"));
        QVERIFY(news->rowCount() > 0);
        news->setCurrentCell(0, 0);
        QTest::keyClick(news, Qt::Key_Return);
        QCOMPARE(rig.dialogs.transcript.last(), QStringLiteral("frmNewsDisplay: Fed Holds Rates | "));
    }

    // Captions read on their faces as drawn: the enabled sides' clearly, and
    // under a scheme the dimmed ones too (the chosen market and the report
    // buttons); the design colours dim them as the desktop does.
    void captionsReadInEveryScheme() {
        for (Scheme scheme : {Scheme::Design, Scheme::Black, Scheme::Gray, Scheme::Monochrome}) {
            uitest::WindowRig rig;
            rig.dialogs.chooseScheme(scheme);
            rig.startGame(2);
            click(rig, "btnTrade");
            click(rig, "btnSoybean");
            QVERIFY(!w(rig, "btnSoybean")->isEnabled() && !w(rig, "btnTradeHist")->isEnabled());
            for (const char* k : {"btnBuy", "btnSell", "btnSoybean", "btnTradeHist"}) {
                const bool enabled = w(rig, k)->isEnabled();
                const double least = enabled ? 4.5 : scheme != Scheme::Design ? 3.0 : 1.0;
                QVERIFY2(w(rig, k)->isVisible() && captionContrast(w(rig, k)) >= least,
                         qPrintable(QStringLiteral("%1 in scheme %2").arg(k).arg(static_cast<int>(scheme))));
            }
        }
    }
};

} // namespace

QObject* pellucar::uitest::makeDeskSuite() { return new DeskTest; }

#include "tst_desk.moc"
