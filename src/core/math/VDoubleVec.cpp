#include "math/VDoubleVec.h"

namespace kv {

VDoubleVec& VDoubleVec::operator+=(double x) {
    for (double& v : *this) {
        v += x;
    }
    return *this;
}

VDoubleVec& VDoubleVec::operator*=(double x) {
    for (double& v : *this) {
        v *= x;
    }
    return *this;
}

VDoubleVec& VDoubleVec::operator/=(double x) {
    for (double& v : *this) {
        v /= x;
    }
    return *this;
}

double VDoubleVec::Max(int first, int last) const {
    if (Empty()) {
        return 0.0;
    }
    const VectorRange range = VectorRange::Clamp(first, last, GetSize());
    if (range.Empty()) {
        return (*this)[range.first];
    }
    return *std::max_element(begin() + range.first, begin() + range.last + 1);
}

double VDoubleVec::Min(int first, int last) const {
    if (Empty()) {
        return 0.0;
    }
    const VectorRange range = VectorRange::Clamp(first, last, GetSize());
    if (range.Empty()) {
        return (*this)[range.first];
    }
    return *std::min_element(begin() + range.first, begin() + range.last + 1);
}

bool VDoubleVec::Serialize(VPersistence& archive) {
    return SerializeRecord(archive, "VDoubleVec");
}

} // namespace kv
