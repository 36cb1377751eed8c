#include "ui/help_viewer.h"

#include "ui/look.h"
#include "ui/metrics.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace pellucar::ui {

HelpViewer::HelpViewer(const QString& helpPath, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(HelpFile::load(helpPath)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Pellucar Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(desktopFont());

    list_ = new QListWidget(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    back_ = new QPushButton(QStringLiteral("&Back"), this);
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);

    for (int id : file_.ids()) {
        auto* item = new QListWidgetItem(file_.topic(id)->title, list_);
        item->setData(Qt::UserRole, id);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back_);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* split = new QSplitter(this);
    split->addWidget(list_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 3);

    auto* top = new QVBoxLayout(this);
    top->addLayout(buttons);
    top->addWidget(status_);
    top->addWidget(split, 1);

    // The topic list is as wide as its longest title, so topics that begin
    // alike ("Definitions of Common Terms: A - L" and "... M - Z") read apart.
    int widest = 0;
    for (int i = 0; i < list_->count(); ++i)
        widest = qMax(widest, list_->fontMetrics().horizontalAdvance(list_->item(i)->text()));
    const int listWidth = widest + 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width() +
                          list_->fontMetrics().averageCharWidth() * 2;
    list_->setMinimumWidth(listWidth);
    split->setChildrenCollapsible(false);
    resize(qMax(twipsToPixelsX(9000, this), listWidth * 2), twipsToPixelsY(7000, this));
    split->setSizes({listWidth, width() - listWidth});

    status_->setVisible(!file_.ok());
    status_->setText(file_.error());

    connect(contents, &QPushButton::clicked, this, [this] { showTopic(0); });
    connect(back_, &QPushButton::clicked, this, &HelpViewer::back);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    close->setObjectName(QStringLiteral("btnCloseHelp"));
    // Escape closes the help as it closes every other window of the game.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(Qt::UserRole).toInt() != current_) showTopic(item->data(Qt::UserRole).toInt());
    });
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const int id = HelpFile::topicFromUrl(url.toString());
        if (id >= 0) showTopic(id);
    });
    back_->setEnabled(false);
}

void HelpViewer::showTopic(int contextId) {
    if (current_ >= 0 && current_ != contextId) history_.append(current_);
    display(contextId);
}

void HelpViewer::back() {
    if (history_.isEmpty()) return;
    display(history_.takeLast());
}

void HelpViewer::display(int contextId) {
    current_ = contextId;
    back_->setEnabled(!history_.isEmpty());
    if (!file_.ok()) {
        browser_->clear();
        return;
    }
    if (!file_.topic(contextId)) {
        browser_->setHtml(QStringLiteral("<p>Help topic %1 is not in the help file.</p>").arg(contextId));
        return;
    }
    browser_->setHtml(file_.html(contextId));
    const QSignalBlocker block(list_);
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->data(Qt::UserRole).toInt() == contextId) list_->setCurrentRow(i);
}

QString HelpViewer::renderedText() const { return browser_->toPlainText(); }

} // namespace pellucar::ui
