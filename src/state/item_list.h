#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quill {

// A list with a current element, the way every command of the program addresses "the item
// that was hit". Walking the elements by index never moves the current element.
template <typename T>
class item_list {
public:
    int size() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }

    T& operator[](int position) { return items_[static_cast<std::size_t>(position)]; }
    const T& operator[](int position) const { return items_[static_cast<std::size_t>(position)]; }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    bool contains(int position) const { return position >= 0 && position < size(); }

    // -1 when there is no current element.
    int current_position() const { return current_; }
    T* current() {
        return contains(current_) ? &items_[static_cast<std::size_t>(current_)] : nullptr;
    }
    const T* current() const {
        return contains(current_) ? &items_[static_cast<std::size_t>(current_)] : nullptr;
    }
    // A position outside the list leaves no current element.
    void select(int position) { current_ = contains(position) ? position : -1; }

    // Appends and makes the new element current.
    T& add(T value) {
        items_.push_back(std::move(value));
        current_ = size() - 1;
        return items_.back();
    }

    // Deletes the current element; the one before it becomes current (none after the first).
    void remove_current() {
        if (!contains(current_)) {
            return;
        }
        items_.erase(items_.begin() + current_);
        current_ = current_ - 1;
    }

    void clear() {
        items_.clear();
        current_ = -1;
    }

    void reserve(std::size_t count) { items_.reserve(count); }

    // Puts replacement in the place of the count elements from position on; the current
    // element stays where it was, so select() one afterwards.
    void replace(int position, int count, const std::vector<T>& replacement) {
        const auto first = items_.begin() + position;
        if (count == static_cast<int>(replacement.size())) {
            std::copy(replacement.begin(), replacement.end(), first);
            return;
        }
        items_.insert(items_.erase(first, first + count), replacement.begin(), replacement.end());
    }

private:
    std::vector<T> items_;
    int current_ = -1;
};

}  // namespace quill
