#include "ui/debrief_window.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBrowser>

#include <algorithm>

namespace pellucar::ui {

RewindWindow::RewindWindow(int last, QWidget* parent)
    : GameWindow(QStringLiteral("frmRewind"), QStringLiteral("Rewind"), parent) {
    QLabel* prompt = label(QStringLiteral("lblRewind"), QStringLiteral("Go back to period (1 to %1):").arg(last));
    period_ = new QSpinBox(this);
    period_->setObjectName(QStringLiteral("spnPeriod"));
    period_->setRange(1, std::max(1, last));
    period_->setValue(std::max(1, last));
    prompt->setBuddy(period_);
    QPushButton* ok = button(QStringLiteral("btnRewind"), QStringLiteral("&Go Back"));
    QPushButton* cancel = button(QStringLiteral("btnCancel"), QStringLiteral("Cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    standardLayout({prompt, period_}, {ok, cancel}, -1, 8);
    period_->setFocus();
    period_->selectAll();
    setFixedSize(sizeHint());
}

int RewindWindow::period() const { return period_->value(); }

DebriefChart::DebriefChart(const ScenarioDebrief& debrief, QWidget* parent) : QWidget(parent), d_(debrief) {
    setObjectName(QStringLiteral("picDebrief"));
    setMinimumSize(360, 160);
    setAccessibleName(QStringLiteral("%1 during the game and after it").arg(marketName(debrief.market)));
}

void DebriefChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const size_t n = d_.played.size() + d_.following.size();
    if (n < 1) return;
    double lo = d_.played.front().price, hi = lo;
    for (const auto* part : {&d_.played, &d_.following})
        for (const DebriefPoint& pt : *part) {
            lo = std::min(lo, pt.price);
            hi = std::max(hi, pt.price);
        }
    if (hi <= lo) hi = lo + 1;
    const QRectF area = QRectF(rect()).adjusted(8, 18, -8, -8);
    const auto at = [&](size_t i, double price) {
        const double x = n > 1 ? area.left() + area.width() * double(i) / double(n - 1) : area.center().x();
        return QPointF(x, area.bottom() - area.height() * (price - lo) / (hi - lo));
    };
    const auto line = [&](size_t from, const std::vector<DebriefPoint>& pts, const QColor& colour) {
        QPainterPath path;
        for (size_t i = 0; i < pts.size(); ++i) {
            const QPointF q = at(from + i, pts[i].price);
            if (i == 0) path.moveTo(q);
            else path.lineTo(q);
        }
        p.setPen(QPen(colour, 2));
        p.drawPath(path);
    };
    line(0, d_.played, palette().text().color());
    if (!d_.following.empty()) {
        // What followed joins the last period played.
        std::vector<DebriefPoint> after{d_.played.back()};
        after.insert(after.end(), d_.following.begin(), d_.following.end());
        line(d_.played.size() - 1, after, QColor(0x1f, 0x6f, 0xd0));
        const double x = at(d_.played.size() - 1, lo).x();
        p.setPen(QPen(palette().mid().color(), 1, Qt::DashLine));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(palette().text().color());
        p.drawText(QPointF(x + 4, area.top() - 4), QStringLiteral("what followed"));
    }
    if (d_.exitPeriod) {
        const QPointF q = at(size_t(*d_.exitPeriod), d_.exitPrice);
        p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(q, 6, 6);
        p.drawText(q + QPointF(8, -8), QStringLiteral("your exit"));
    }
}

DebriefWindow::DebriefWindow(const ScenarioDebrief& debrief, QWidget* parent)
    : GameWindow(QStringLiteral("frmDebrief"), debrief.scenario, parent), debrief_(debrief) {
    QLabel* title = label(QStringLiteral("lblDebrief"), QStringLiteral("%1: what came next").arg(debrief_.scenario));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* chart = new DebriefChart(debrief_, this);
    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("txtDebrief"));
    QString html;
    for (const QString& line : debriefLines(debrief_)) html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    text->setHtml(html);
    text->setMinimumHeight(160);
    QPushButton* ok = button(QStringLiteral("btnOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    standardLayout({title, chart, text}, {ok});
    ok->setFocus();
    resize(std::max(sizeHint().width(), 600), std::max(sizeHint().height(), 520));
}

} // namespace pellucar::ui
