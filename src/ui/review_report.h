#pragma once
#include "app/record/review.h"

#include <QByteArray>
#include <QString>

namespace pellucar::ui {

// The review of a game as a document laid out for print: A4 pages naming
// the game (level, rules, data and period, scenario, dates, score), its
// equity curve, its statistics, the positions open at the end with their
// unrealized profit or loss, every round trip with a small chart of its
// market, and the journal's notes. Drawn page by page, not a picture of
// the window.
QByteArray reviewReportPdf(const ReviewRecord& record);
// Writes the report to `path` whole or not at all: empty, or why not.
QString saveReviewReport(const ReviewRecord& record, const QString& path);

} // namespace pellucar::ui
