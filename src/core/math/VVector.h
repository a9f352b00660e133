#pragma once

#include "archive/IArchive.h"
#include "archive/VPersistence.h"
#include "math/Complex.h"
#include "math/VectorRange.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv {

// Storage shared by the real and complex vectors: a contiguous block with a
// 32-bit element count that is never negative. Shrinking to zero keeps the
// block; every other change of size moves the elements to a block of exactly
// the new size, so callers size a vector once and then fill it.
template <typename T> class VVector : public IArchive {
public:
    explicit VVector(int n = 0) {
        if (n > 0) {
            elements_.assign(static_cast<std::size_t>(n), T{});
            size_ = n;
        }
    }

    // Resizes to n elements (0 for n < 1), new ones zero; false, and the
    // vector as it was, when memory is short.
    bool SetSize(int n) {
        if (n < 1) {
            size_ = 0;
            return true;
        }
        if (n == size_) {
            return true;
        }
        try {
            std::vector<T> block(static_cast<std::size_t>(n), T{});
            std::copy_n(elements_.begin(), std::min(n, size_), block.begin());
            elements_.swap(block);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
        size_ = n;
        return true;
    }

    int GetSize() const { return size_; }
    bool Empty() const { return size_ == 0; }
    T& operator[](int index) { return elements_[static_cast<std::size_t>(index)]; }
    const T& operator[](int index) const { return elements_[static_cast<std::size_t>(index)]; }
    T* Data() { return elements_.data(); }
    const T* Data() const { return elements_.data(); }
    T* begin() { return elements_.data(); }
    T* end() { return elements_.data() + size_; }
    const T* begin() const { return elements_.data(); }
    const T* end() const { return elements_.data() + size_; }

    void Fill(const T& x) { std::fill(begin(), end(), x); }

    // The same elements in the same order.
    bool operator==(const VVector& other) const {
        return size_ == other.size_ && std::equal(begin(), end(), other.begin());
    }

    // False when an element is infinite or not a number.
    bool AllFinite() const {
        return std::all_of(begin(), end(), [](const T& x) { return IsFinite(x); });
    }

    // Reverses [first, last] after clamping (VectorRange).
    void Reverse(int first, int last) {
        const VectorRange range = VectorRange::Clamp(first, last, size_);
        if (size_ > 0 && !range.Empty()) {
            std::reverse(begin() + range.first, begin() + range.last + 1);
        }
    }

protected:
    // Copies another vector's elements; an allocation failure leaves this one
    // empty.
    void CopyFrom(const VVector& other) {
        if (this == &other) {
            return;
        }
        if (!SetSize(other.size_)) {
            size_ = 0;
            return;
        }
        std::copy(other.begin(), other.end(), begin());
    }

    // The stored form: tag (class name, version 1), int32 count, the values.
    // A count that the rest of the file cannot hold is refused before it is
    // allocated.
    bool SerializeRecord(VPersistence& archive, const std::string& className) {
        constexpr std::size_t kDoublesPerElement = sizeof(T) / sizeof(double);
        static_assert(sizeof(T) == kDoublesPerElement * sizeof(double));
        constexpr std::int32_t kVersion = 1;
        if (archive.IsStoring()) {
            return archive.WriteTag(className, kVersion) && archive.WriteInt32(size_) &&
                   archive.WriteDoubles(reinterpret_cast<const double*>(Data()),
                                        static_cast<std::size_t>(size_) * kDoublesPerElement);
        }
        std::int32_t version = 0;
        std::int32_t count = 0;
        if (!archive.ExpectTag(className, version) || version != kVersion ||
            !archive.ReadInt32(count)) {
            return false;
        }
        const std::uint64_t values = count > 0 ? static_cast<std::uint64_t>(count) : 0;
        if (values * sizeof(T) > archive.RemainingBytes() || !SetSize(count)) {
            return false;
        }
        return archive.ReadDoubles(reinterpret_cast<double*>(Data()),
                                   static_cast<std::size_t>(size_) * kDoublesPerElement);
    }

    VVector(const VVector& other) : IArchive(other) { CopyFrom(other); }
    VVector& operator=(const VVector& other) {
        CopyFrom(other);
        return *this;
    }

private:
    std::vector<T> elements_;
    int size_ = 0;
};

} // namespace kv
