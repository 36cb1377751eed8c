#include "app/state/settings.h"

namespace pellucar {

Level levelOrExpert(const QString& name) {
    Level l = Level::Expert;
    levelFromName(name, &l);
    return l;
}

int Settings::lengthDays(int yearDays) const {
    switch (length) {
    case GameLength::Month: return 30;
    case GameLength::Quarter: return 90;
    case GameLength::Year: break;
    }
    return yearDays;
}

} // namespace pellucar
