#pragma once

#include "math/VVector.h"

namespace kv {

// A real-valued curve.
class VDoubleVec : public VVector<double> {
public:
    explicit VDoubleVec(int n = 0) : VVector<double>(n) {}
    VDoubleVec(const VDoubleVec&) = default;
    VDoubleVec& operator=(const VDoubleVec&) = default;
    ~VDoubleVec() override = default;

    VDoubleVec& operator+=(double x);
    VDoubleVec& operator*=(double x);
    VDoubleVec& operator/=(double x);

    // Largest and smallest element of [first, last] (VectorRange); the
    // element at first when the range is empty after clamping.
    double Max(int first = 0, int last = -1) const;
    double Min(int first = 0, int last = -1) const;

    bool Serialize(VPersistence& archive) override;
};

} // namespace kv
