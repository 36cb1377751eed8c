#include "tst_suites.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QMainWindow>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

class ColorTest : public QObject {
    Q_OBJECT

private slots:

    // A highlighted market name stays highlighted from black to gray; the
    // charts, grids and shapes take each scheme's colours.
    void eachKindOfControlTakesTheScheme() {
        uitest::WindowRig rig;
        const auto colors = [&](const char* key) { return ScreenColors::colorsOf(rig.widget(key)); };
        rig.dialogs.chooseScheme(Scheme::Black);
        rig.dialogs.colors().setHighlighted(rig.widget("LabelGoldMark"), true);
        QCOMPARE(colors("LabelGoldMark"), (TextColors{rgb::black(), rgb::cyan()}));
        rig.dialogs.chooseScheme(Scheme::Gray);
        QCOMPARE(colors("LabelGoldMark"), (TextColors{rgb::black(), rgb::yellow()}));
        for (const char* k :
             {"LabelOilMark", "LabelTBondMark", "LabelSP500Mark", "LabelCattleMark", "LabelSoybeanMark", "newsgrid"})
            QCOMPARE(colors(k), (TextColors{rgb::black(), rgb::lightGray()}));
        const ChartColors left = static_cast<GameChartView*>(rig.widget("GraphLeft"))->colors();
        QCOMPARE((TextColors{left.text, left.back}), (TextColors{rgb::blue(), rgb::lightGray()}));
        rig.dialogs.chooseScheme(Scheme::Monochrome);
        QCOMPARE(colors("TradeGrid"), (TextColors{rgb::black(), rgb::white()}));
        QCOMPARE(colors("GameName"), (TextColors{rgb::black(), rgb::lightGray()}));
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, rgb::white());
        QCOMPARE(rig.widget("shpExpMark")->property("borderColor").value<QColor>(), rgb::black());
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
        uitest::WindowRig rig;
        if (from != Scheme::Design) rig.dialogs.chooseScheme(from);
        rig.dialogs.colors().setHighlighted(rig.widget("LabelOilMark"), highlighted);
        rig.dialogs.chooseScheme(to);
        QCOMPARE(ScreenColors::colorsOf(rig.widget("LabelOilMark")).back, back);
    }

    // WCAG 2 contrast: 21:1 at the extremes, and the pairs the schemes are
    // built from land on the right side of AA's 4.5:1.
    void contrastIsMeasuredAsWcagDoes() {
        QCOMPARE(qRound(contrastRatio(rgb::black(), rgb::white()) * 100), 2100);
        QCOMPARE(contrastRatio(rgb::white(), rgb::black()), contrastRatio(rgb::black(), rgb::white()));
        QCOMPARE(qRound(contrastRatio(rgb::blue(), rgb::lightGray()) * 100), 472);
        QVERIFY(contrastRatio(rgb::red(), rgb::white()) < 4.5);
    }

    // Every text each scheme sets reads at AA contrast (4.5:1) on its
    // background: the main window's labels (a highlighted market name
    // included), buttons, boxes, grids with their headings and selection,
    // the charts' texts, and every other window with its labels, buttons
    // and boxes. Disabled captions are exempt (WCAG asks nothing of an
    // inactive control); the schemes keep them at 3:1 of their own accord.
    void everyTextMeetsAaContrastInEveryScheme() {
        for (const ControlSpec& ctl : mainWindowControls())
            if (ctl.kind == ControlKind::Label)
                QVERIFY2(ColorTable::labelGroup(ctl.key) != LabelGroup::None, qPrintable(ctl.key));
        uitest::WindowRig rig;
        // The windows take their colours by the kind of each control: these
        // two hold every kind (labels, values, buttons, a grid with its
        // heading, a bar).
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
        // Scroll bars and the loading bar keep the desktop's colours: in a
        // window's black they would vanish.
        auto checkBars = [](const QString& scheme, QWidget* window) {
            const QPalette desktop = QApplication::palette();
            for (QWidget* w : window->findChildren<QWidget*>())
                if (qobject_cast<QScrollBar*>(w) || qobject_cast<QProgressBar*>(w))
                    for (QPalette::ColorRole role : {QPalette::Button, QPalette::Window, QPalette::Base})
                        QVERIFY2(w->palette().color(role) == desktop.color(role),
                                 qPrintable(scheme + ' ' + window->objectName() + ' ' + w->metaObject()->className()));
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
            checkBars(scheme, &rig.window);
            for (QWidget* d : windows) {
                rig.dialogs.colors().applyToDialog(d);
                for (QWidget* w : texts(d)) checkWidget(scheme, w);
                checkBars(scheme, d);
            }
        }
        // Before any choice the desktop's colours stand, but for what the
        // game draws itself: the highlight and the charts.
        const TextColors high = ColorTable::label(Scheme::Design, LabelGroup::QuoteName, true);
        check(QStringLiteral("design highlight"), high.text, high.back);
        const ChartColors chart = ColorTable::chart(Scheme::Design, QStringLiteral("GraphLeft"));
        check(QStringLiteral("design chart"), chart.text, chart.back);
        qDeleteAll(windows);
    }

    // The screen colour window applies a choice at once, with its options
    // and close button locked meanwhile; windows opened later take it.
    // Opened again from the menu it marks the scheme in force and offers the
    // standard colours back; on every scheme an option's mark stands out
    // from the window (its field) and its dot from the field.
    void screenColorWindowAppliesItsChoices() {
        uitest::WindowRig rig;
        rig.window.startUp();
        QList<bool> enabledWhileApplying;
        ScreenColorWindow w(Scheme::Design, [&](Scheme s) {
            for (QWidget* c : w.choiceControls()) enabledWhileApplying << c->isEnabled();
            rig.dialogs.chooseScheme(s);
        });
        w.findChild<QAbstractButton*>(QStringLiteral("optBlack"))->click();
        QCOMPARE(enabledWhileApplying, (QList<bool>{false, false, false, false, false}));
        for (QWidget* c : w.choiceControls()) QVERIFY(c->isEnabled());
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, rgb::black());
        TextColors aboutColors;
        rig.dialogs.answer(QStringLiteral("frmAboutKestrow"), [&](QDialog* d) {
            aboutColors = ScreenColors::colorsOf(d->findChild<QLabel*>(QStringLiteral("Label1")));
            d->accept();
        });
        rig.dialogs.about();
        QCOMPARE(aboutColors, (TextColors{rgb::white(), rgb::black()}));

        QStringList checked;
        QList<double> fieldContrast, dotContrast;
        const QColor designBack = QPalette().color(QPalette::Window);
        rig.dialogs.answer(QStringLiteral("frmScreenColor"), [&](QDialog* d) {
            for (QRadioButton* b : d->findChildren<QRadioButton*>())
                if (b->isChecked()) checked << b->objectName();
            for (const char* scheme : {"optBlack", "optGray", "optMono", "optDesign"}) {
                auto* b = d->findChild<QRadioButton*>(QString::fromLatin1(scheme));
                b->click();
                const QPalette p = b->palette();
                fieldContrast << contrastRatio(p.color(QPalette::Base), d->palette().color(QPalette::Window));
                dotContrast << contrastRatio(p.color(QPalette::Text), p.color(QPalette::Base));
            }
            uitest::ScriptedDialogs::press(d, QStringLiteral("Command1"));
        });
        rig.window.action(QStringLiteral("mnuScreenColor"))->trigger();
        QVERIFY(rig.dialogs.transcript.last().startsWith(QStringLiteral("frmScreenColor: Screen Color")));
        QCOMPARE(checked, QStringList{"optBlack"});
        QVERIFY2(fieldContrast[0] >= 3 && fieldContrast[1] >= 1.4, qPrintable(QString::number(fieldContrast[0])));
        for (double c : dotContrast) QVERIFY(c >= 4.5);
        QCOMPARE(ScreenColors::colorsOf(rig.window.centralWidget()).back, designBack);
        QCOMPARE(rig.dialogs.colors().scheme(), Scheme::Design);
    }
};

} // namespace

QObject* pellucar::uitest::makeColorSuite() { return new ColorTest; }

#include "tst_color.moc"
