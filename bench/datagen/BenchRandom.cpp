#include "BenchRandom.h"

#include <cmath>

// splitmix64: every seed, zero included, gives a full-period sequence.
uint64_t CBenchRandom::Next() {
    uint64_t z = (m_nState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint64_t CBenchRandom::Between(uint64_t nLow, uint64_t nHigh) {
    if (nHigh <= nLow)
        return nLow;
    return nLow + Next() % (nHigh - nLow + 1);
}

// Drawn from 53 bits; glibc's log and exp are correctly rounded here, so a
// seed gives the same sizes on every machine with that library.
uint64_t CBenchRandom::LogBetween(uint64_t nLow, uint64_t nHigh) {
    if (nHigh <= nLow || nLow == 0)
        return Between(nLow, nHigh);
    const double u = static_cast<double>(Next() >> 11) / 9007199254740992.0;
    const double lo = std::log(static_cast<double>(nLow));
    const double hi = std::log(static_cast<double>(nHigh));
    const auto n = static_cast<uint64_t>(std::exp(lo + u * (hi - lo)));
    return n < nLow ? nLow : (n > nHigh ? nHigh : n);
}
