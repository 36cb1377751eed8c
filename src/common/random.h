#pragma once
#include <QList>
#include <cstdint>
#include <random>

namespace pellucar {

// Every chance in the game (random periods, verdicts, blow-out messages)
// draws from one of these, uniform in [0, 1), so tests can script the draws.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

class SystemRandom final : public RandomSource {
public:
    SystemRandom();
    explicit SystemRandom(std::uint64_t seed) : engine_(seed) {}
    double next() override;

private:
    std::mt19937_64 engine_;
};

// Hands out the queued values in order; once they run out it repeats the
// fallback value.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(QList<double> values = {}, double fallback = 0.0)
        : values_(std::move(values)), fallback_(fallback) {}
    void push(double v) { values_.append(v); }
    double next() override { return values_.isEmpty() ? fallback_ : values_.takeFirst(); }
    int remaining() const { return values_.size(); }

private:
    QList<double> values_;
    double fallback_;
};

} // namespace pellucar
