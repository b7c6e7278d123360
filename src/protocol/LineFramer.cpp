#include "protocol/LineFramer.h"

namespace wordmoot {

void LineFramer::append(const QByteArray& bytes) {
    giveBackConsumedFront();
    buffer_.append(bytes);
    if (buffer_.indexOf('\n', start_ + scanned_) < 0)
        holdUnendedTail();
}

// What follows the last LF has no line end yet: remember that it has been
// searched, and let go of it once it is too long to be a line.
void LineFramer::holdUnendedTail() {
    scanned_ = pendingBytes();
    if (skipping_ || pendingBytes() > maxLineBytes_)
        dropOverlongLine();
}

// Gives the consumed front back once it outweighs what is left, so the
// buffer stays small without moving bytes on every line. Only here, before
// the buffer changes, may the line last handed out go.
void LineFramer::giveBackConsumedFront() {
    if (start_ >= 4096 && start_ * 2 >= buffer_.size()) {
        buffer_.remove(0, start_);
        start_ = 0;
    }
}

std::optional<QByteArrayView> LineFramer::takeLine() {
    giveBackConsumedFront();
    for (;;) {
        const qsizetype end = buffer_.indexOf('\n', start_ + scanned_);
        if (end < 0) {
            holdUnendedTail();
            return std::nullopt;
        }
        QByteArrayView line(buffer_.constData() + start_, end - start_);
        start_ = end + 1;
        scanned_ = 0;
        if (skipping_ || line.size() > maxLineBytes_) {
            if (!skipping_)
                ++dropped_;
            skipping_ = false;
            continue;
        }
        if (crInText_)
            return line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype cr = line.indexOf('\r');
        return cr >= 0 ? line.first(cr) : line;
    }
}

int LineFramer::takeDroppedCount() {
    const int count = dropped_;
    dropped_ = 0;
    return count;
}

void LineFramer::dropOverlongLine() {
    buffer_.clear();
    start_ = 0;
    scanned_ = 0;
    if (!skipping_)
        ++dropped_;
    skipping_ = true;
}

} // namespace wordmoot
