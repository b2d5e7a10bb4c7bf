#include "live_map/share_key.h"

#include <QRandomGenerator>

#include <array>

namespace quill {

QByteArray new_share_key() {
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.data()), sizeof words).toHex();
}

bool is_share_key(QByteArrayView text, QByteArrayView key) {
    if (key.isEmpty() || text.size() != key.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (qsizetype i = 0; i < key.size(); ++i) {
        difference |= static_cast<unsigned char>(text[i] ^ key[i]);
    }
    return difference == 0;
}

}  // namespace quill
