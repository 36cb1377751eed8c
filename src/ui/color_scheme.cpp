#include "ui/color_scheme.h"

#include "app/view/control_table.h"
#include "ui/chart_view.h"
#include "ui/look.h"
#include "ui/market_strip_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHash>
#include <QMainWindow>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace pellucar::ui {

namespace {

using namespace rgb;

// One row of a table: the value for Black, Gray and Monochrome.
template <typename T> struct Row {
    T black, gray, mono;
    const T& operator[](Scheme s) const { return s == Scheme::Black ? black : s == Scheme::Gray ? gray : mono; }
};

QColor blend(const QColor& a, const QColor& b) {
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

// A disabled text is dimmer than the enabled one but still readable: the
// half-way shade where it keeps 3:1 against the background (yellow on the
// black scheme's blue would give a gray that all but vanishes), otherwise
// light gray, white or black.
QColor disabledText(const QColor& text, const QColor& back) {
    for (const QColor& c : {blend(text, back), lightGray(), white(), black()})
        if (c != text && contrastRatio(c, back) >= 3.0) return c;
    return blend(text, back);
}

// Fusion draws a button's face lighter and paler than its palette colour,
// which leaves yellow on the black scheme's blue at about 3:1. Under a
// scheme the push buttons are faced in the scheme's colour as it is, with a
// plain bevel and an outline; captions and sizes stay the style's own.
class SchemeButtonStyle : public QProxyStyle {
public:
    SchemeButtonStyle() : QProxyStyle(newBaseStyle()) {}

    void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p, const QWidget* w) const override {
        if (pe != PE_PanelButtonCommand) {
            QProxyStyle::drawPrimitive(pe, opt, p, w);
            return;
        }
        const QColor face = opt->palette.color(QPalette::Button);
        const QColor ink = opt->palette.color(QPalette::Active, QPalette::ButtonText);
        const bool down = opt->state & (State_Sunken | State_On);
        const QRect r = opt->rect.adjusted(0, 0, -1, -1);
        p->save();
        p->fillRect(opt->rect, face);
        const QColor light = face.lightness() > 200 ? white() : face.lighter(170);
        const QColor dark = face.darker(face.lightness() > 200 ? 140 : 250);
        const QRect in = r.adjusted(1, 1, -1, -1);
        const bool enabled = opt->state & State_Enabled;
        // A disabled button lies flat, which tells it apart beside its
        // dimmed caption.
        if (enabled) {
            p->setPen(down ? dark : light);
            p->drawLine(in.topLeft(), in.topRight());
            p->drawLine(in.topLeft(), in.bottomLeft());
            p->setPen(down ? light : dark);
            p->drawLine(in.bottomLeft(), in.bottomRight());
            p->drawLine(in.topRight(), in.bottomRight());
        }
        p->setPen(enabled ? ink : blend(ink, face));
        p->drawRect(r);
        if (opt->state & State_HasFocus) {
            p->setPen(QPen(ink, 1, Qt::DotLine));
            p->drawRect(r.adjusted(3, 3, -3, -3));
        }
        p->restore();
    }
};

QStyle* schemeButtonStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new SchemeButtonStyle;
        style->setParent(qApp);
    }
    return style;
}

// Push buttons take the scheme's face; in the design colours the style's own.
void setButtonFace(QWidget* w, Scheme scheme) {
    if (!qobject_cast<QPushButton*>(w)) return;
    QStyle* wanted = scheme == Scheme::Design ? nullptr : schemeButtonStyle();
    if (wanted ? w->style() != wanted : w->style() != QApplication::style()) w->setStyle(wanted);
}

// An option's round or square mark is drawn in the field colours (Base and
// Text); on a window whose background is black or gray they would vanish
// into it, so the mark keeps a white field with a black dot, the way
// the desktop draws it, and only the caption takes the scheme's colours.
void showIndicator(QWidget* w, Scheme scheme) {
    if (scheme == Scheme::Design) {
        w->setPalette(QPalette());
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Base, rgb::white());
    p.setColor(QPalette::Active, QPalette::Text, rgb::black());
    p.setColor(QPalette::Inactive, QPalette::Text, rgb::black());
    w->setPalette(p);
}

QWidget* backgroundHolder(QWidget* window) {
    if (auto* mw = qobject_cast<QMainWindow*>(window); mw && mw->centralWidget()) return mw->centralWidget();
    return window;
}

// A control of the window itself, never one of a dialog that it owns.
QWidget* child(QWidget* window, const QString& key) {
    for (QWidget* w : window->findChildren<QWidget*>(key))
        if (w->window() == window->window()) return w;
    return nullptr;
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const QStringList& ColorTable::quoteNameLabels() {
    static const QStringList l{"LabelOilMark",   "LabelGoldMark",   "LabelTBondMark",
                               "LabelSP500Mark", "LabelCattleMark", "LabelSoybeanMark"};
    return l;
}

LabelGroup ColorTable::labelGroup(const QString& key) {
    static const QHash<QString, LabelGroup> groups = [] {
        QHash<QString, LabelGroup> g;
        for (const char* k : {"LabelDay", "labelTime", "labelAV", "labelGL", "labelRPL", "LabelUPL", "LabelLiab",
                              "LabelAM", "LabelCM", "LabelTotTrades", "LabelMaxiPos", "labelscore", "LabelPosition",
                              keys::kMarketBanner, "Label8", "lblTraderInput", "promptUnits", "promptPrice",
                              // The report headings sit on the same background.
                              "LabelNH", "LabelTH"})
            g.insert(QString::fromLatin1(k), LabelGroup::Caption);
        for (const char* k : {"lblDay", "lblTradeTime", "lblEq", "lblPercentGL", "lblRPL", "lblUPL", "lblLIAB",
                              "lblAvailMarg", "lblPosMargPercent", "lblTotTrades", "lblMaxSelected", "lblScore",
                              // Figures the game writes, read like the other values.
                              "lblDate", "lblorderverify"})
            g.insert(QString::fromLatin1(k), LabelGroup::Value);
        for (const char* k : {"lblOilCurrMark", "lblGoldCurrMark", "lblTBondCurrMark", "lblSP500CurrMark",
                              "lblCattleCurrMark", "lblSoybeanCurrMark"})
            g.insert(QString::fromLatin1(k), LabelGroup::Quote);
        for (const char* k : {"lblOilPos", "lblGoldPos", "lblTBondPos", "lblSP500Pos", "lblCattlePos", "lblSoybeanPos"})
            g.insert(QString::fromLatin1(k), LabelGroup::Position);
        for (const char* k :
             {"labelOilPos", "LabelGoldPos", "LabelTBondPos", "LabelSP500Pos", "LabelCattlePos", "LabelSoybeanPos"})
            g.insert(QString::fromLatin1(k), LabelGroup::PositionName);
        for (const QString& k : quoteNameLabels()) g.insert(k, LabelGroup::QuoteName);
        g.insert(QStringLiteral("GameName"), LabelGroup::Title);
        return g;
    }();
    return groups.value(key, LabelGroup::None);
}

TextColors ColorTable::label(Scheme s, LabelGroup group, bool highlighted) {
    if (s == Scheme::Design) {
        // Before any choice the labels keep the window's own look; only a
        // highlight needs a colour of its own to be seen at all.
        if (group == LabelGroup::QuoteName && highlighted) return {black(), cyan()};
        return {};
    }
    static const Row<TextColors> caption{{white(), black()}, {black(), lightGray()}, {black(), white()}};
    static const Row<TextColors> value{{yellow(), black()}, {blue(), lightGray()}, {black(), white()}};
    static const Row<TextColors> positionName{{cyan(), black()}, {black(), lightGray()}, {black(), white()}};
    static const Row<TextColors> quoteNormal{{white(), black()}, {black(), lightGray()}, {black(), white()}};
    static const Row<TextColors> quoteHigh{{black(), cyan()}, {black(), yellow()}, {black(), lightGray()}};
    static const Row<TextColors> title{{yellow(), blue()}, {yellow(), blue()}, {black(), lightGray()}};
    switch (group) {
    case LabelGroup::Caption: return caption[s];
    case LabelGroup::Value:
    case LabelGroup::Quote:
    case LabelGroup::Position: return value[s];
    case LabelGroup::PositionName: return positionName[s];
    case LabelGroup::QuoteName: return highlighted ? quoteHigh[s] : quoteNormal[s];
    case LabelGroup::Title: return title[s];
    case LabelGroup::None: break;
    }
    return caption[s];
}

QColor ColorTable::shapeBorder(Scheme s, const QString& key) {
    if (s == Scheme::Design) return {};
    static const QHash<QString, Row<QColor>> borders{
        {"Shape1", {green(), green(), black()}},
        {"Shape2", {cyan(), blue(), black()}},
        {"Shape3", {cyan(), blue(), black()}},
        {"ShapeNextPeriod", {red(), darkRed(), black()}},
        {"shapeTradeCentral", {red(), darkRed(), black()}},
        {"shpBeginner", {cyan(), blue(), black()}},
        {"shpBegMark", {cyan(), blue(), black()}},
        {"shpExpert", {cyan(), blue(), black()}},
        {"shpExpMark", {blue(), blue(), black()}},
    };
    const auto it = borders.constFind(key);
    return it == borders.constEnd() ? QColor() : (*it)[s];
}

QColor ColorTable::windowBackground(Scheme s) {
    if (s == Scheme::Design) return {};
    static const Row<QColor> back{black(), lightGray(), white()};
    return back[s];
}

TextColors ColorTable::button(Scheme s) {
    if (s == Scheme::Design) return {};
    static const Row<TextColors> r{{yellow(), blue()}, {black(), lightGray()}, {black(), white()}};
    return r[s];
}

TextColors ColorTable::input(Scheme s) {
    if (s == Scheme::Design) return {};
    static const Row<TextColors> r{{yellow(), black()}, {blue(), white()}, {black(), white()}};
    return r[s];
}

TextColors ColorTable::grid(Scheme s) {
    if (s == Scheme::Design) return {};
    static const Row<TextColors> r{{yellow(), black()}, {black(), lightGray()}, {black(), white()}};
    return r[s];
}

ChartColors ColorTable::chart(Scheme s, const QString& key) {
    const bool left = key == QLatin1String("GraphLeft");
    // Trade colours a shade darker than the pure ones where the background
    // is light, so small markers keep their contrast; darker still on the
    // gray background.
    const QColor darkGreen(0, 128, 0), magenta(192, 0, 192);
    const QColor lightRed(255, 64, 64), lightMagenta(255, 0, 255);
    const QColor grayGreen(0, 100, 0), grayRed(160, 0, 0), purple(128, 0, 128);
    // The average and the statistics lines stay clear of the falling
    // candles' and a short position's red: orange and gray.
    const QColor orange(200, 100, 0), slate(96, 96, 96);
    // Candles rising and falling: green and red where there is colour; in
    // one ink hollow (the background) and filled.
    const QColor risingGreen(0, 150, 0);
    // back, text, series, average, statistics, buy, sell, margin call, one
    // ink, rising, falling
    switch (s) {
    case Scheme::Design:
        return {white(), black(), blue(), orange, slate, darkGreen, red(), magenta, false, risingGreen, red()};
    case Scheme::Black:
        if (left)
            return {black(),  yellow(),     yellow(), cyan(),  white(), green(),
                    lightRed, lightMagenta, false,    green(), lightRed};
        return {black(), white(), cyan(), yellow(), white(), green(), lightRed, lightMagenta, false, green(), lightRed};
    case Scheme::Gray:
        if (left)
            return {lightGray(), blue(), blue(), purple,    black(), grayGreen,
                    grayRed,     purple, false,  grayGreen, grayRed};
        return {lightGray(), black(), black(), blue(),    darkRed(), grayGreen,
                grayRed,     purple,  false,   grayGreen, grayRed};
    case Scheme::Monochrome:
        return {white(), black(), black(), black(), black(), black(), black(), black(), true, white(), black()};
    }
    return {};
}

TextColors ColorTable::dialog(Scheme s) {
    if (s == Scheme::Design) return {};
    static const Row<TextColors> r{{white(), black()}, {black(), lightGray()}, {black(), white()}};
    return r[s];
}

TextColors ColorTable::dialogValue(Scheme s) {
    if (s == Scheme::Design) return {};
    static const Row<TextColors> r{{yellow(), black()}, {blue(), lightGray()}, {black(), white()}};
    return r[s];
}

bool ColorTable::isHighlighted(const QColor& labelBack, const QColor& windowBack) {
    const QRgb back = labelBack.rgb();
    if (back == cyan().rgb() || back == yellow().rgb()) return true;
    if (back == lightGray().rgb()) return windowBack.rgb() == white().rgb();
    return false;
}

void ScreenColors::setTextColors(QWidget* w, const TextColors& c) {
    if (!w) return;
    if (!c.text.isValid() && !c.back.isValid()) {
        w->setPalette(QPalette());
        w->setAutoFillBackground(false);
        return;
    }
    QPalette p = w->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Active, role, c.text);
        p.setColor(QPalette::Inactive, role, c.text);
        // A disabled control must still look disabled in every scheme.
        p.setColor(QPalette::Disabled, role, disabledText(c.text, c.back));
    }
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase})
        p.setColor(role, c.back);
    // A selection (a report row, marked text in a box) is the pair reversed,
    // as readable as the text itself; the desktop's selection colour need
    // not suit the scheme's background.
    p.setColor(QPalette::Highlight, c.text);
    p.setColor(QPalette::HighlightedText, c.back);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

TextColors ScreenColors::colorsOf(const QWidget* w) {
    if (!w) return {};
    return {w->palette().color(w->foregroundRole()), w->palette().color(w->backgroundRole())};
}

void ScreenColors::apply(Scheme scheme, QWidget* window) {
    if (!window) {
        scheme_ = scheme;
        return;
    }
    QWidget* holder = backgroundHolder(window);
    // The highlight is read from what the labels show now, under the
    // window background of the scheme being replaced.
    const QColor oldWindowBack = holder->palette().color(QPalette::Window);
    QHash<QString, bool> highlighted;
    for (const QString& k : ColorTable::quoteNameLabels())
        if (QWidget* w = child(window, k))
            highlighted.insert(k, ColorTable::isHighlighted(colorsOf(w).back, oldWindowBack));

    scheme_ = scheme;
    const QColor back = ColorTable::windowBackground(scheme);
    setTextColors(holder, back.isValid() ? TextColors{ColorTable::label(scheme, LabelGroup::Caption).text, back}
                                         : TextColors{});

    for (const ControlSpec& ctl : mainWindowControls()) {
        QWidget* w = child(window, ctl.key);
        if (!w) continue;
        if (ctl.kind == ControlKind::Label) {
            const LabelGroup group = ColorTable::labelGroup(ctl.key);
            setTextColors(w, ColorTable::label(scheme, group, highlighted.value(ctl.key, false)));
        } else if (ctl.kind == ControlKind::Shape) {
            w->setProperty("borderColor", ColorTable::shapeBorder(scheme, ctl.key));
            w->update();
        }
    }
    applyShared(window);
}

void ScreenColors::applyShared(QWidget* window) const {
    if (!window) return;
    keepBarsVisible(window, scheme_);
    for (const ControlSpec& ctl : mainWindowControls()) {
        QWidget* w = child(window, ctl.key);
        if (!w) continue;
        switch (ctl.kind) {
        case ControlKind::Button:
            setTextColors(w, ColorTable::button(scheme_));
            setButtonFace(w, scheme_);
            break;
        case ControlKind::TextBox:
        case ControlKind::ComboBox: setTextColors(w, ColorTable::input(scheme_)); break;
        case ControlKind::Grid: setTextColors(w, ColorTable::grid(scheme_)); break;
        case ControlKind::Chart: applyChartColors(w, ColorTable::chart(scheme_, ctl.key)); break;
        default: break;
        }
    }
    // The strip of every market is drawn in the price chart's colours.
    if (auto* strip = window->findChild<MarketStripView*>())
        strip->setColors(ColorTable::chart(scheme_, QStringLiteral("GraphLeft")));
}

// Scroll bars and progress bars are drawn in their window's button and
// background colours; on the black scheme a scroll bar's handle and arrows
// and the loading bar's groove vanish into the black around them. Like the
// option marks, they keep the desktop's colours.
void ScreenColors::keepBarsVisible(QWidget* root, Scheme scheme) {
    if (!root) return;
    QPalette desktop;
    if (scheme != Scheme::Design) {
        const QPalette app = QApplication::palette();
        for (int g = 0; g < QPalette::NColorGroups; ++g)
            for (int r = 0; r < QPalette::NColorRoles; ++r) {
                const auto group = static_cast<QPalette::ColorGroup>(g);
                const auto role = static_cast<QPalette::ColorRole>(r);
                if (role != QPalette::NoRole) desktop.setColor(group, role, app.color(group, role));
            }
    }
    for (QWidget* bar : root->findChildren<QWidget*>())
        if (qobject_cast<QScrollBar*>(bar) || qobject_cast<QProgressBar*>(bar)) bar->setPalette(desktop);
}

void ScreenColors::applyToDialog(QWidget* dialog) const {
    if (!dialog) return;
    keepBarsVisible(dialog, scheme_);
    setTextColors(dialog, ColorTable::dialog(scheme_));
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (w->property("valueLabel").toBool()) setTextColors(w, ColorTable::dialogValue(scheme_));
        else if (w->inherits("QAbstractButton") && !w->inherits("QRadioButton")) {
            setTextColors(w, ColorTable::button(scheme_));
            setButtonFace(w, scheme_);
        } else if (w->inherits("QRadioButton") || w->inherits("QCheckBox")) showIndicator(w, scheme_);
        else if (w->inherits("QLineEdit") || w->inherits("QComboBox")) setTextColors(w, ColorTable::input(scheme_));
        else if (w->inherits("QAbstractItemView")) setTextColors(w, ColorTable::grid(scheme_));
    }
}

void ScreenColors::setHighlighted(QWidget* label, bool on) const {
    setTextColors(label, ColorTable::label(scheme_, LabelGroup::QuoteName, on));
}

} // namespace pellucar::ui
