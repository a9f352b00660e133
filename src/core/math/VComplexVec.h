#pragma once

#include "math/Complex.h"
#include "math/VVector.h"

namespace kv {

// A complex-valued curve, such as a frequency response on the grid.
class VComplexVec : public VVector<Complex> {
public:
    explicit VComplexVec(int n = 0) : VVector<Complex>(n) {}
    VComplexVec(const VComplexVec&) = default;
    VComplexVec& operator=(const VComplexVec&) = default;
    ~VComplexVec() override = default;

    void FillReal(double x) { Fill(Complex(x, 0.0)); }

    // Element-wise, over this vector's size; the operand holds at least as
    // many elements.
    VComplexVec& operator+=(const VComplexVec& other);
    VComplexVec& operator*=(const VComplexVec& other);
    VComplexVec& operator*=(double x);
    VComplexVec& operator/=(double x);

    // Arithmetic mean of [first, last] (VectorRange).
    Complex Mean(int first = 0, int last = -1) const;

    bool Serialize(VPersistence& archive) override;
};

} // namespace kv
