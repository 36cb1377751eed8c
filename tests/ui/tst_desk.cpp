#include "tst_suites.h"

using namespace pellucar;
using namespace pellucar::ui;

namespace {

// The controls of the trader-input panel.
const QStringList kTraderPanel{"lblTraderInput", "btnOil",     "btnGold",        "btnTBond", "btnSp500",
                               "btnCattle",      "btnSoybean", "btnBuy",         "btnSell",  "btnHold",
                               "promptUnits",    "inputUnits", "lblorderverify", "btnYes",   "btnNo"};

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

    // Trade, a market, a side, and the units typed into the box.
    void enterOrder(uitest::WindowRig& rig, const char* market, const char* side, const QString& count) {
        click(rig, "btnTrade");
        click(rig, market);
        click(rig, side);
        QVERIFY(units(rig)->isVisible());
        QTest::keyClicks(units(rig), count);
    }

    // The price as the quote column shows it, without the change.
    static QString quotePrice(uitest::WindowRig& rig, const char* quoteLabel) {
        return rig.text(quoteLabel).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    }

    // Nothing visible in the trader-input panel is cut or covers another.
    static void checkTraderPanelFits(uitest::WindowRig& rig, const QString& when) {
        QCoreApplication::processEvents();
        QList<QWidget*> shown;
        QStringList cut;
        for (const QString& k : kTraderPanel) {
            QWidget* x = rig.window.widget(k);
            if (!x->isVisible()) continue;
            shown << x;
            if (qobject_cast<QLabel*>(x) || qobject_cast<QPushButton*>(x)) cut << uitest::cutShort(x);
        }
        cut.removeAll(QString());
        QVERIFY2(cut.isEmpty(), qPrintable(when + ": " + cut.join(", ")));
        auto rect = [&](QWidget* x) { return QRect(x->mapTo(&rig.window, QPoint(0, 0)), x->size()); };
        for (int i = 0; i < shown.size(); ++i)
            for (int j = i + 1; j < shown.size(); ++j)
                QVERIFY2(!rect(shown[i]).intersects(rect(shown[j])),
                         qPrintable(when + ": " + shown[i]->objectName() + " overlaps " + shown[j]->objectName()));
    }

private slots:

    // Six trades in each market, bought and sold in turn: more lines than the
    // report shows at once in any of the fonts the game asks for. The report
    // replaces the charts, shows each trade and every column whole at the
    // window's first size, and opens at its start again.
    void reportsReadWhole() {
        uitest::WindowRig rig;
        rig.startGame(2);
        const QString price = quotePrice(rig, "lblOilCurrMark");
        for (int i = 0; i < 36; ++i) {
            const char* market =
                std::array{"btnOil", "btnTBond", "btnSoybean", "btnGold", "btnSp500", "btnCattle"}[i % 6];
            enterOrder(rig, market, i / 6 % 2 ? "btnSell" : "btnBuy", QStringLiteral("1"));
            QTest::keyClick(units(rig), Qt::Key_Return);
            click(rig, "btnYes");
        }
        auto* trades = static_cast<QTableWidget*>(w(rig, "TradeGrid"));
        auto cell = [&](int r, int c) { return trades->item(r, c) ? trades->item(r, c)->text() : QString(); };
        for (int round = 0; round < 2; ++round) {
            click(rig, "btnTradeHist");
            QCoreApplication::processEvents();
            QVERIFY(trades->isVisible() && !w(rig, "GraphLeft")->isVisible());
            QCOMPARE((QStringList{cell(0, 3), cell(0, 4), cell(0, 5), cell(0, 6)}),
                     (QStringList{"Oil", "Buy", "1", price}));
            int columns = 0;
            for (int c = 0; c < trades->columnCount(); ++c) {
                columns += trades->columnWidth(c);
                QVERIFY2(trades->horizontalHeader()->sectionSizeHint(c) <= trades->columnWidth(c),
                         qPrintable(trades->horizontalHeaderItem(c)->text()));
            }
            QVERIFY2(columns <= trades->viewport()->width(),
                     qPrintable(QStringLiteral("%1 > %2").arg(columns).arg(trades->viewport()->width())));
            for (int r = 0; r < trades->rowCount(); ++r) {
                for (int c = 0; c < trades->columnCount(); ++c) {
                    const QString t = cell(r, c).trimmed();
                    // A rule of one repeated symbol runs to the edge and is cut there.
                    if (t.isEmpty() || t.count(t.at(0)) == t.size()) continue;
                    int room = 0;
                    for (int k = c; k < c + trades->columnSpan(r, c); ++k) room += trades->columnWidth(k);
                    QVERIFY2(
                        trades->fontMetrics().horizontalAdvance(cell(r, c)) <= room,
                        qPrintable(QStringLiteral("row %1 column %2: %3 in %4 px").arg(r).arg(c).arg(t).arg(room)));
                }
            }
            QCOMPARE(trades->verticalScrollBar()->value(), 0);
            QVERIFY(trades->verticalScrollBar()->maximum() > 0);
            trades->verticalScrollBar()->setValue(trades->verticalScrollBar()->maximum());
            click(rig, "btnCloseTradeHistory");
        }
    }

    void newsStoryOpensOnEnter() {
        // A Tick game's history, with one long story in it: the grid ends
        // it short rather than scroll sideways, and Enter opens it whole.
        uitest::WindowRig rig;
        rig.dialogs.setup = {"Expert", "Month", "Tick", "Annual", false, 1, 1996};
        rig.startGame(2);
        click(rig, "btnNewsHist");
        auto* news = static_cast<QTableWidget*>(w(rig, "newsgrid"));
        QVERIFY(news->rowCount() > 0);
        QCoreApplication::processEvents();
        QCOMPARE(news->horizontalScrollBar()->maximum(), 0);
        news->setCurrentCell(0, 0);
        QTest::keyClick(news, Qt::Key_Return);
        QCOMPARE(rig.dialogs.transcript.last(), QStringLiteral("frmNewsDisplay: Fed Holds Rates | "));
    }

    void traderPanelFitsInEveryScheme_data() {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("design") << Scheme::Design;
        QTest::newRow("black") << Scheme::Black;
        QTest::newRow("gray") << Scheme::Gray;
        QTest::newRow("mono") << Scheme::Monochrome;
    }
    // In every scheme, at the window's own size, every state of an order
    // shows the trader-input panel whole: the market buttons, the sides, the
    // one-line units prompt over its box and a long read-back.
    void traderPanelFitsInEveryScheme() {
        QFETCH(Scheme, scheme);
        uitest::WindowRig rig;
        rig.dialogs.chooseScheme(scheme);
        rig.startGame(2);
        const QSize size = rig.window.size();
        click(rig, "btnTrade");
        checkTraderPanelFits(rig, QStringLiteral("markets"));
        click(rig, "btnSoybean");
        checkTraderPanelFits(rig, QStringLiteral("sides"));
        // Captions read on their faces as drawn: the enabled sides' clearly,
        // and under a scheme the dimmed ones too (the chosen market and the
        // report buttons); the design colours dim them as the desktop does.
        QVERIFY(!w(rig, "btnSoybean")->isEnabled() && !w(rig, "btnTradeHist")->isEnabled());
        for (const char* k : {"btnBuy", "btnSell", "btnSoybean", "btnTradeHist"}) {
            const bool enabled = w(rig, k)->isEnabled();
            QVERIFY(w(rig, k)->isVisible());
            if (enabled || scheme != Scheme::Design) QVERIFY2(captionContrast(w(rig, k)) >= (enabled ? 4.5 : 3.0), k);
        }
        click(rig, "btnSell");
        // The prompt reads on one line, over its box.
        auto* prompt = static_cast<QLabel*>(w(rig, "promptUnits"));
        QVERIFY(prompt->text().contains(QStringLiteral("Sell")));
        QVERIFY2(prompt->fontMetrics().horizontalAdvance(prompt->text()) <= prompt->contentsRect().width(),
                 qPrintable(prompt->text()));
        checkTraderPanelFits(rig, QStringLiteral("units"));
        QTest::keyClicks(units(rig), QStringLiteral("12"));
        QTest::keyClick(units(rig), Qt::Key_Return);
        QVERIFY(w(rig, "lblorderverify")->isVisible());
        checkTraderPanelFits(rig, QStringLiteral("read-back"));
        // Longer than any order the limits allow: thousands at a six-decimal price.
        static_cast<QLabel*>(w(rig, "lblorderverify"))
            ->setText(QStringLiteral("Is this order correct? Sell 1,000 TBond @ $116.09375"));
        checkTraderPanelFits(rig, QStringLiteral("long read-back"));
        QCOMPARE(rig.window.size(), size);
    }
};

} // namespace

QObject* pellucar::uitest::makeDeskSuite() { return new DeskTest; }

#include "tst_desk.moc"
