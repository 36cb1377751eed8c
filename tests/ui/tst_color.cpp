#include "tst_suites.h"

#include <QAbstractItemView>
#include <QGroupBox>

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
