#pragma once
#include <cstdint>

// A small generator whose sequence depends on the seed alone, on every
// platform and compiler: the data sets of two runs are byte for byte alike.
class CBenchRandom {
public:
    explicit CBenchRandom(uint64_t nSeed) : m_nState(nSeed) {}
    uint64_t Next();
    // Uniform in [nLow, nHigh].
    uint64_t Between(uint64_t nLow, uint64_t nHigh);
    // Spread evenly over the orders of magnitude between nLow and nHigh, as
    // the sizes of office files are.
    uint64_t LogBetween(uint64_t nLow, uint64_t nHigh);

private:
    uint64_t m_nState;
};
