#include "ui/chart_speech.h"

#include <QStringList>

#include <cmath>

namespace pellucar::ui {

namespace {
QString figure(double v) { return QString::number(v, 'f', 2); }
} // namespace

QString describeChart(const charts::ChartData& chart, const QString& market) {
    QStringList parts;
    if (!market.isEmpty()) parts << market;
    parts << chart.title.trimmed();
    // The last point that shows anything: a price, or a value of a line.
    for (auto i = chart.points.size() - 1; i >= 0; --i) {
        const charts::ChartPoint& p = chart.points.at(i);
        QStringList values;
        if (chart.style != charts::ChartData::Style::Line && p.price)
            values << QStringLiteral("open ") + figure(p.price->open) << QStringLiteral("high ") + figure(p.price->high)
                   << QStringLiteral("low ") + figure(p.price->low)
                   << QStringLiteral("close ") + figure(p.price->close);
        for (const charts::ChartLine& line : chart.lines) {
            // Guide levels say nothing of the market.
            if (line.kind == charts::ChartLine::Kind::Guide) continue;
            if (i >= line.values.size() || !line.values.at(i) || !std::isfinite(*line.values.at(i))) continue;
            values << line.name.trimmed() + QLatin1Char(' ') + figure(*line.values.at(i));
        }
        if (values.isEmpty()) continue;
        parts << p.label + QStringLiteral(": ") + values.join(QStringLiteral(", "));
        if (chart.position) parts << chart.position->label.simplified();
        return parts.join(QStringLiteral(", "));
    }
    parts << (chart.note.isEmpty() ? QStringLiteral("no prices yet") : chart.note);
    return parts.join(QStringLiteral(", "));
}

} // namespace pellucar::ui
