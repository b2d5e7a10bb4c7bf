#include "state/label_table.h"

#include <utility>

namespace quill {

const std::string& label_table::operator[](int slot) const {
    static const std::string empty;
    const auto& text = texts_[static_cast<std::size_t>(slot)];
    return text ? *text : empty;
}

void label_table::set(int slot, std::string text) {
    auto& kept = texts_[static_cast<std::size_t>(slot)];
    if (text.empty()) {
        kept.reset();
    } else {
        kept = std::make_shared<const std::string>(std::move(text));
    }
}

void label_table::clear() {
    texts_ = {};
}

bool operator==(const label_table& a, const label_table& b) {
    for (int slot = 0; slot < label_count; ++slot) {
        const auto& mine = a.texts_[static_cast<std::size_t>(slot)];
        const auto& theirs = b.texts_[static_cast<std::size_t>(slot)];
        if (mine != theirs && a[slot] != b[slot]) {
            return false;
        }
    }
    return true;
}

}  // namespace quill
