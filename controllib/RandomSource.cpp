#include "controllib/RandomSource.h"

SeededRandom::SeededRandom() : m_generator(QRandomGenerator::securelySeeded()) {}

SeededRandom::SeededRandom(quint32 seed) : m_generator(seed) {}

void SeededRandom::seed(quint32 seed) {
    m_generator.seed(seed);
}

quint32 SeededRandom::below(quint32 bound) {
    return m_generator.bounded(bound);
}
