// A growable array of plain records in host memory, for the lists a layout
// builds; growth failures come back as false so that callers return 1000.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "tzx/frame.h"

namespace tzx::text {

template <class T>
class HostArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  HostArray() = default;
  HostArray(const HostArray&) = delete;
  HostArray& operator=(const HostArray&) = delete;
  ~HostArray() { HostFree(data_); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }

  bool Reserve(size_t capacity) {
    if (capacity <= capacity_) return true;
    auto* grown = static_cast<T*>(HostAlloc(capacity * sizeof(T), false));
    if (!grown) return false;
    if (size_) std::memcpy(grown, data_, size_ * sizeof(T));
    HostFree(data_);
    data_ = grown;
    capacity_ = capacity;
    return true;
  }
  bool Push(const T& v) {
    if (size_ == capacity_ && !Reserve(capacity_ ? capacity_ * 2 : 16)) return false;
    data_[size_++] = v;
    return true;
  }
  bool Append(const T* v, size_t n) {
    if (size_ + n > capacity_ && !Reserve(size_ + n > capacity_ * 2 ? size_ + n : capacity_ * 2)) {
      return false;
    }
    if (n) std::memcpy(data_ + size_, v, n * sizeof(T));
    size_ += n;
    return true;
  }
  void Resize(size_t n) { size_ = n; }  // only to shrink
  void Clear() { size_ = 0; }

 private:
  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace tzx::text
