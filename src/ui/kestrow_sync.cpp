// Bringing the widgets in line with the game's presentation model, and
// keeping the keyboard where the player was.
#include "ui/kestrow.h"

#include "app/game/game.h"
#include "ui/chart_speech.h"
#include "ui/chart_view.h"
#include "ui/color_scheme.h"
#include "ui/market_strip_view.h"
#include "ui/metrics.h"
#include "ui/placement.h"
#include "ui/qt_dialogs.h"
#include "ui/shape_frame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>
#include <utility>

namespace pellucar::ui {

namespace {

// The controls of the game table in the order a player works through them:
// an order, then a report's close button, then the clock.
const QStringList& keyboardOrder() {
    static const QStringList order{"inputUnits",
                                   "btnYes",
                                   "btnNo",
                                   "btnBuy",
                                   "btnSell",
                                   "btnHold",
                                   "btnOil",
                                   "btnGold",
                                   "btnTBond",
                                   "btnSp500",
                                   "btnCattle",
                                   "btnSoybean",
                                   "btnCloseTradeHistory",
                                   "btnCloseNewsHist",
                                   "btnTrade",
                                   "btnChangePeriod",
                                   "btnAutoPlay",
                                   "btnTradeHist",
                                   "btnNewsHist"};
    return order;
}

// The access key a caption claims ('&' before it), or a null character.
QChar accessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&')) continue;
        if (caption.at(i + 1) != QLatin1Char('&')) return caption.at(i + 1).toUpper();
        ++i;
    }
    return {};
}

} // namespace

void Kestrow::sync() {
    const PresentationModel& model = game_.model();
    if (model.revision() == appliedRevision_) return;
    appliedRevision_ = model.revision();
    QWidget* focused = focusWidget();
    const quint32 offered = offeredControls();
    for (const auto& [key, ctl] : shown_) {
        if (!model.has(key)) continue;
        const ControlState& st = model.at(key);
        const auto it = applied_.constFind(key);
        if (it != applied_.constEnd() && *it == st) continue;
        const ControlState before = it != applied_.constEnd() ? *it : ControlState{};
        applyOne(*ctl, st, it != applied_.constEnd() ? &before : nullptr);
        applied_.insert(key, st);
        // The values and boxes a caption names are read with its new text.
        for (const QString& k : namedBy_.value(key))
            if (QWidget* w = widget(k)) w->setAccessibleName(pellucar::accessibleName(*findControl(k), model));
    }
    shareAccessKeys();
    // The charts draw what the game composed; an unchanged chart costs nothing.
    static_cast<GameChartView*>(widget(QStringLiteral("GraphLeft")))->setChartData(game_.charts().left);
    static_cast<GameChartView*>(widget(QStringLiteral("GraphRight")))->setChartData(game_.charts().right);
    static_cast<GameChartView*>(widget(QStringLiteral("GraphLeft")))->settleLayouts();
    strip_->setGlances(game_.marketStrip());
    // The strip is a way to the market box: offered while the box is.
    strip_->setEnabled(model.at(QStringLiteral("cboCommodity")).enabled);
    describeCharts();
    // The report area is up while any of its parts is.
    bool report = false;
    for (const char* k :
         {keys::kNewsGrid, keys::kTradeGrid, "LabelNH", "LabelTH", "btnCloseNewsHist", "btnCloseTradeHistory"})
        if (const QWidget* w = qobject_cast<QWidget*>(controls_.value(QString::fromLatin1(k))))
            report = report || !w->isHidden();
    if (report != !reportPanel_->isHidden()) {
        placeReportPanel();
        reportPanel_->setVisible(report);
    }
    refreshOrderWindows();
    keepKeyboard(focused, offered);
}

void Kestrow::shareAccessKeys() {
    // Captions claim some letters twice ("&Oil" and the menu "&Options",
    // "&Gold" and "&Game", "&Hold" and "&Help"). While such a button is
    // offered it has the key; the menu title shows no access key meanwhile
    // and opens with it again once the button is gone.
    QSet<QChar> taken;
    for (const ControlSpec& ctl : mainWindowControls()) {
        if (ctl.kind != ControlKind::Button) continue;
        const QWidget* b = widget(ctl.key);
        if (b->isVisibleTo(this) && b->isEnabledTo(this)) taken.insert(accessKey(applied_.value(ctl.key).text));
    }
    for (const ControlSpec& ctl : mainWindowControls()) {
        if (ctl.kind != ControlKind::Menu) continue;
        const QString caption = applied_.value(ctl.key).text;
        const QChar key = accessKey(caption);
        const QString shown =
            !key.isNull() && taken.contains(key) ? QString(caption).remove(QLatin1Char('&')) : caption;
        QAction* a = action(ctl.key);
        if (a->text() != shown) a->setText(shown);
    }
}

quint32 Kestrow::offeredControls() const {
    quint32 offered = 0;
    const QStringList& order = keyboardOrder();
    for (qsizetype i = 0; i < order.size(); ++i) {
        const QWidget* w = widget(order.at(i));
        if (w->isVisible() && w->isEnabled()) offered |= 1u << i;
    }
    return offered;
}

void Kestrow::keepKeyboard(QWidget* focused, quint32 offeredBefore) {
    const QStringList& order = keyboardOrder();
    if (!isVisible()) return;
    const bool onGameControl =
        focused && order.contains(focused->objectName()) && widget(focused->objectName()) == focused;
    if (!onGameControl) {
        // The keyboard resting elsewhere (the chart list, nowhere yet) goes
        // to a control the game starts to offer: Forward when a game begins.
        const quint32 fresh = offeredControls() & ~offeredBefore;
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (fresh & (1u << i)) {
                widget(order.at(i))->setFocus();
                return;
            }
        }
        return;
    }
    // When the game hides or disables the control that has the keyboard,
    // the keyboard goes to the first control the game offers next (Enter
    // Order after the units, Buy after the market, the close button of a
    // report), not on to whatever follows in the window, such as a chart.
    if (focused->isVisible() && focused->isEnabled()) return;
    for (const QString& k : order) {
        QWidget* w = widget(k);
        if (w->isVisible() && w->isEnabled()) {
            w->setFocus();
            return;
        }
    }
}

void Kestrow::applyOne(const ControlSpec& ctl, const ControlState& st, const ControlState* before) {
    QObject* o = controls_.value(ctl.key);
    if (auto* a = qobject_cast<QAction*>(o)) {
        if (ctl.kind != ControlKind::Separator) a->setText(st.text);
        a->setVisible(st.visible);
        a->setEnabled(st.enabled);
        // Only a marked item shows a mark; an unmarked one stays plain.
        a->setCheckable(st.checked);
        a->setChecked(st.checked);
        return;
    }
    if (ctl.kind == ControlKind::Window) {
        setWindowTitle(st.text);
        centralWidget()->setEnabled(st.enabled);
        menuBar()->setEnabled(st.enabled);
        return;
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    const bool wasShown = before ? before->visible && before->enabled : false;
    switch (ctl.kind) {
    case ControlKind::Label: {
        auto* l = static_cast<QLabel*>(w);
        l->setText(displayText(st.text));
        if (ColorTable::labelGroup(ctl.key) == LabelGroup::QuoteName &&
            (before ? before->checked : false) != st.checked)
            dialogs_.colors().setHighlighted(l, st.checked);
        break;
    }
    case ControlKind::Button: {
        auto* b = static_cast<QPushButton*>(w);
        b->setText(st.text);
        b->setCheckable(st.checked);
        b->setChecked(st.checked);
        break;
    }
    case ControlKind::TextBox: {
        auto* e = static_cast<QLineEdit*>(w);
        if (e->text() != st.text) e->setText(st.text);
        break;
    }
    case ControlKind::ComboBox: {
        auto* c = static_cast<QComboBox*>(w);
        const QSignalBlocker block(c);
        QStringList now;
        for (int i = 0; i < c->count(); ++i) now << c->itemText(i);
        if (now != st.items) {
            c->clear();
            c->addItems(st.items);
        }
        c->setCurrentIndex(st.currentIndex);
        break;
    }
    case ControlKind::Grid:
        if (!before || before->grid != st.grid) fillGrid(ctl.key, st.grid);
        // A report opens at its start, wherever it was left.
        if (st.visible && !(before && before->visible)) {
            static_cast<QTableWidget*>(w)->scrollToTop();
            static_cast<QTableWidget*>(w)->horizontalScrollBar()->setValue(0);
        }
        break;
    case ControlKind::Chart: static_cast<GameChartView*>(w)->setState(st); break;
    default: break;
    }
    // Each of these tells the accessibility layer even of the same text.
    if (w->toolTip() != st.tooltip) w->setToolTip(st.tooltip);
    if (w->accessibleDescription() != st.tooltip) w->setAccessibleDescription(st.tooltip);
    const QString name = pellucar::accessibleName(ctl, game_.model());
    if (w->accessibleName() != name) w->setAccessibleName(name);
    if (ctl.kind == ControlKind::Label && !ctl.spoken.isEmpty() && QAccessible::isActive() &&
        (!before || before->text != st.text)) {
        QAccessibleValueChangeEvent changed(w, st.text);
        QAccessible::updateAccessibility(&changed);
        // The Linux bus hears of a changed figure as changed text.
        QAccessibleTextUpdateEvent updated(w, 0, before ? displayText(before->text) : QString(), displayText(st.text));
        QAccessible::updateAccessibility(&updated);
    }
    w->setEnabled(st.enabled);
    w->setVisible(st.visible);
    // The units box takes the entry as soon as the game offers it.
    if (ctl.kind == ControlKind::TextBox && st.visible && st.enabled && !wasShown && isVisible()) w->setFocus();
}

int Kestrow::chosenTrade() const {
    const auto* grid = qobject_cast<const QTableWidget*>(controls_.value(QStringLiteral("TradeGrid")));
    if (!grid || !grid->isVisible() || grid->currentRow() < 0) return -1;
    const QTableWidgetItem* number = grid->item(grid->currentRow(), 0);
    bool ok = false;
    const int trade = number ? number->text().toInt(&ok) : 0;
    return ok ? trade : -1;
}

void Kestrow::fillGrid(const QString& key, const ReportGrid& grid) {
    auto* t = static_cast<QTableWidget*>(widget(key));
    t->clearSpans();
    t->clear();
    const QStringList& header = grid.header;
    const int columns = static_cast<int>(header.size());
    t->setColumnCount(columns);
    // The blanks that pad a heading ("Transaction        ") show nothing but
    // would push its words out of a column as wide as they are.
    QStringList headings;
    for (const QString& h : header) headings << h.trimmed();
    t->setHorizontalHeaderLabels(headings);
    t->setRowCount(static_cast<int>(grid.rows.size()));
    const QFontMetrics fm(t->font());
    // Room around a cell's text; the trade report keeps it narrow, so that
    // all its columns fit beside the table.
    const int pad = key == QLatin1String(keys::kNewsGrid) ? fm.horizontalAdvance(QLatin1Char('0')) * 2
                                                          : fm.horizontalAdvance(QLatin1Char('0')) + 2;
    auto cellText = [](const QString& text) { return displayText(text).replace(QLatin1Char('\n'), QLatin1Char(' ')); };
    // A heading needs its words and the header's own margins, as the
    // header measures them.
    auto headingWidth = [t](int c) { return t->horizontalHeader()->sectionSizeHint(c); };

    if (key == QLatin1String(keys::kNewsGrid)) {
        // Each column is as wide as its heading and its entries, except the
        // title and the story: they share the rest of the row and a longer
        // text ends in an ellipsis, so the grid never scrolls sideways on
        // any screen. Enter or a double-click opens a story whole.
        t->setTextElideMode(Qt::ElideRight);
        QList<int> widths;
        for (int c = 0; c < columns; ++c) widths << headingWidth(c);
        auto flexible = [columns](int c) { return c == 3 || c == columns - 1; };
        for (int r = 0; r < grid.rows.size(); ++r) {
            const QStringList& cells = grid.rows.at(r).cells;
            for (int c = 0; c < cells.size() && c < columns; ++c) {
                const QString text = cellText(cells.at(c));
                t->setItem(r, c, new QTableWidgetItem(text));
                if (!flexible(c)) widths[c] = qMax(widths[c], fm.horizontalAdvance(text) + pad);
            }
        }
        for (int c = 0; c < columns; ++c) {
            t->horizontalHeader()->setSectionResizeMode(c,
                                                        flexible(c) ? QHeaderView::Stretch : QHeaderView::Interactive);
            if (!flexible(c)) t->setColumnWidth(c, widths.at(c));
        }
        return;
    }
    // Rules run on to the grid's edge; no other cell is cut.
    t->setTextElideMode(Qt::ElideNone);

    // The trade report is wider than the chart area, so its columns are only
    // as wide as the headings and the entries need. A rule is drawn across
    // the grid, and a text row's texts take the room of the empty cells
    // beside them, as on a worksheet: the cells after a text, or those before
    // it (the text then ends where its own cell ends, next to what follows).
    struct Span {
        int row, first, count;
        QString text;
    };
    QList<Span> spans;
    QList<int> rules;
    QList<int> widths;
    // A column is as wide as its heading's words, so the report fits beside
    // the table.
    for (int c = 0; c < columns; ++c) widths << headingWidth(c);
    for (int r = 0; r < grid.rows.size() && columns > 0; ++r) {
        const ReportRow& row = grid.rows.at(r);
        QStringList cells = row.cells.mid(0, columns);
        while (cells.size() < columns) cells << QString();
        for (QString& c : cells) c = cellText(c);
        switch (row.kind) {
        case ReportRow::Kind::Rule:
            t->setItem(r, 0, new QTableWidgetItem(cells.at(0)));
            t->setSpan(r, 0, 1, columns);
            rules << r;
            continue;
        case ReportRow::Kind::Entry:
            for (int c = 0; c < columns; ++c) {
                t->setItem(r, c, new QTableWidgetItem(cells.at(c)));
                widths[c] = qMax(widths[c], fm.horizontalAdvance(cells.at(c)) + pad);
            }
            continue;
        case ReportRow::Kind::Text: break;
        }
        int firstText = 0;
        while (firstText < columns && cells.at(firstText).isEmpty()) ++firstText;
        for (int c = firstText; c < columns;) {
            int next = c + 1;
            while (next < columns && cells.at(next).isEmpty()) ++next;
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c == firstText && firstText > 0 && next == c + 1) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                t->setItem(r, 0, item);
                spans << Span{r, 0, c + 1, cells.at(c)};
            } else {
                t->setItem(r, c, item);
                if (next > c + 1) spans << Span{r, c, next - c, cells.at(c)};
                else widths[c] = qMax(widths[c], fm.horizontalAdvance(cells.at(c)) + pad);
            }
            c = next;
        }
    }
    // A spanning text wider than its columns widens the last of them.
    int total = 0;
    for (const Span& sp : spans) {
        int room = 0;
        for (int c = sp.first; c < sp.first + sp.count; ++c) room += widths.at(c);
        const int need = fm.horizontalAdvance(sp.text) + pad;
        if (need > room) widths[sp.first + sp.count - 1] += need - room;
    }
    for (int c = 0; c < columns; ++c) {
        t->setColumnWidth(c, widths.at(c));
        total += widths.at(c);
    }
    for (const Span& sp : spans) t->setSpan(sp.row, sp.first, 1, sp.count);
    for (int r : rules) {
        // Long enough to run the whole width; the cell clips it.
        QTableWidgetItem* item = t->item(r, 0);
        const QString unit = item->text();
        QString rule = unit;
        while (!unit.isEmpty() && fm.horizontalAdvance(rule) < total + t->width()) rule += unit;
        item->setText(rule);
    }
}

void Kestrow::describeCharts() {
    // A chart is a picture to a screen reader; its description says what
    // it shows, and a new one is announced with every period.
    const ControlState& list = game_.model().at(QStringLiteral("cboCommodity"));
    const QString market = list.items.value(list.currentIndex);
    for (const auto& [key, data] :
         {std::pair{"GraphLeft", &game_.charts().left}, {"GraphRight", &game_.charts().right}}) {
        QWidget* w = widget(QString::fromLatin1(key));
        const QString description = describeChart(*data, market);
        if (w->accessibleDescription() == description) continue;
        w->setAccessibleDescription(description);
        if (QAccessible::isActive()) {
            QAccessibleEvent changed(w, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&changed);
        }
    }
}

void Kestrow::applyScheme(Scheme scheme) {
    schemeApplied_ = true;
    dialogs_.colors().apply(scheme, this);
    recolorOrderWindows();
    // Quote-name labels marked by the game keep their mark in the new colours.
    for (const QString& k : ColorTable::quoteNameLabels())
        if (applied_.value(k).checked) dialogs_.colors().setHighlighted(widget(k), true);
}

void Kestrow::placeReportPanel() {
    if (!chartArea_ || !reportPanel_) return;
    // Just inside the area's frame: the trade report needs the width.
    reportPanel_->setGeometry(chartArea_->rect().adjusted(3, 3, -3, -3));
    reportPanel_->raise();
}

} // namespace pellucar::ui
