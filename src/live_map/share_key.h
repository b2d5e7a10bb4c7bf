#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace quill {

// The secret in a shared link: 128 bits from the system's secure random source, as 32 lower-case
// hex digits.
QByteArray new_share_key();

// Whether text is the key, in a time that does not depend on where they differ, so that no guess
// learns a prefix by timing. Text of another length is refused at once: the key's length is no
// secret.
bool is_share_key(QByteArrayView text, QByteArrayView key);

}  // namespace quill
