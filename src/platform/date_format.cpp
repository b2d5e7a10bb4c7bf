#include <cstdio>

#include "platform/platform.h"

namespace quill {

std::string format_date(const std::string& mask, const local_date& date) {
    std::string out;
    char digits[16];
    for (std::size_t i = 0; i < mask.size();) {
        if (mask.compare(i, 5, "%yyyy") == 0) {
            std::snprintf(digits, sizeof digits, "%04d", date.year);
            out += digits;
            i += 5;
        } else if (mask.compare(i, 3, "%dd") == 0) {
            std::snprintf(digits, sizeof digits, "%02d", date.day);
            out += digits;
            i += 3;
        } else if (mask.compare(i, 3, "%mm") == 0) {
            std::snprintf(digits, sizeof digits, "%02d", date.month);
            out += digits;
            i += 3;
        } else {
            out += mask[i++];
        }
    }
    return out;
}

}  // namespace quill
