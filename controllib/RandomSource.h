#pragma once

#include <QRandomGenerator>

// Where the control library's random choices come from. The program uses one seeded from the
// system; tests seed it, or replace it with a scripted source.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A whole number drawn uniformly from 0 to bound - 1; bound is at least 1.
    virtual quint32 below(quint32 bound) = 0;
};

class SeededRandom : public RandomSource {
public:
    SeededRandom(); // seeded from the system's entropy
    explicit SeededRandom(quint32 seed);
    void seed(quint32 seed);
    quint32 below(quint32 bound) override;

private:
    QRandomGenerator m_generator;
};
