#include "app/presentation.h"

#include "app/controls.h"

namespace pellucar {

namespace {

// The design's controls, each once, in the order the design lists them: the
// order applyDesignState adds them in.
const QHash<QString, int>& designPlaces() {
    static const QHash<QString, int> places = [] {
        QHash<QString, int> p;
        for (const ControlSpec& c : mainWindowControls())
            if (!p.contains(c.key)) p.insert(c.key, static_cast<int>(p.size()));
        return p;
    }();
    return places;
}

} // namespace

ControlKey::ControlKey(QString name) : name_(std::move(name)), slot_(designPlaces().value(name_, -1)) {}

void PresentationModel::add(const QString& key) {
    if (index_.contains(key)) return;
    const qsizetype slot = states_.size();
    index_.insert(key, static_cast<int>(slot));
    states_.append(ControlState{});
    if (designPlaces_ == slot && designPlaces().value(key, -1) == slot) ++designPlaces_;
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

ControlState& PresentationModel::operator[](const ControlKey& key) {
    if (!inDesignPlace(key.slot())) return (*this)[key.name()];
    ++revision_;
    return states_[key.slot()];
}

const ControlState& PresentationModel::at(const QString& key) const {
    static const ControlState missing;
    auto it = index_.constFind(key);
    return it == index_.constEnd() ? missing : states_[*it];
}

const ControlState& PresentationModel::at(const ControlKey& key) const {
    return inDesignPlace(key.slot()) ? states_[key.slot()] : at(key.name());
}

QStringList PresentationModel::keys() const {
    QStringList k = index_.keys();
    k.sort();
    return k;
}

} // namespace pellucar
