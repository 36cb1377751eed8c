#include "common/random.h"

namespace pellucar {

SystemRandom::SystemRandom() : engine_(std::random_device{}()) {}

double SystemRandom::next() {
    std::uniform_real_distribution<double> dist(0.0, 1.0);
    return dist(engine_);
}

} // namespace pellucar
