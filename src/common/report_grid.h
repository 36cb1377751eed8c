#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace pellucar {

// One row of a report shown in a grid of the main window. Each row says what
// it is, so the window lays it out without reading its texts.
struct ReportRow {
    enum class Kind {
        Entry, // one text per column
        Text,  // texts that take the room of the empty cells beside them
        Rule,  // a line across the whole grid, drawn with the text of `cells[0]`
    };
    Kind kind = Kind::Entry;
    QStringList cells;
    bool operator==(const ReportRow&) const = default;
};

// A report grid (the trade history, the news history): its column headings
// and its rows.
struct ReportGrid {
    QStringList header;
    QList<ReportRow> rows;
    bool operator==(const ReportGrid&) const = default;
};

} // namespace pellucar
