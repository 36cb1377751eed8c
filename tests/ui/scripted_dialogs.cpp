#include "scripted_dialogs.h"

#include "app/game/game.h"
#include "support/fixture_db.h"
#include "ui/kestrow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>

#include <stdexcept>

namespace pellucar::uitest {

void ScriptedDialogs::press(QDialog* d, const QString& buttonName) {
    auto* b = d->findChild<QAbstractButton*>(buttonName);
    if (!b) throw std::runtime_error(("no button " + buttonName + " in " + d->objectName()).toStdString());
    b->click();
}

int ScriptedDialogs::run(QDialog* d) {
    prepare(d);
    QString text;
    if (auto* l = d->findChild<QLabel*>(QStringLiteral("Label1")); l && d->objectName() == "frmPlayerNotification")
        text = l->text();
    if (auto* box = qobject_cast<QMessageBox*>(d)) text = box->text();
    transcript << d->objectName() + ": " + d->windowTitle() + " | " + text;
    d->setResult(QDialog::Rejected);
    if (auto it = queued_.find(d->objectName()); it != queued_.end() && !it->isEmpty()) it->takeFirst()(d);
    else defaultAnswer(d);
    return d->result();
}

// The button that answers each plain window.
const QHash<QString, QString> kButtons{{"frmLevelSelected", "cmdBegin"}, {"frmEndofGame", "btnContinue"},
                                       {"frmGameOver", "btnPlayAgain"},  {"frmPlayerNotification", "btnOkay"},
                                       {"frmNewsDisplay", "btnclose"},   {"frmTradeConfirmation", "Command1"},
                                       {"frmScreenColor", "Command1"},   {"frmAboutKestrow", "cmdOK"},
                                       {"frmCustom", "cmdOK"},           {"frmCommiss", "cmdOK"},
                                       {"frmCommoditySelect", "cmdOK"}};

void ScriptedDialogs::defaultAnswer(QDialog* d) {
    const QString name = d->objectName();
    if (name == "frmDisclaimer") {
        press(d, agree ? "btnClose" : "btnExit");
    } else if (name == "frmTimePeriod") {
        // Data first: it changes the lists and the options that apply.
        press(d, setup.data == "Tick" ? "OptTick" : "OptDaily");
        press(d, setup.level == "Novice" ? "OptNovice" : "OptExpert");
        press(d, "Opt" + setup.length);
        press(d, setup.news == "Daily" ? "OptDayReports" : "OptAnnual");
        press(d, setup.random ? "optSelect_1" : "optSelect_0");
        press(d, "Opt" + setup.rules);
        if (!setup.random) {
            auto* months = d->findChild<QComboBox*>("Combo1");
            auto* years = d->findChild<QComboBox*>("Combo2");
            if (months->isVisibleTo(d)) emit months->activated(setup.month - 1);
            emit years->activated(years->findText(QString::number(setup.year)));
        }
        press(d, "cmdBegin");
    } else if (const QString button = kButtons.value(name); !button.isEmpty()) {
        press(d, button);
    } else {
        d->accept();
    }
}

QString cutShort(const QWidget* w) {
    auto* l = qobject_cast<const QLabel*>(w);
    const QSize need = l && l->wordWrap() ? QSize(w->width(), l->heightForWidth(w->width())) : w->sizeHint();
    if (need.width() <= w->width() && need.height() <= w->height()) return {};
    return QString::asprintf("%s %dx%d < %dx%d", qPrintable(w->objectName()), w->width(), w->height(), need.width(),
                             need.height());
}

namespace {
// Commodity ids 1 Cattle, 2 Gold, 3 Oil, 4 SP500, 5 Soybean (cents), 6 TBond.
const QString& writeFixtureDatabase(test::FixtureDb& db) {
    db.exec(QStringLiteral("BEGIN"));
    const double base[7] = {0, 74.5, 401.0, 21.5, 352.0, 590.0, 98.5};
    const double step[7] = {0, 0.25, 1.5, 0.2, 2.0, 2.0, 0.125};
    const QList<QDate> days = test::weekdays(QDate(1990, 1, 2), QDate(1990, 1, 31));
    for (int id = 1; id <= 6; ++id)
        for (int n = 0; n < days.size(); ++n) {
            const double close = base[id] + step[id] * (n % 4 == 3 ? -1 : n);
            const double open = close - step[id] / 2;
            db.addDaily(id, days[n], open, close + step[id], open - step[id], close);
        }
    db.addOverview(QDate(1965, 10, 17), 0, QStringLiteral("Fixture disclaimer: a game, not advice."));
    // One tick day of Oil with a story before its first hour.
    db.addTickDay(QDate(1996, 1, 2));
    db.addTick(3, QStringLiteral("1996-01-02 08:45:00"), 1.95);
    db.addNews(QDate(1996, 1, 2), QStringLiteral("08:30:00"), QStringLiteral("Fed Holds Rates"),
               QStringLiteral("The whole story. ").repeated(40));
    db.exec(QStringLiteral("COMMIT"));
    return db.path();
}
} // namespace

const QString& fixtureDatabase() {
    static test::FixtureDb db(QStringLiteral("ui-fixture"));
    static const QString& path = writeFixtureDatabase(db);
    return path;
}

} // namespace pellucar::uitest
