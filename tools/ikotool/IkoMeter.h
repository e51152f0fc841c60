#pragma once
#include <cstdint>

// Told by a metered file what passes through it.
class CIkoMeter {
public:
    virtual ~CIkoMeter() = default;
    virtual void OnRead(uint64_t nBytes) = 0; // read or passed over
    virtual void OnWrite(uint64_t nBytes) = 0;
    virtual void OnLength(int64_t nLength) = 0;
};
