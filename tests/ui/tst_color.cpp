#include "tst_suites.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QPainter>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

class ColorTest : public QObject {
    Q_OBJECT

private slots:

    // WCAG 2 contrast: 21:1 at the extremes, and the pairs the schemes are
    // built from land on the right side of AA's 4.5:1.
    void contrastIsMeasuredAsWcagDoes() {
        QCOMPARE(qRound(contrastRatio(rgb::black(), rgb::white()) * 100), 2100);
        QCOMPARE(contrastRatio(rgb::white(), rgb::black()), contrastRatio(rgb::black(), rgb::white()));
        QCOMPARE(qRound(contrastRatio(rgb::blue(), rgb::lightGray()) * 100), 472);
        QVERIFY(contrastRatio(rgb::red(), rgb::white()) < 4.5);
    }

    // Every text each scheme sets reads at AA contrast (4.5:1) on its background, in the
    // main window and the other windows; disabled captions are exempt, as WCAG has it.
    void everyTextMeetsAaContrastInEveryScheme() {
        uitest::WindowRig rig;
        // The windows colour each kind of control alike; these two hold every kind.
        QList<QWidget*> windows{new LoadingWindow, new PastGamesWindow(PastGamesReport{})};
        auto check = [](const QString& what, const QColor& text, const QColor& back) {
            QVERIFY2(contrastRatio(text, back) >= 4.5, qPrintable(what + ": " + text.name() + " on " + back.name()));
        };
        auto checkWidget = [&](const QString& scheme, QWidget* w) {
            const QString what = scheme + ' ' + w->window()->objectName() + '/' + w->objectName() + ' ' +
                                 QString::fromLatin1(w->metaObject()->className());
            const TextColors c = ScreenColors::colorsOf(w);
            check(what, c.text, c.back);
            if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w))
                check(what + " selection", w->palette().color(QPalette::HighlightedText),
                      w->palette().color(QPalette::Highlight));
        };
        auto texts = [](QWidget* window) {
            QList<QWidget*> out;
            for (QWidget* w : window->findChildren<QWidget*>())
                if (w->window() == window &&
                    (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w) ||
                     qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                     qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QHeaderView*>(w)))
                    out << w;
            return out;
        };
        for (Scheme s : {Scheme::Black, Scheme::Gray, Scheme::Monochrome}) {
            const QString scheme = QStringList{"design", "black", "gray", "mono"}.at(static_cast<int>(s));
            rig.dialogs.chooseScheme(s);
            rig.dialogs.colors().setHighlighted(rig.widget("LabelGoldMark"), true);
            for (QWidget* w : texts(&rig.window))
                if (!qobject_cast<QChartView*>(w)) checkWidget(scheme, w);
            for (const char* k : {"GraphLeft", "GraphRight"}) {
                const ChartColors c = static_cast<GameChartView*>(rig.window.widget(k))->colors();
                check(scheme + ' ' + k, c.text, c.back);
            }
            for (QWidget* d : windows) {
                rig.dialogs.colors().applyToDialog(d);
                for (QWidget* w : texts(d)) checkWidget(scheme, w);
            }
        }
        qDeleteAll(windows);
    }

    // In every scheme each chart ink reads on its background (3:1, as WCAG
    // asks of graphics), the lines a trader must tell apart never look
    // alike, and a trade's mark stands out from a candle of any colour.
    void chartMarksAndLinesStandOut() {
        using Kind = charts::ChartLine::Kind;
        for (Scheme s : {Scheme::Design, Scheme::Black, Scheme::Gray, Scheme::Monochrome}) {
            for (const char* key : {"GraphLeft", "GraphRight"}) {
                const ChartColors c = ColorTable::chart(s, QString::fromLatin1(key));
                const QString where = QStringLiteral("scheme %1 %2").arg(static_cast<int>(s)).arg(key);
                const QList<std::pair<const char*, QColor>> inks{
                    {"series", c.series}, {"average", c.average},   {"statistics", c.statistics}, {"buy", c.buy},
                    {"sell", c.sell},     {"margin", c.marginCall}, {"falling", c.falling}};
                for (const auto& [name, ink] : inks)
                    QVERIFY2(contrastRatio(ink, c.back) >= 3.0, qPrintable(where + ' ' + name + ' ' + ink.name()));
                // Solid filled candles are drawn with a pen of their colour.
                const QList<std::pair<const char*, QPen>> pens{{"short position", positionPen(false, c)},
                                                               {"moving average", chartLinePen(Kind::MovingAverage, c)},
                                                               {"mean", chartLinePen(Kind::Mean, c)},
                                                               {"falling candle", QPen(c.falling, 1)}};
                const auto alike = [](const QPen& a, const QPen& b) {
                    const int d = std::abs(a.color().red() - b.color().red()) +
                                  std::abs(a.color().green() - b.color().green()) +
                                  std::abs(a.color().blue() - b.color().blue());
                    return d < 100 && a.style() == b.style() && a.dashPattern() == b.dashPattern();
                };
                for (qsizetype i = 0; i < pens.size(); ++i)
                    for (qsizetype j = i + 1; j < pens.size(); ++j)
                        QVERIFY2(!alike(pens[i].second, pens[j].second),
                                 qPrintable(where + ' ' + pens[i].first + " / " + pens[j].first));
                // A mark over a candle stands out: its ink differs from the candle at 3:1, or a band
                // round it does, at least 8 of the image's 64 pixels wide (over 1.5 pixels on screen).
                for (const QColor& candle : {c.rising, c.falling}) {
                    for (const auto& [buy, margin] : {std::pair{true, false}, {false, false}, {true, true}}) {
                        const QImage mark = tradeMarkImage(buy, margin, c);
                        QImage over(mark.size(), QImage::Format_ARGB32_Premultiplied);
                        over.fill(candle);
                        QPainter(&over).drawImage(0, 0, mark);
                        const QColor ink = margin ? c.marginCall : (buy ? c.buy : c.sell);
                        // Inward from the triangle's flat side, down the middle.
                        const int x = mark.width() / 2, step = buy ? -1 : 1;
                        int y = buy ? mark.height() - 1 : 0;
                        while (y >= 0 && y < mark.height() && qAlpha(mark.pixel(x, y)) < 128) y += step;
                        int band = 0;
                        for (; y >= 0 && y < mark.height(); y += step, ++band)
                            if (contrastRatio(QColor(over.pixel(x, y)), candle) < 3.0) break;
                        QVERIFY2(
                            contrastRatio(ink, candle) >= 3.0 || band >= 8,
                            qPrintable(QStringLiteral("%1 mark %2%3 on %4: band %5")
                                           .arg(where, buy ? "buy" : "sell", margin ? " (margin)" : "", candle.name())
                                           .arg(band)));
                    }
                }
            }
        }
    }

    // A choice in the screen colour window applies at once and windows opened
    // later take it; opened again from the menu the window marks the scheme in
    // force and offers the standard colours back.
    void screenColorWindowAppliesItsChoices() {
        uitest::WindowRig rig;
        rig.window.startUp();
        ScreenColorWindow w(Scheme::Design, [&](Scheme s) { rig.dialogs.chooseScheme(s); });
        w.findChild<QAbstractButton*>(QStringLiteral("optBlack"))->click();
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, rgb::black());
        TextColors aboutColors;
        rig.dialogs.answer(QStringLiteral("frmAboutKestrow"), [&](QDialog* d) {
            aboutColors = ScreenColors::colorsOf(d->findChild<QLabel*>(QStringLiteral("Label1")));
            d->accept();
        });
        rig.dialogs.about();
        QCOMPARE(aboutColors, (TextColors{rgb::white(), rgb::black()}));

        QStringList checked;
        const QColor designBack = QPalette().color(QPalette::Window);
        rig.dialogs.answer(QStringLiteral("frmScreenColor"), [&](QDialog* d) {
            for (QRadioButton* b : d->findChildren<QRadioButton*>())
                if (b->isChecked()) checked << b->objectName();
            uitest::ScriptedDialogs::press(d, QStringLiteral("optDesign"));
            uitest::ScriptedDialogs::press(d, QStringLiteral("Command1"));
        });
        rig.window.action(QStringLiteral("mnuScreenColor"))->trigger();
        QVERIFY(rig.dialogs.transcript.last().startsWith(QStringLiteral("frmScreenColor: Screen Color")));
        QCOMPARE(checked, QStringList{"optBlack"});
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, designBack);
        QCOMPARE(rig.dialogs.colors().scheme(), Scheme::Design);
    }
};

} // namespace

QObject* pellucar::uitest::makeColorSuite() { return new ColorTest; }

#include "tst_color.moc"
