#include "live_map/page_frame_guard.h"

#include <QTcpSocket>

#include "live_map/live_server_limits.h"

namespace quill {

page_frame_guard::page_frame_guard(QTcpSocket* socket, qsizetype head_size,
                                   std::function<void()> broken)
    : QObject(socket),
      socket_(socket),
      head_size_(head_size),
      broken_(std::move(broken)),
      check_(page_message_cap) {
    connect(socket_, &QTcpSocket::readyRead, this, &page_frame_guard::check_arrivals);
}

bool page_frame_guard::start() {
    started_ = true;
    checked_ = socket_->bytesAvailable();
    connect(socket_, &QTcpSocket::readyRead, this,
            [this] { checked_ = socket_->bytesAvailable(); });
    return !early_bytes_ && checked_ == 0;
}

void page_frame_guard::check_arrivals() {
    const qint64 available = socket_->bytesAvailable();
    if (!started_) {
        early_bytes_ = early_bytes_ || available > head_size_;
        return;
    }
    // Fewer bytes than were checked means something read the socket unseen: trust it no more.
    if (available < checked_ ||
        (available > checked_ && !check_.feed(socket_->peek(available).sliced(checked_)))) {
        broken_();
        return;
    }
    checked_ = available;
}

}  // namespace quill
