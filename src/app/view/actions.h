#pragma once
#include <QHash>
#include <QString>

#include <functional>

namespace pellucar {

// What a press of a control does, by the control's object name; `index` is
// the item of a control array or combo box (-1 for none). Each part of the
// game enters its own controls.
using ActionTable = QHash<QString, std::function<void(int index)>>;

} // namespace pellucar
