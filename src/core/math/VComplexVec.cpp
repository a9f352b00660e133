#include "math/VComplexVec.h"

namespace kv {

VComplexVec& VComplexVec::operator+=(const VComplexVec& other) {
    Complex* values = Data();
    const Complex* operand = other.Data();
    for (int i = 0; i < GetSize(); ++i) {
        values[i] += operand[i];
    }
    return *this;
}

VComplexVec& VComplexVec::operator*=(const VComplexVec& other) {
    Complex* values = Data();
    const Complex* operand = other.Data();
    for (int i = 0; i < GetSize(); ++i) {
        values[i] = Multiply(values[i], operand[i]);
    }
    return *this;
}

VComplexVec& VComplexVec::operator*=(double x) {
    for (Complex& v : *this) {
        v *= x;
    }
    return *this;
}

VComplexVec& VComplexVec::operator/=(double x) {
    for (Complex& v : *this) {
        v /= x;
    }
    return *this;
}

Complex VComplexVec::Mean(int first, int last) const {
    if (Empty()) {
        return {};
    }
    const VectorRange range = VectorRange::Clamp(first, last, GetSize());
    if (range.Empty()) {
        return (*this)[range.first];
    }
    Complex sum;
    for (int i = range.first; i <= range.last; ++i) {
        sum += (*this)[i];
    }
    return sum / static_cast<double>(range.last - range.first + 1);
}

bool VComplexVec::Serialize(VPersistence& archive) {
    return SerializeRecord(archive, "VComplexVec");
}

} // namespace kv
