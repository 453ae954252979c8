// Arrays addressed from 1, as every array of the program is.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "runtime/runtime_error.h"

namespace zelkor {

template <typename T>
class Array {
 public:
  Array() = default;
  Array(std::initializer_list<T> items) : items_(items) {}

  [[nodiscard]] int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  void Append(T item) { items_.push_back(std::move(item)); }

  // Element `index` counted from 1. Below 1 raises run-time error 4, above the
  // count run-time error 1.
  [[nodiscard]] T& At(int32_t index) { return items_[Checked(index)]; }
  [[nodiscard]] const T& At(int32_t index) const { return items_[Checked(index)]; }

  [[nodiscard]] const std::vector<T>& items() const { return items_; }
  std::vector<T>& items() { return items_; }

  friend bool operator==(const Array&, const Array&) = default;

 private:
  size_t Checked(int32_t index) const {
    if (index < 1) throw RuntimeError::IndexBelowOne();
    if (index > Count()) throw RuntimeError::IndexAboveCount();
    return static_cast<size_t>(index - 1);
  }

  std::vector<T> items_;
};

// Sorts numbers in place, ascending unless `ascending` is false.
template <typename T>
void SortArray(Array<T>& array, bool ascending = true) {
  if (ascending) {
    std::sort(array.items().begin(), array.items().end());
  } else {
    std::sort(array.items().begin(), array.items().end(), std::greater<T>());
  }
}

}  // namespace zelkor
