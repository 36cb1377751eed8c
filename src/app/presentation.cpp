#include "app/presentation.h"

namespace pellucar {

ControlState& PresentationModel::operator[](const QString& key) {
    ++revision_;
    return controls_[key];
}

const ControlState& PresentationModel::at(const QString& key) const {
    static const ControlState missing;
    auto it = controls_.constFind(key);
    return it == controls_.constEnd() ? missing : *it;
}

QStringList PresentationModel::keys() const {
    QStringList k = controls_.keys();
    k.sort();
    return k;
}

} // namespace pellucar
