#include "app/view/presentation_model.h"

namespace pellucar {

void PresentationModel::add(const QString& key) {
    if (index_.contains(key)) return;
    const qsizetype slot = states_.size();
    index_.insert(key, static_cast<int>(slot));
    states_.append(ControlState{});
    if (designPlaces_ == slot && designPlace(key) == slot) ++designPlaces_;
}

ControlState& PresentationModel::operator[](const QString& key) {
    ++revision_;
    auto it = index_.constFind(key);
    if (it != index_.constEnd()) return states_[*it];
    Q_ASSERT_X(false, "PresentationModel", qPrintable(QStringLiteral("unknown control key ") + key));
    if (!unknown_.contains(key)) unknown_.append(key);
    scratch_ = ControlState{};
    return scratch_;
}

const ControlState& PresentationModel::at(const QString& key) const {
    static const ControlState missing;
    auto it = index_.constFind(key);
    return it == index_.constEnd() ? missing : states_[*it];
}

QStringList PresentationModel::keys() const {
    QStringList k = index_.keys();
    k.sort();
    return k;
}

void applyDesignState(PresentationModel& model) {
    const auto fill = [](PresentationModel& m) {
        for (const ControlSpec& s : mainWindowControls()) {
            if (!m.has(s.key)) m.add(s.key);
            ControlState& st = m[s.key];
            st = ControlState{};
            st.text = s.caption;
            st.checked = s.checked;
            st.tooltip = s.tooltip;
        }
    };
    if (!model.isEmpty()) return fill(model);
    // Every game starts from the same design: it is built once and shared,
    // which spares each new game a few hundred hash insertions.
    static const PresentationModel design = [&fill] {
        PresentationModel m;
        fill(m);
        return m;
    }();
    // A fresh model's revision is 0; the design's counts its fills, so the
    // copy still moves the revision forward for a view that watches it.
    model = design;
    model.touch();
}

QString accessibleName(const ControlSpec& ctl, const PresentationModel& model) {
    if (ctl.spoken.isEmpty()) return spokenCaption(model.has(ctl.key) ? model.text(ctl.key) : ctl.caption);
    if (!ctl.spoken.contains(QLatin1String("%1"))) return ctl.spoken;
    const QString& by = ctl.labelledBy.isEmpty() ? ctl.key : ctl.labelledBy;
    return ctl.spoken.arg(spokenCaption(model.has(by) ? model.text(by) : QString())).trimmed();
}

} // namespace pellucar
