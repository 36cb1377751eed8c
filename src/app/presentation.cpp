#include "app/presentation.h"

namespace pellucar {

ControlState& PresentationModel::operator[](const QString& key) {
    ++revision_;
    auto it = controls_.find(key);
    if (it != controls_.end()) return *it;
    Q_ASSERT_X(false, "PresentationModel", qPrintable(QStringLiteral("unknown control key ") + key));
    if (!unknown_.contains(key)) unknown_.append(key);
    scratch_ = ControlState{};
    return scratch_;
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
