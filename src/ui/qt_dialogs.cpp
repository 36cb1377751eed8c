#include "ui/qt_dialogs.h"

#include "ui/debrief_window.h"
#include "ui/game_review_window.h"
#include "ui/help_viewer.h"
#include "ui/kestrow.h"
#include "ui/past_games_window.h"
#include "ui/placement.h"
#include "ui/windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace pellucar::ui {

QtDialogs::QtDialogs() : helpPath_(QCoreApplication::applicationDirPath() + QStringLiteral("/dunmere.hlp")) {}

QtDialogs::~QtDialogs() {
    if (busyDepth_ > 0) QApplication::restoreOverrideCursor();
    delete help_.data();
    delete loading_.data();
}

QWidget* QtDialogs::parentWindow() const { return main_; }

HelpViewer* QtDialogs::helpViewer() const { return help_.data(); }

void QtDialogs::prepare(QDialog* dialog) {
    // What the player sees behind the window must be the game as it stands.
    if (main_) main_->sync();
    colors_.applyToDialog(dialog);
    // Whatever the screen, the window opens whole and over the game.
    placeDialog(dialog, main_);
}

int QtDialogs::run(QDialog* dialog) {
    prepare(dialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog->exec();
}

void QtDialogs::chooseScheme(Scheme scheme) {
    if (main_) main_->applyScheme(scheme);
    else colors_.apply(scheme, nullptr);
}

void QtDialogs::notify(const QString& title, const QString& message, int number) {
    NotificationWindow w(title, message, number, parentWindow());
    run(&w);
}

void QtDialogs::messageBox(const QString& message) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pellucar"), message, QMessageBox::Ok, parentWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    run(&box);
}

// Start-up opens the About window over a main window just shown. The main
// window paints first, so the player sees the game while the About window is
// made; a window manager slow to map it holds the About window back a second
// at most.
void QtDialogs::paintMainWindowFirst() {
    if (!main_ || !main_->isVisible() || main_->hasPainted()) return;
    main_->sync();
    QElapsedTimer waited;
    waited.start();
    while (!main_->hasPainted() && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    // What the first paint hands on (those told of it, the report grids).
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtDialogs::about() {
    paintMainWindowFirst();
    AboutWindow w(parentWindow());
    run(&w);
}

void QtDialogs::customProgramming() {
    CustomWindow w(parentWindow());
    run(&w);
}

bool QtDialogs::disclaimer(const QString& text) {
    DisclaimerWindow w(text, parentWindow());
    return run(&w) == QDialog::Accepted;
}

bool QtDialogs::timePeriod(TimePeriodForm& form) {
    TimePeriodWindow w(form, parentWindow());
    return run(&w) == QDialog::Accepted;
}

bool QtDialogs::levelSelected(const LevelSummary& summary) {
    LevelSelectedWindow w(summary, parentWindow());
    return run(&w) == QDialog::Accepted;
}

int QtDialogs::commoditySelect(int currentId) {
    CommoditySelectWindow w(currentId, parentWindow());
    run(&w);
    return w.chosenId();
}

void QtDialogs::news(const QString& caption, const QString& story, int heightTwips, bool scrolling) {
    NewsWindow w(caption, story, heightTwips, scrolling, parentWindow());
    run(&w);
}

bool QtDialogs::confirm(const QString& title, const QString& message) {
    ConfirmWindow w(title, message, parentWindow());
    return run(&w) == QDialog::Accepted;
}

void QtDialogs::tradeConfirmation(const QString& message) {
    TradeConfirmationWindow w(message, parentWindow());
    run(&w);
}

std::optional<QString> QtDialogs::tradeNote(const QString& trade, const QString& note) {
    TradeNoteWindow w(trade, note, parentWindow());
    if (run(&w) != QDialog::Accepted) return std::nullopt;
    return w.note();
}

GameOverChoice QtDialogs::gameOver(const GameSummary& summary) {
    GameOverWindow w(summary, parentWindow());
    run(&w);
    return w.choice();
}

EndOfGameChoice QtDialogs::endOfGame(const GameSummary& summary) {
    EndOfGameWindow w(summary, parentWindow());
    run(&w);
    return w.choice();
}

void QtDialogs::commissions(const CommissionStatement& statement) {
    CommissionWindow w(statement, parentWindow());
    run(&w);
}

void QtDialogs::pastGames(const PastGamesReport& report) {
    PastGamesWindow w(report, parentWindow());
    run(&w);
}

std::optional<QString> QtDialogs::scenarios(const ScenariosReport& report) {
    ScenariosWindow w(report, parentWindow());
    if (run(&w) != QDialog::Accepted || w.chosen().isEmpty()) return std::nullopt;
    return w.chosen();
}

std::optional<int> QtDialogs::rewindPeriod(int last) {
    RewindWindow w(last, parentWindow());
    if (run(&w) != QDialog::Accepted) return std::nullopt;
    return w.period();
}

void QtDialogs::scenarioDebrief(const ScenarioDebrief& debrief) {
    DebriefWindow w(debrief, parentWindow());
    run(&w);
}

void QtDialogs::screenColor() {
    ScreenColorWindow w(
        colors_.scheme(),
        [this, &w](Scheme s) {
            chooseScheme(s);
            colors_.applyToDialog(&w);
        },
        parentWindow());
    run(&w);
}

void QtDialogs::help(int contextId) {
    // The help viewer keeps the desktop's own look whatever the game's
    // scheme: it stands for the system's help program.
    if (!help_) {
        help_ = new HelpViewer(helpPath_, main_);
        placeDialog(help_, main_);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
    help_->showTopic(contextId);
}

void QtDialogs::quitHelp() {
    if (help_) help_->close();
}

bool QtDialogs::printImage(const QPixmap& image, QPrinter& printer) {
    if (image.isNull()) return false;
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    p.drawPixmap(QRect(QPoint(0, 0), size), image);
    return p.end();
}

bool QtDialogs::printMainWindow() {
    if (!main_) return false;
    main_->sync();
    const QPixmap shot = main_->grab();
    if (shot.isNull()) return false;
    if (printSink_) return printSink_(shot);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(shot.width() > shot.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, main_);
    // Choosing not to print is no failure.
    if (dialog.exec() != QDialog::Accepted) return true;
    return printImage(shot, printer);
}

void QtDialogs::loading(bool shown) {
    if (shown) {
        if (!loading_) loading_ = new LoadingWindow(main_);
        colors_.applyToDialog(loading_);
        placeDialog(loading_, main_);
        loading_->show();
        loading_->raise();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        delete loading_.data();
    }
}

void QtDialogs::loadingProgress(int done, int total) {
    auto* window = qobject_cast<LoadingWindow*>(loading_.data());
    // Each visible step of the bar is painted at once; the player's input
    // waits until the read is over, so the game is never entered meanwhile.
    if (window && window->setProgress(done, total)) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtDialogs::busy(bool on) {
    if (on) {
        if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
    }
}

void QtDialogs::processEvents() { QCoreApplication::processEvents(); }

} // namespace pellucar::ui
