#pragma once

#include <cstddef>
#include <vector>

namespace pq {

// A stack kept in a vector that is never shrunk: popped frames stay in
// place, so that once the engine has warmed up a push is one store and no
// capacity check reaches the allocator.
template <class T> class ReusableStack {
  public:
    explicit ReusableStack(std::vector<T>& storage) : storage_(storage) {}
    void push(const T& element) {
        if (size_ == storage_.size()) storage_.resize(storage_.size() * 2 + 16);
        storage_[size_++] = element;
    }
    T& back() { return storage_[size_ - 1]; }
    void pop() { --size_; }
    bool empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    const T& operator[](size_t k) const { return storage_[k]; }

  private:
    std::vector<T>& storage_;
    size_t size_ = 0;
};

} // namespace pq
