#include "tst_suites.h"

#include "scripted_dialogs.h"
#include "ui/chart_view.h"
#include "ui/color_scheme.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QTest>

using namespace pellucar;
using namespace pellucar::ui;

Q_DECLARE_METATYPE(pellucar::ui::Scheme)

namespace {

QString name(const QColor& c) { return c.isValid() ? c.name() : QStringLiteral("-"); }

// Everything the schemes set on the main window, as text for comparison.
QStringList snapshot(const Kestrow& w) {
    QStringList out;
    for (const ControlSpec& ctl : mainWindowControls()) {
        const QWidget* x = w.widget(ctl.key);
        if (!x || x == &w) continue;
        const TextColors c = ScreenColors::colorsOf(x);
        QString line = ctl.key + ' ' + name(c.text) + ' ' + name(c.back);
        if (ctl.kind == ControlKind::Shape) line += ' ' + name(x->property("borderColor").value<QColor>());
        if (auto* chart = qobject_cast<const GameChartView*>(x))
            line += ' ' + name(chart->colors().back) + ' ' + name(chart->colors().series);
        out << line;
    }
    out << name(ScreenColors::colorsOf(w.centralWidget()).back);
    return out;
}

double luminance(const QColor& c) { return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF(); }

class ColorTest : public QObject {
    Q_OBJECT
    QString db_;

private slots:
    void initTestCase() { db_ = uitest::writeFixtureDatabase(QStringLiteral(PELLUCAR_UI_TEST_TMP "/colors.mdb")); }

    void highlightedGoldStaysHighlightedFromBlackToGray() {
        uitest::WindowRig rig(db_);
        rig.dialogs.chooseScheme(Scheme::Black);
        QWidget* gold = rig.window.widget(QStringLiteral("LabelGoldMark"));
        rig.dialogs.colors().setHighlighted(gold, true);
        QCOMPARE(ScreenColors::colorsOf(gold), (TextColors{rgb::black(), rgb::cyan()}));

        rig.dialogs.chooseScheme(Scheme::Gray);
        QCOMPARE(ScreenColors::colorsOf(gold), (TextColors{rgb::black(), rgb::yellow()}));
        for (const char* k : {"LabelOilMark", "LabelTBondMark", "LabelSP500Mark", "LabelCattleMark", "LabelSoybeanMark"})
            QCOMPARE(ScreenColors::colorsOf(rig.window.widget(QString::fromLatin1(k))),
                     (TextColors{rgb::black(), rgb::lightGray()}));
    }

    // Light gray is the gray scheme's plain background but the monochrome
    // scheme's highlight: which it means depends on the window behind it.
    void lightGrayDependsOnTheWindow_data() {
        QTest::addColumn<Scheme>("from");
        QTest::addColumn<bool>("highlighted");
        QTest::addColumn<Scheme>("to");
        QTest::addColumn<QColor>("back");
        QTest::newRow("mono marked to gray") << Scheme::Monochrome << true << Scheme::Gray << rgb::yellow();
        QTest::newRow("mono marked to mono") << Scheme::Monochrome << true << Scheme::Monochrome << rgb::lightGray();
        QTest::newRow("mono plain to black") << Scheme::Monochrome << false << Scheme::Black << rgb::black();
        QTest::newRow("gray plain to mono") << Scheme::Gray << false << Scheme::Monochrome << rgb::white();
        QTest::newRow("gray plain to gray") << Scheme::Gray << false << Scheme::Gray << rgb::lightGray();
        QTest::newRow("gray marked to black") << Scheme::Gray << true << Scheme::Black << rgb::cyan();
        QTest::newRow("design marked to mono") << Scheme::Design << true << Scheme::Monochrome << rgb::lightGray();
    }
    void lightGrayDependsOnTheWindow() {
        QFETCH(Scheme, from);
        QFETCH(bool, highlighted);
        QFETCH(Scheme, to);
        QFETCH(QColor, back);
        uitest::WindowRig rig(db_);
        if (from != Scheme::Design) rig.dialogs.chooseScheme(from);
        QWidget* oil = rig.window.widget(QStringLiteral("LabelOilMark"));
        rig.dialogs.colors().setHighlighted(oil, highlighted);
        rig.dialogs.chooseScheme(to);
        QCOMPARE(ScreenColors::colorsOf(oil).back, back);
    }

    void choosingASchemeTwiceChangesNothing_data() {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("black") << Scheme::Black;
        QTest::newRow("gray") << Scheme::Gray;
        QTest::newRow("mono") << Scheme::Monochrome;
    }
    void choosingASchemeTwiceChangesNothing() {
        QFETCH(Scheme, scheme);
        uitest::WindowRig rig(db_);
        rig.dialogs.chooseScheme(scheme);
        rig.dialogs.colors().setHighlighted(rig.window.widget(QStringLiteral("LabelCattleMark")), true);
        const QStringList once = snapshot(rig.window);
        rig.dialogs.chooseScheme(scheme);
        QCOMPARE(snapshot(rig.window), once);
    }

    // Every text of the table must stay readable on its background in every
    // scheme; a control left out of the tables would show the window's
    // default text on the scheme's background.
    void everyControlIsReadableInEveryScheme() {
        for (const ControlSpec& ctl : mainWindowControls())
            if (ctl.kind == ControlKind::Label)
                QVERIFY2(ColorTable::labelGroup(ctl.key) != LabelGroup::None, qPrintable(ctl.key));
        uitest::WindowRig rig(db_);
        for (Scheme s : {Scheme::Black, Scheme::Gray, Scheme::Monochrome}) {
            rig.dialogs.chooseScheme(s);
            for (const ControlSpec& ctl : mainWindowControls()) {
                QWidget* w = rig.window.widget(ctl.key);
                if (!w || w == &rig.window || ctl.kind == ControlKind::Shape || ctl.kind == ControlKind::Chart) continue;
                const TextColors c = ScreenColors::colorsOf(w);
                QVERIFY2(qAbs(luminance(c.text) - luminance(c.back)) > 0.3,
                         qPrintable(ctl.key + ' ' + c.text.name() + " on " + c.back.name()));
            }
            for (const char* k : {"GraphLeft", "GraphRight"}) {
                const ChartColors c = static_cast<GameChartView*>(rig.window.widget(k))->colors();
                QVERIFY(qAbs(luminance(c.series) - luminance(c.back)) > 0.3);
            }
        }
    }

    void chartsAndGridsFollowTheScheme() {
        uitest::WindowRig rig(db_);
        rig.dialogs.chooseScheme(Scheme::Gray);
        const ChartColors left = static_cast<GameChartView*>(rig.window.widget(QStringLiteral("GraphLeft")))->colors();
        QCOMPARE(left.back, rgb::lightGray());
        QCOMPARE(left.text, rgb::blue());
        QCOMPARE(ScreenColors::colorsOf(rig.window.widget(QStringLiteral("newsgrid"))),
                 (TextColors{rgb::black(), rgb::lightGray()}));
        rig.dialogs.chooseScheme(Scheme::Monochrome);
        QCOMPARE(ScreenColors::colorsOf(rig.window.widget(QStringLiteral("TradeGrid"))),
                 (TextColors{rgb::black(), rgb::white()}));
        QCOMPARE(rig.window.widget(QStringLiteral("shpExpMark"))->property("borderColor").value<QColor>(), rgb::black());
    }

    // The screen colour window applies a choice at once, with its options
    // and close button locked meanwhile; windows opened later take it.
    void screenColorWindowAppliesAndLocksItsChoices() {
        uitest::WindowRig rig(db_);
        QList<bool> enabledWhileApplying;
        ScreenColorWindow w(Scheme::Design, [&](Scheme s) {
            for (QWidget* c : w.choiceControls()) enabledWhileApplying << c->isEnabled();
            rig.dialogs.chooseScheme(s);
        });
        w.findChild<QAbstractButton*>(QStringLiteral("optBlack"))->click();
        QCOMPARE(enabledWhileApplying, (QList<bool>{false, false, false, false}));
        for (QWidget* c : w.choiceControls()) QVERIFY(c->isEnabled());
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, rgb::black());

        TextColors aboutColors;
        rig.dialogs.answer(QStringLiteral("frmAboutKestrow"), [&](QDialog* d) {
            aboutColors = ScreenColors::colorsOf(d->findChild<QLabel*>(QStringLiteral("Label1")));
            d->accept();
        });
        rig.dialogs.about();
        QCOMPARE(aboutColors, (TextColors{rgb::white(), rgb::black()}));
    }

    void menuPathOpensTheWindowAndRecolours() {
        uitest::WindowRig rig(db_);
        rig.window.startUp();
        rig.dialogs.answer(QStringLiteral("frmScreenColor"), [](QDialog* d) {
            uitest::ScriptedDialogs::press(d, QStringLiteral("optMono"));
            uitest::ScriptedDialogs::press(d, QStringLiteral("Command1"));
        });
        rig.window.action(QStringLiteral("mnuScreenColor"))->trigger();
        QVERIFY(rig.dialogs.transcript.last().startsWith(QStringLiteral("frmScreenColor: Screen Color")));
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, rgb::white());
        QCOMPARE(ScreenColors::colorsOf(rig.window.widget(QStringLiteral("GameName"))),
                 (TextColors{rgb::black(), rgb::lightGray()}));
    }
};

} // namespace

QObject* pellucar::uitest::makeColorSuite() { return new ColorTest; }

#include "tst_color.moc"
