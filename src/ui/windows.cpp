#include "ui/windows.h"
#include "ui/game_review_window.h"

#include "common/market.h"
#include "trading/trade_journal.h"
#include "ui/metrics.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace pellucar::ui {

namespace {

// Holds a window's content above its buttons: as large as the content
// where the screen has the room, and scrolling where it has not (a small
// screen at 200 %), so the buttons below stay on screen.
class ShrinkingArea : public QScrollArea {
public:
    explicit ShrinkingArea(QWidget* content, QWidget* parent) : QScrollArea(parent) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The keyboard goes to the content's controls, never to the area;
        // the area scrolls to whichever has it.
        setFocusPolicy(Qt::NoFocus);
        setWidget(content);
    }
    QSize sizeHint() const override { return widget()->sizeHint(); }
    QSize minimumSizeHint() const override {
        return {widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width(),
                fontMetrics().lineSpacing() * 4};
    }
};

QHBoxLayout* buttonRow(const QList<QPushButton*>& buttons) {
    auto* h = new QHBoxLayout;
    h->addStretch(1);
    for (QPushButton* b : buttons) h->addWidget(b);
    h->addStretch(1);
    return h;
}

} // namespace

GameWindow::GameWindow(const QString& objectName, const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setFont(windowFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QLabel* GameWindow::label(const QString& name, const QString& text, bool value) {
    auto* l = new QLabel(displayText(text), this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    if (value) l->setProperty("valueLabel", true);
    return l;
}

QPushButton* GameWindow::button(const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QVBoxLayout* GameWindow::standardLayout(std::initializer_list<QObject*> parts, const QList<QPushButton*>& buttons,
                                        int spacing, int gap, QMargins margins) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(margins);
    if (spacing >= 0) v->setSpacing(spacing);
    for (QObject* part : parts) {
        if (auto* layout = qobject_cast<QLayout*>(part)) v->addLayout(layout);
        else v->addWidget(qobject_cast<QWidget*>(part));
    }
    if (gap > 0) v->addSpacing(gap);
    v->addLayout(buttonRow(buttons));
    return v;
}

void GameWindow::requireChoice() {
    choiceRequired_ = true;
    setWindowFlag(Qt::WindowCloseButtonHint, false);
}

void GameWindow::reject() {
    if (!choiceRequired_) QDialog::reject();
}

// --- frmPlayerNotification -------------------------------------------------

NotificationWindow::NotificationWindow(const QString& title, const QString& message, int number, QWidget* parent)
    : GameWindow(QStringLiteral("frmPlayerNotification"), QStringLiteral("Pellucar"), parent) {
    setWindowTitle(title);
    QLabel* text = label(QStringLiteral("Label1"), message);
    QLabel* scheme = label(QStringLiteral("ColorScheme"), QString::number(number));
    scheme->hide();
    QPushButton* ok = button(QStringLiteral("btnOkay"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // The window is as wide as the message plus a margin of 150 twips on
    // either side; a message wider than the screen wraps instead.
    const int margin = twipsToPixelsX(150, this);
    const int gap = twipsToPixelsY(120, this);
    int textWidth = twipsToPixelsX(textWidthTwips(text, message), this);
    const QScreen* s = parent ? parent->screen() : QApplication::primaryScreen();
    const int maxText = (s ? s->availableGeometry().width() * 9 / 10 : 1200) - 2 * margin;
    if (textWidth > maxText) {
        textWidth = maxText;
        text->setWordWrap(true);
    }
    const QSize okSize = ok->sizeHint().expandedTo(QSize(twipsToPixelsX(1200, this), 0));
    textWidth = qMax(textWidth, okSize.width());
    const int textHeight = text->wordWrap() ? text->heightForWidth(textWidth) : text->sizeHint().height();
    text->setGeometry(margin, gap, textWidth, textHeight);
    // OK stands centred under the text.
    ok->setGeometry(margin + (textWidth - okSize.width()) / 2, gap + textHeight + gap, okSize.width(), okSize.height());
    setFixedSize(textWidth + 2 * margin, ok->geometry().bottom() + gap);
}

// --- frmConfirm ------------------------------------------------------------

ConfirmWindow::ConfirmWindow(const QString& title, const QString& message, QWidget* parent)
    : GameWindow(QStringLiteral("frmConfirm"), title, parent) {
    QLabel* text = label(QStringLiteral("lblQuestion"), message);
    text->setWordWrap(true);
    text->setMinimumWidth(twipsToPixelsX(4800, this));
    QPushButton* yes = button(QStringLiteral("btnYes"), QStringLiteral("&Yes"));
    QPushButton* no = button(QStringLiteral("btnNo"), QStringLiteral("&No"));
    no->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    standardLayout({text}, {yes, no}, -1, 8);
    setFixedSize(sizeHint());
}

// --- frmAboutKestrow / frmCustom ------------------------------------------

AboutWindow::AboutWindow(QWidget* parent)
    : GameWindow(QStringLiteral("frmAboutKestrow"), QStringLiteral("About Pellucar"), parent) {
    QLabel* title = label(QStringLiteral("LabelN"), QStringLiteral("Pellucar"));
    title->setFont(titleFont());
    QLabel* broker = label(QStringLiteral("Label1"), QStringLiteral("Dunmere"));
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(10);
    broker->setFont(bold);
    QLabel* legal =
        label(QStringLiteral("Label2"),
              QStringLiteral("Copyright (c) Pellucar Games.  Free software under the GNU GPL, version 3 or later.\r\n"
                             "Dunmere is a fictional brokerage; the prices are real history."));
    QLabel* web = label(QStringLiteral("Label4"), QStringLiteral("On the web:  www.pellucar.example"));
    QLabel* instructions =
        label(QStringLiteral("Label6"), QStringLiteral("For Game Instructions, select Instructions\r\n"
                                                       "listed under Help on the Pull-Down Menu"));
    QLabel* risk = label(QStringLiteral("Label8"),
                         QStringLiteral("A game for learning and for fun.  It gives no investment advice:\r\n"
                                        "trading real futures can lose more money than you put in."));
    for (QLabel* l : {title, broker, legal, web, instructions, risk}) l->setAlignment(Qt::AlignCenter);
    QPushButton* ok = button(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        QCoreApplication::processEvents();
        accept();
    });
    standardLayout({title, broker, legal, web, instructions, risk}, {ok}, 8);
}

CustomWindow::CustomWindow(QWidget* parent)
    : GameWindow(QStringLiteral("frmCustom"), QStringLiteral("Custom Programming"), parent) {
    QLabel* head = label(QStringLiteral("Label3"), QStringLiteral("Custom Programming"));
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(10);
    head->setFont(bold);
    QLabel* top = label(QStringLiteral("lblTop"),
                        QStringLiteral("The makers of Pellucar write custom software for broker-dealers and "
                                       "investment advisors: trading games and simulations for client education, "
                                       "training desks for new staff, market-data tools and account reports, "
                                       "built around your firm's own products, prices and rules."));
    QLabel* bottom = label(QStringLiteral("lblBottom"), QStringLiteral("For details please contact:\r\n"
                                                                       "Pellucar Games, Custom Programming\r\n"
                                                                       "12 Example Row, Suite 4, Springfield\r\n"
                                                                       "custom@pellucar.example\r\n"
                                                                       "www.pellucar.example"));
    top->setWordWrap(true);
    top->setMinimumWidth(twipsToPixelsX(5200, this));
    bottom->setAlignment(Qt::AlignCenter);
    head->setAlignment(Qt::AlignCenter);
    QPushButton* ok = button(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    standardLayout({head, top, bottom}, {ok}, 10);
}

// --- frmDisclaimer ---------------------------------------------------------

DisclaimerWindow::DisclaimerWindow(const QString& text, QWidget* parent)
    : GameWindow(QStringLiteral("frmDisclaimer"), QStringLiteral("Disclaimer Statement"), parent) {
    requireChoice();
    auto* box = new QPlainTextEdit(displayText(text), this);
    box->setObjectName(QStringLiteral("txtNewsDisplay"));
    box->setReadOnly(true);
    QPushButton* agree = button(QStringLiteral("btnClose"), QStringLiteral("&Agree"));
    QPushButton* disagree = button(QStringLiteral("btnExit"), QStringLiteral("&Disagree"));
    connect(agree, &QPushButton::clicked, this, &QDialog::accept);
    connect(disagree, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    auto* v = new QVBoxLayout(this);
    v->addWidget(box, 1);
    v->addLayout(buttonRow({agree, disagree}));
    resize(twipsToPixelsX(7000, this), twipsToPixelsY(5000, this));
    agree->setFocus();
}

// --- frmTimePeriod ---------------------------------------------------------

QRadioButton* TimePeriodWindow::option(QWidget* frame, const QString& name, const QString& caption) {
    auto* b = new QRadioButton(caption, frame);
    b->setObjectName(name);
    frame->layout()->addWidget(b);
    return b;
}

TimePeriodWindow::TimePeriodWindow(TimePeriodForm& form, QWidget* parent)
    : GameWindow(QStringLiteral("frmTimePeriod"), QStringLiteral("Game Level Options"), parent), form_(form) {
    auto frame = [this](const QString& name, const QString& caption) {
        auto* g = new QGroupBox(caption, this);
        g->setObjectName(name);
        new QVBoxLayout(g);
        return g;
    };
    // Each heading's letter takes the keyboard to the group's chosen option.
    QGroupBox* level = frame(QStringLiteral("Frame1"), QStringLiteral("&Level"));
    QGroupBox* length = frame(QStringLiteral("Frame2"), QStringLiteral("Game Le&ngth"));
    QGroupBox* data = frame(QStringLiteral("Frame3"), QStringLiteral("&Data"));
    QGroupBox* news = frame(QStringLiteral("Frame4"), QStringLiteral("Ne&ws Reports"));
    QGroupBox* time = frame(QStringLiteral("fTime"), QStringLiteral("&Time Period"));
    QGroupBox* rules = frame(QStringLiteral("FrameRules"), QStringLiteral("R&ules"));

    QRadioButton* novice = option(level, QStringLiteral("OptNovice"), QStringLiteral("Novice"));
    QRadioButton* expert = option(level, QStringLiteral("OptExpert"), QStringLiteral("Expert"));
    QRadioButton* month = option(length, QStringLiteral("OptMonth"), QStringLiteral("One Month"));
    QRadioButton* quarter = option(length, QStringLiteral("OptQuarter"), QStringLiteral("One Quarter"));
    QRadioButton* year = option(length, QStringLiteral("OptYear"), QStringLiteral("One Year"));
    QRadioButton* daily = option(data, QStringLiteral("OptDaily"), QStringLiteral("Daily"));
    QRadioButton* tick = option(data, QStringLiteral("OptTick"), QStringLiteral("Tick"));
    QRadioButton* annual = option(news, QStringLiteral("OptAnnual"), QStringLiteral("Annual"));
    QRadioButton* dayReports = option(news, QStringLiteral("OptDayReports"), QStringLiteral("Daily"));
    QRadioButton* classic = option(rules, QStringLiteral("OptClassic"), QStringLiteral("Classic"));
    QRadioButton* trainer = option(rules, QStringLiteral("OptTrainer"),
                                   QStringLiteral("Trainer: limit, stop and bracket orders, commissions"));
    QRadioButton* select = option(time, QStringLiteral("optSelect_0"), QStringLiteral("&Select Timeperiod"));
    QRadioButton* random = option(time, QStringLiteral("optSelect_1"), QStringLiteral("&Random Timeperiod"));
    QLabel* timeLabel = label(QStringLiteral("labeltime"), QString());
    auto* months = new QComboBox(time);
    months->setObjectName(QStringLiteral("Combo1"));
    auto* years = new QComboBox(time);
    years->setObjectName(QStringLiteral("Combo2"));
    auto* lists = new QHBoxLayout;
    lists->addWidget(months);
    lists->addWidget(years);
    lists->addStretch(1);
    time->layout()->addWidget(timeLabel);
    static_cast<QVBoxLayout*>(time->layout())->addLayout(lists);
    for (QComboBox* c : {months, years}) {
        QSizePolicy p = c->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        c->setSizePolicy(p);
    }

    QLabel* explain = label(QStringLiteral("Label1"),
                            QStringLiteral("When Playing Pellucar, you may either select a historical timeperiod to "
                                           "trade or the Game will choose a random year for you."));
    explain->setWordWrap(true);
    QPushButton* begin = button(QStringLiteral("cmdBegin"), QStringLiteral("&Begin"));
    QPushButton* cancel = button(QStringLiteral("cmdReset"), QStringLiteral("&Cancel"));
    begin->setDefault(true);

    // Each option acts at once on the form; the window then follows it.
    auto on = [this](QRadioButton* b, std::function<void()> change) {
        connect(b, &QRadioButton::clicked, this, [this, change] {
            change();
            render();
        });
    };
    on(novice, [this] { form_.level = Level::Novice; });
    on(expert, [this] { form_.level = Level::Expert; });
    on(month, [this] { form_.length = GameLength::Month; });
    on(quarter, [this] { form_.length = GameLength::Quarter; });
    on(year, [this] { form_.length = GameLength::Year; });
    on(daily, [this] { form_.setData(DataMode::Daily); });
    on(tick, [this] { form_.setData(DataMode::Tick); });
    on(annual, [this] { form_.news = NewsOption::Annual; });
    on(dayReports, [this] { form_.news = NewsOption::Daily; });
    on(classic, [this] { form_.rules = RuleSet::Classic; });
    on(trainer, [this] { form_.rules = RuleSet::Trainer; });
    on(select, [this] { form_.random = false; });
    on(random, [this] { form_.random = true; });
    connect(months, &QComboBox::activated, this, [this](int i) {
        form_.month = i + 1;
        render();
    });
    connect(years, &QComboBox::activated, this, [this, years](int i) {
        form_.year = years->itemText(i).toInt();
        render();
    });
    connect(begin, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* content = new QWidget(this);
    auto* grid = new QGridLayout;
    grid->addWidget(level, 0, 0);
    grid->addWidget(length, 0, 1);
    grid->addWidget(data, 1, 0);
    grid->addWidget(news, 1, 1);
    grid->addWidget(rules, 2, 0, 1, 2);
    auto* c = new QVBoxLayout(content);
    c->setContentsMargins(0, 0, 0, 0);
    c->addLayout(grid);
    c->addWidget(explain);
    c->addWidget(time);
    auto* v = new QVBoxLayout(this);
    v->addWidget(new ShrinkingArea(content, this), 1);
    v->addLayout(buttonRow({begin, cancel}));
    render();
    setMinimumWidth(twipsToPixelsX(5400, this));
}

void TimePeriodWindow::render() {
    auto set = [this](const char* name, bool checked) {
        auto* b = findChild<QRadioButton*>(QString::fromLatin1(name));
        const QSignalBlocker block(b);
        b->setChecked(checked);
    };
    set("OptNovice", form_.level == Level::Novice);
    set("OptExpert", form_.level != Level::Novice);
    set("OptMonth", form_.length == GameLength::Month);
    set("OptQuarter", form_.length == GameLength::Quarter);
    set("OptYear", form_.length == GameLength::Year);
    set("OptDaily", !form_.tick());
    set("OptTick", form_.tick());
    set("OptAnnual", form_.news != NewsOption::Daily);
    set("OptDayReports", form_.news == NewsOption::Daily);
    set("OptClassic", form_.rules != RuleSet::Trainer);
    set("OptTrainer", form_.rules == RuleSet::Trainer);
    set("optSelect_0", !form_.random);
    set("optSelect_1", form_.random);
    findChild<QRadioButton*>(QStringLiteral("OptYear"))->setEnabled(form_.yearLengthEnabled());
    // Tab stops once in each group, on its chosen option; the arrow keys
    // move between the options, as on every desktop.
    for (QRadioButton* b : findChildren<QRadioButton*>())
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);

    auto fill = [](QComboBox* c, const QStringList& items, const QString& current) {
        const QSignalBlocker block(c);
        QStringList now;
        for (int i = 0; i < c->count(); ++i) now << c->itemText(i);
        if (now != items) {
            c->clear();
            c->addItems(items);
        }
        c->setCurrentIndex(static_cast<int>(items.indexOf(current)));
    };
    auto* months = findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* years = findChild<QComboBox*>(QStringLiteral("Combo2"));
    fill(months, form_.monthItems(), TimePeriodForm::monthName(form_.month));
    fill(years, form_.yearItems(), QString::number(form_.year));
    months->setVisible(form_.monthsVisible());
    years->setVisible(form_.yearsVisible());
    auto* timeLabel = findChild<QLabel*>(QStringLiteral("labeltime"));
    timeLabel->setText(form_.timeLabel());
    timeLabel->setVisible(form_.yearsVisible());
}

// --- frmLevelSelected ------------------------------------------------------

LevelSelectedWindow::LevelSelectedWindow(const LevelSummary& summary, QWidget* parent)
    : GameWindow(QStringLiteral("frmLevelSelected"), QStringLiteral("Level Detail"), parent) {
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(12);
    const QList<std::pair<const char*, const char*>> rows{{"lblLevel", "Level:"},
                                                          {"lblMaxGameLength", "Game Length:"},
                                                          {"lblNewsOptions", "News Reports:"},
                                                          {"lblDataType", "Data:"}};
    const QStringList values{summary.level, summary.gameLength, summary.news, summary.data};
    for (int i = 0; i < rows.size(); ++i) {
        const QString name = QString::fromLatin1(rows[i].first);
        g->addWidget(label(name, QString::fromLatin1(rows[i].second)), i, 0);
        g->addWidget(label(name + QStringLiteral("Text"), values.at(i), true), i, 1);
    }
    QPushButton* begin = button(QStringLiteral("cmdBegin"), QStringLiteral("&Begin"));
    QPushButton* reset = button(QStringLiteral("cmdReset"), QStringLiteral("&Reset"));
    begin->setDefault(true);
    connect(begin, &QPushButton::clicked, this, &QDialog::accept);
    connect(reset, &QPushButton::clicked, this, &QDialog::reject);
    standardLayout({g}, {begin, reset}, -1, 8);
}

// --- frmCommoditySelect ----------------------------------------------------

CommoditySelectWindow::CommoditySelectWindow(int currentId, QWidget* parent)
    : GameWindow(QStringLiteral("frmCommoditySelect"), QStringLiteral("Pellucar"), parent), chosen_(currentId) {
    auto* frame = new QGroupBox(QStringLiteral("Co&mmodities:"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* fv = new QVBoxLayout(frame);
    QList<QRadioButton*> options;
    const QStringList names = marketNames();
    for (int i = 0; i < names.size(); ++i) {
        auto* b = new QRadioButton(names.at(i), frame);
        b->setObjectName(QStringLiteral("optCommodity_%1").arg(i));
        b->setChecked(i == currentId - 1);
        fv->addWidget(b);
        options << b;
    }
    QPushButton* ok = button(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this, options] {
        for (int i = 0; i < options.size(); ++i)
            if (options.at(i)->isChecked()) chosen_ = i + 1;
        accept();
    });
    auto* v = new QVBoxLayout(this);
    v->addWidget(frame);
    v->addLayout(buttonRow({ok}));
}

// --- frmNewsDisplay --------------------------------------------------------

NewsWindow::NewsWindow(const QString& caption, const QString& story, int heightTwips, bool scrolling, QWidget* parent)
    : GameWindow(QStringLiteral("frmNewsDisplay"), caption, parent) {
    // The close button stands in sight under the story; Enter (it has the
    // keyboard) or Esc closes the story too.
    close_ = button(QStringLiteral("btnclose"), QStringLiteral("&Close"));
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    // The headline heads the story as well as the title bar, where a long
    // one is cut and some desktops show no title at all.
    headline_ = label(QStringLiteral("lblHeadline"), caption);
    QFont bold = font();
    bold.setBold(true);
    headline_->setFont(bold);
    headline_->setWordWrap(true);
    headline_->setMargin(4);
    text_ = new QPlainTextEdit(displayText(story), this);
    text_->setObjectName(QStringLiteral("txtNewsDisplay"));
    text_->setReadOnly(true);
    short_ = label(QStringLiteral("Labelnews"), story);
    short_->setWordWrap(true);
    short_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    short_->setMargin(4);
    QLabel* spare = label(QStringLiteral("lblNews"), QString());
    spare->hide();
    text_->setVisible(scrolling);
    short_->setVisible(!scrolling);
    // The story's room is the window's outer size less 115 twips across and
    // 360 down, which the frame and title bar take; the headline and the
    // button row come on top of it.
    const int width = twipsToPixelsX(7200 - 115, this);
    resize(width, twipsToPixelsY(heightTwips - 360, this) + headlineHeight(width) + buttonRowHeight());
}

int NewsWindow::headlineHeight(int width) const {
    return headline_->text().isEmpty() ? 0 : headline_->heightForWidth(width);
}

int NewsWindow::buttonRowHeight() const { return close_->sizeHint().height() + 2 * kNewsGap; }

QRect NewsWindow::storyRect() const {
    const int top = headlineHeight(width());
    return QRect(0, top, width(), qMax(0, height() - top - buttonRowHeight()));
}

void NewsWindow::resizeEvent(QResizeEvent* e) {
    GameWindow::resizeEvent(e);
    headline_->setGeometry(0, 0, width(), headlineHeight(width()));
    text_->setGeometry(storyRect());
    short_->setGeometry(storyRect());
    const QSize b = close_->sizeHint().expandedTo(QSize(twipsToPixelsX(1200, this), 0));
    close_->setGeometry((width() - b.width()) / 2, height() - kNewsGap - b.height(), b.width(), b.height());
}

void NewsWindow::showEvent(QShowEvent* e) {
    GameWindow::showEvent(e);
    close_->setFocus();
}

// --- frmTradeConfirmation --------------------------------------------------

TradeConfirmationWindow::TradeConfirmationWindow(const QString& message, QWidget* parent)
    : GameWindow(QStringLiteral("frmTradeConfirmation"), QStringLiteral("Electronic Mail:  Trade Confirmation"),
                 parent) {
    QLabel* text = label(QStringLiteral("lblTradeConfirmation"), message, true);
    text->setWordWrap(true);
    text->setMinimumWidth(twipsToPixelsX(4200, this));
    text->installEventFilter(this);
    QPushButton* ok = button(QStringLiteral("Command1"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    standardLayout({text}, {ok}, 12, 0, {18, 16, 18, 12});
}

TradeNoteWindow::TradeNoteWindow(const QString& trade, const QString& note, QWidget* parent)
    : GameWindow(QStringLiteral("frmTradeNote"), QStringLiteral("Trade Note"), parent) {
    QLabel* about = label(QStringLiteral("lblTrade"), trade, true);
    text_ = new QLineEdit(note, this);
    text_->setObjectName(QStringLiteral("txtNote"));
    text_->setMaxLength(TradeJournal::kMostNote);
    text_->setMinimumWidth(twipsToPixelsX(5400, this));
    about->setBuddy(text_);
    QPushButton* ok = button(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    QPushButton* cancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    standardLayout({about, text_}, {ok, cancel}, 8, 6);
    text_->setFocus();
}

QString TradeNoteWindow::note() const { return text_->text(); }

void TradeConfirmationWindow::mousePressEvent(QMouseEvent* e) {
    e->accept();
    accept();
}

bool TradeConfirmationWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress) {
        accept();
        return true;
    }
    return GameWindow::eventFilter(watched, e);
}

// --- frmGameOver / frmEndofGame / frmCommiss -------------------------------

namespace {
QString rule(int n) { return QString(n, QLatin1Char('=')); }
} // namespace

void GameWindow::figureRow(QGridLayout* g, int r, const char* caption, const char* text, const char* value,
                           const QString& valueText) {
    g->addWidget(label(QString::fromLatin1(caption), QString::fromLatin1(text)), r, 0);
    QLabel* v = label(QString::fromLatin1(value), valueText, true);
    v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(v, r, 1);
}

QGridLayout* GameWindow::summaryFigures(const GameSummary& summary, const char* commissionsLabel, int ruleLength) {
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(14);
    auto row = [&](int r, const char* caption, const char* text, const char* value, const QString& valueText) {
        figureRow(g, r, caption, text, value, valueText);
    };
    row(0, "Label8", "Unrealized P(L):", "Label3", summary.unrealized);
    row(1, "Label9", "Realized P(L):", "Label4", summary.realized);
    row(2, "Label10", "Regulatory Fines:", "Label5", QString());
    row(3, commissionsLabel, "Commissions:", "label12", summary.commissions);
    g->addWidget(label(QStringLiteral("Label6"), rule(ruleLength)), 4, 0, 1, 2);
    row(5, "Label11", "Final Score:", "Label7", summary.finalScore);
    findChild<QLabel*>(QStringLiteral("Label10"))->setVisible(summary.finesVisible);
    findChild<QLabel*>(QStringLiteral("Label5"))->setVisible(summary.finesVisible);
    return g;
}

void GameWindow::summaryLayout(const GameSummary& summary, const char* verdictLabel, const char* commissionsLabel,
                               int ruleLength, const QList<QPushButton*>& buttons) {
    QLabel* verdict = label(QString::fromLatin1(verdictLabel), summary.verdict, true);
    verdict->setAlignment(Qt::AlignCenter);
    verdict->setWordWrap(true);
    QGridLayout* g = summaryFigures(summary, commissionsLabel, ruleLength);
    standardLayout({verdict, g}, buttons, 10);
    verdict->setMinimumWidth(g->sizeHint().width());
}

QList<QPushButton*> GameWindow::withReview(const GameSummary& summary, QList<QPushButton*> buttons) {
    if (!summary.review) return buttons;
    QPushButton* review = button(QStringLiteral("btnReview"), QStringLiteral("Re&view..."));
    connect(review, &QPushButton::clicked, this,
            [this, record = *summary.review] { GameReviewWindow(record, QStringLiteral("Game Review"), this).exec(); });
    buttons.append(review);
    return buttons;
}

GameOverWindow::GameOverWindow(const GameSummary& summary, QWidget* parent)
    : GameWindow(QStringLiteral("frmGameOver"),
                 summary.caption.isEmpty() ? QStringLiteral("Game Over") : summary.caption, parent) {
    requireChoice();
    QPushButton* again = button(QStringLiteral("btnPlayAgain"), QStringLiteral("&Play Again"));
    QPushButton* end = button(QStringLiteral("btnEnd"), QStringLiteral("&End"));
    connect(again, &QPushButton::clicked, this, [this] {
        choice_ = GameOverChoice::PlayAgain;
        accept();
    });
    connect(end, &QPushButton::clicked, this, [this] {
        choice_ = GameOverChoice::End;
        accept();
    });
    summaryLayout(summary, "Label2", "Label1", 41, withReview(summary, {again, end}));
}

EndOfGameWindow::EndOfGameWindow(const GameSummary& summary, QWidget* parent)
    : GameWindow(QStringLiteral("frmEndofGame"),
                 summary.caption.isEmpty() ? QStringLiteral("Game Over ") : summary.caption, parent) {
    QPushButton* cont = button(QStringLiteral("btnContinue"), QStringLiteral("&Continue"));
    QPushButton* end = button(QStringLiteral("btnExit"), QStringLiteral("&End"));
    QPushButton* again = button(QStringLiteral("btnRestartGame"), QStringLiteral("&Play Again"));
    again->setEnabled(summary.restartEnabled);
    cont->setDefault(true);
    // Esc and the close box carry on with the game, the harmless choice.
    connect(cont, &QPushButton::clicked, this, &QDialog::reject);
    connect(end, &QPushButton::clicked, this, [this] {
        choice_ = EndOfGameChoice::End;
        accept();
    });
    connect(again, &QPushButton::clicked, this, [this] {
        choice_ = EndOfGameChoice::PlayAgain;
        accept();
    });
    summaryLayout(summary, "Label1", "Label2", 53, withReview(summary, {cont, again, end}));
}

CommissionWindow::CommissionWindow(const CommissionStatement& st, QWidget* parent)
    : GameWindow(QStringLiteral("frmCommiss"), QStringLiteral("Commission Charges"), parent) {
    QLabel* explain = label(QStringLiteral("Label4"), st.explanation);
    explain->setWordWrap(true);
    explain->setMinimumWidth(twipsToPixelsX(4800, this));
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(14);
    auto row = [&](int r, const char* caption, const char* text, const char* value, const QString& valueText) {
        figureRow(g, r, caption, text, value, valueText);
    };
    row(0, "Label1", "Score (before commissions):", "Label3", st.before);
    row(1, "Label2", "Commissions:", "label12", st.commissions);
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    g->addWidget(line, 2, 0, 1, 2);
    row(3, "Label11", "Score (after commissions):", "Label7", st.after);
    QPushButton* ok = button(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    standardLayout({explain, g}, {ok}, 10);
}

// --- frmScreenColor --------------------------------------------------------

ScreenColorWindow::ScreenColorWindow(Scheme current, Apply apply, QWidget* parent)
    : GameWindow(QStringLiteral("frmScreenColor"), QStringLiteral("Screen Color"), parent), apply_(std::move(apply)) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(18, 14, 18, 12);
    // The three schemes, and the colours the game had before any was
    // chosen, so a player can go back to them.
    const QList<std::tuple<const char*, const char*, Scheme>> options{
        {"optBlack", "Black Background", Scheme::Black},
        {"optGray", "Gray Background", Scheme::Gray},
        {"optMono", "Monochrome Screen", Scheme::Monochrome},
        {"optDesign", "Standard Colors", Scheme::Design}};
    for (const auto& [name, caption, scheme] : options) {
        auto* b = new QRadioButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setChecked(scheme == current);
        const Scheme s = scheme;
        connect(b, &QRadioButton::clicked, this, [this, s] { choose(s); });
        v->addWidget(b);
    }
    QPushButton* close = button(QStringLiteral("Command1"), QStringLiteral("&Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    v->addSpacing(6);
    v->addLayout(buttonRow({close}));
}

QList<QWidget*> ScreenColorWindow::choiceControls() const {
    return {findChild<QWidget*>(QStringLiteral("optBlack")), findChild<QWidget*>(QStringLiteral("optGray")),
            findChild<QWidget*>(QStringLiteral("optMono")), findChild<QWidget*>(QStringLiteral("optDesign")),
            findChild<QWidget*>(QStringLiteral("Command1"))};
}

void ScreenColorWindow::choose(Scheme scheme) {
    const QList<QWidget*> controls = choiceControls();
    for (QWidget* w : controls) w->setEnabled(false);
    if (apply_) apply_(scheme);
    QCoreApplication::processEvents();
    for (QWidget* w : controls) w->setEnabled(true);
}

// --- frminitialize ---------------------------------------------------------

LoadingWindow::LoadingWindow(QWidget* parent)
    : GameWindow(QStringLiteral("frminitialize"), QStringLiteral("Pellucar"), parent) {
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    QLabel* text = label(QStringLiteral("Label1"), QStringLiteral("Initializing Data:  please wait"));
    QFont f = font();
    f.setPointSizeF(10);
    f.setBold(true);
    text->setFont(f);
    text->setAlignment(Qt::AlignCenter);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("barProgress"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setFixedHeight(QFontMetrics(f).height() / 2 + 4);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(24, 18, 24, 18);
    v->setSpacing(10);
    v->addWidget(text);
    v->addWidget(bar_);
}

bool LoadingWindow::setProgress(int done, int total) {
    const int percent = total > 0 ? static_cast<int>(std::clamp(100LL * done / total, 0LL, 100LL)) : 0;
    if (percent == bar_->value()) return false;
    bar_->setValue(percent);
    return true;
}

} // namespace pellucar::ui
