#include "tst_suites.h"

#include "ui/desk_settings.h"
#include "ui/placement.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

template <typename T = QWidget> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no %s", name);
    return c;
}
QString text(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
void click(QWidget* w, const char* name) { child<QAbstractButton>(w, name)->click(); }
QStringList items(QComboBox* c) {
    QStringList l;
    for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
    return l;
}

// The values the loading window's bar showed as it was painted.
class LoadWatch : public QObject {
public:
    QList<int> shown;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint || !o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        if (w->window()->objectName() != QLatin1String("frminitialize")) return false;
        if (auto* bar = qobject_cast<QProgressBar*>(w); bar && (shown.isEmpty() || shown.last() != bar->value()))
            shown << bar->value();
        return false;
    }
};

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

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    // The notification is as wide as its message plus 150 twips either side,
    // with OK centred under the text.
    void notificationFitsItsMessage_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("one line") << QStringLiteral("  Position Limit Exceeded: The Maximum Position is 100 Contracts");
        QTest::newRow("two lines") << QStringLiteral("Margin Call!\r\nDeposit funds or reduce your positions.");
        QTest::newRow("shorter than its button") << QStringLiteral("Hi");
    }
    void notificationFitsItsMessage() {
        QFETCH(QString, message);
        NotificationWindow w(QStringLiteral("Trader Notification"), message, 2);
        QLabel* label = child<QLabel>(&w, "Label1");
        QCOMPARE(label->text(), displayText(message));
        QVERIFY(child(&w, "ColorScheme")->isHidden());
        QWidget* ok = child(&w, "btnOkay");
        QVERIFY(ok->x() >= 0 && ok->geometry().right() < w.width() && ok->width() >= ok->sizeHint().width());
        QVERIFY(ok->y() > label->geometry().bottom() && w.height() > ok->geometry().bottom());
        if (message.size() < 5) return;
        const int margin = twipsToPixelsX(150, &w);
        const int textWidth = twipsToPixelsX(textWidthTwips(label, message), &w);
        QCOMPARE(label->x(), margin);
        QCOMPARE(w.width(), textWidth + 2 * margin);
        QVERIFY(label->height() >= label->sizeHint().height());
        QVERIFY(qAbs(ok->geometry().center().x() - label->geometry().center().x()) <= 1);
    }

    // Each option writes the setup form at once and the window then shows
    // what the form allows.
    void setupWindowFollowsItsForm() {
        TimePeriodForm form;
        form.reset(Level::Expert, DataMode::Daily, TimePeriodForm::Length::Year, NewsOption::Annual);
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
        QVERIFY(form.month == 4 && form.length == TimePeriodForm::Length::Month && form.news == NewsOption::Daily);

        click(&w, "optSelect_1");
        QVERIFY(form.random);
        QVERIFY(months->isHidden() && years->isHidden());
        click(&w, "OptDaily");
        QVERIFY(child(&w, "OptYear")->isEnabled());

        click(&w, "cmdBegin");
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }

    // Tab stops once in each option group, on the chosen option; the
    // heading's letter reaches the group, the arrow keys choose within it.
    void setupWindowTabsToTheChosenOptions() {
        TimePeriodForm form;
        form.reset(Level::Expert, DataMode::Daily, TimePeriodForm::Length::Year, NewsOption::Annual);
        TimePeriodWindow w(form);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        child(&w, "OptExpert")->setFocus();
        QStringList stops;
        for (int i = 0; i < 6; ++i) {
            stops << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(stops, (QStringList{"OptExpert", "OptYear", "OptDaily", "OptAnnual", "optSelect_0", "Combo2"}));
        QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("OptYear"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(form.length, TimePeriodForm::Length::Quarter);
        QTest::keyClick(&w, Qt::Key_L, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("OptExpert"));
    }

    // Where windows open: centred on the main window, whole on the screen.
    void windowsOpenInsideTheScreen_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QRect>("expected");
        // In a 1024x768 room, with a 20-pixel title bar above each window.
        QTest::newRow("centred on the main window")
            << QSize(200, 100) << QRect(100, 100, 600, 400) << QRect(300, 260, 200, 100);
        QTest::newRow("kept off the right edge")
            << QSize(200, 100) << QRect(800, 100, 600, 400) << QRect(824, 260, 200, 100);
        QTest::newRow("shrunk to the room")
            << QSize(2000, 2000) << QRect(100, 100, 600, 400) << QRect(0, 20, 1024, 748);
        QTest::newRow("no main window: the room's centre") << QSize(400, 300) << QRect() << QRect(312, 244, 400, 300);
    }
    void windowsOpenInsideTheScreen() {
        QFETCH(QSize, size);
        QFETCH(QRect, anchor);
        QFETCH(QRect, expected);
        QCOMPARE(placedWithin(size, QMargins(0, 20, 0, 0), anchor, QRect(0, 0, 1024, 768)), expected);
    }

    // What the desk remembers comes back; a file it cannot use gives the
    // defaults, and the next save replaces it.
    void deskSettingsFallBackToDefaults_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("schemeKept");
        QTest::newRow("saved by the game") << QByteArray() << true;
        QTest::newRow("an unknown scheme") << QByteArray("[window]\ncolors=purple\ngeometry=12\n") << false;
        QTest::newRow("another program's file") << QByteArray("[General]\nfoo=bar\n") << false;
        QTest::newRow("damaged") << QByteArray::fromHex("5b77696e646f770afffe00") + "colors=black\n" << false;
    }
    void deskSettingsFallBackToDefaults() {
        QFETCH(QByteArray, file);
        QFETCH(bool, schemeKept);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("desk.conf"));
        QWidget window;
        window.resize(432, 321);
        const QByteArray geometry = window.saveGeometry();
        if (file.isEmpty()) {
            QSettings store(path, QSettings::IniFormat);
            DeskSettings(store).remember(geometry, Scheme::Gray);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        QSettings store(path, QSettings::IniFormat);
        DeskSettings desk(store);
        QCOMPARE(desk.scheme(), schemeKept ? std::optional(Scheme::Gray) : std::nullopt);
        QWidget restored;
        QCOMPARE(restored.restoreGeometry(desk.windowGeometry()), schemeKept);
        if (schemeKept) QCOMPARE(restored.size(), QSize(432, 321));
        desk.remember(geometry, Scheme::Black);
        QSettings again(path, QSettings::IniFormat);
        QCOMPARE(DeskSettings(again).scheme(), std::optional<Scheme>(Scheme::Black));
    }

    void newsWindowSizeFollowsTheStory_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("scrolling");
        QTest::newRow("short") << 1400 << false;
        QTest::newRow("middle") << 2500 << false;
        QTest::newRow("long") << 5000 << true;
    }
    void newsWindowSizeFollowsTheStory() {
        QFETCH(int, height);
        QFETCH(bool, scrolling);
        NewsWindow w(QStringLiteral("Fed Holds Rates"), QStringLiteral("The story."), height, scrolling);
        QCOMPARE(w.windowTitle(), QStringLiteral("Fed Holds Rates"));
        QCOMPARE(w.storyRect().height(), twipsToPixelsY(height - 360, &w));
        auto* box = child<QPlainTextEdit>(&w, "txtNewsDisplay");
        QWidget* label = child(&w, "Labelnews");
        QVERIFY(box->isHidden() != scrolling && label->isHidden() == scrolling && box->isReadOnly());
        w.show();
        w.resize(500, 260);
        QCOMPARE((QList<QRect>{box->geometry(), label->geometry()}), QList<QRect>(2, w.storyRect()));
        // The headline heads the story; the Close button stands under it, in sight.
        QCOMPARE(text(&w, "lblHeadline"), QStringLiteral("Fed Holds Rates"));
        QCOMPARE(child(&w, "lblHeadline")->geometry().bottom() + 1, w.storyRect().top());
        QWidget* close = child(&w, "btnclose");
        QVERIFY(close->geometry().top() > w.storyRect().bottom() && w.rect().contains(close->geometry()));
        QTRY_VERIFY(close->hasFocus());
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

    // A Tick game's load moves its bar on, painted, market by market, and
    // closes its window at the end.
    void aTickLoadShowsItsProgress() {
        uitest::WindowRig rig;
        rig.dialogs.setup = {"Expert", "Month", "Tick", "Annual", false, 1, 1996};
        rig.window.show();
        rig.window.startUp();
        LoadWatch watch;
        qApp->installEventFilter(&watch);
        rig.window.action(QStringLiteral("mnuNewGame"))->trigger();
        qApp->removeEventFilter(&watch);
        // Six markets, each an equal sixth of the bar, in whole percents.
        QCOMPARE(watch.shown, (QList<int>{0, 16, 33, 50, 66, 83, 100}));
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != QLatin1String("frminitialize") || !w->isVisible());
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
        dialogs.busy(false); // an extra release must not pop someone else's cursor
        QVERIFY(!QApplication::overrideCursor());
    }

    // A click on the score header sorts by value, not by text; the best
    // scores show in the scheme's colours.
    void pastGamesSortByValueInTheSchemeColours() {
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

        ScreenColors colors;
        colors.apply(Scheme::Black, nullptr);
        colors.applyToDialog(&w);
        QCOMPARE(text(&w, "lblBestExpert") + ' ' + text(&w, "lblBestNovice"), QStringLiteral("$10,000.00 $900.00"));
        QCOMPARE(ScreenColors::colorsOf(child(&w, "lblBestExpert")), ColorTable::dialogValue(Scheme::Black));
        QCOMPARE(ScreenColors::colorsOf(w.table()), ColorTable::grid(Scheme::Black));
    }
};

} // namespace

QObject* pellucar::uitest::makeWindowsSuite() { return new WindowsTest; }

#include "tst_windows.moc"
