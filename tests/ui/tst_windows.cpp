#include "tst_suites.h"
namespace pellucar::uitest {
QObject* makeWindowsSuite() { return new QObject; }
}
