#pragma once

namespace quill {

// A dialog opened during a busy period has the normal pointer while it is open; the busy
// pointer returns with its closing.
class normal_pointer_for_dialog {
public:
    normal_pointer_for_dialog();
    ~normal_pointer_for_dialog();
    normal_pointer_for_dialog(const normal_pointer_for_dialog&) = delete;
    normal_pointer_for_dialog& operator=(const normal_pointer_for_dialog&) = delete;

private:
    bool over_busy_ = false;
};

}  // namespace quill
