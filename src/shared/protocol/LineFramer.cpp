#include "shared/protocol/LineFramer.h"

namespace wordmoot {

template <LineReader reader> void BasicLineFramer<reader>::append(const QByteArray& bytes) {
    giveBackConsumedFront();
    buffer_.append(bytes);
    if (buffer_.indexOf('\n', start_ + scanned_) < 0)
        holdUnendedTail();
}

// What follows the last LF has no line end yet: remember that it has been
// searched, and let go of it once it is too long to be a line.
template <LineReader reader> void BasicLineFramer<reader>::holdUnendedTail() {
    scanned_ = pendingBytes();
    if (skipping_ || pendingBytes() > kMaxLineBytes)
        dropOverlongLine();
}

// Gives the consumed front back once it outweighs what is left, so the
// buffer stays small without moving bytes on every line. Only here, before
// the buffer changes, may the line last handed out go.
template <LineReader reader> void BasicLineFramer<reader>::giveBackConsumedFront() {
    if (start_ >= 4096 && start_ * 2 >= buffer_.size()) {
        buffer_.remove(0, start_);
        start_ = 0;
    }
}

template <LineReader reader> std::optional<QByteArrayView> BasicLineFramer<reader>::takeLine() {
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
        if (skipping_ || line.size() > kMaxLineBytes) {
            if (!skipping_)
                ++dropped_;
            skipping_ = false;
            continue;
        }
        if constexpr (reader == LineReader::Server)
            return line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype cr = line.indexOf('\r');
        return cr >= 0 ? line.first(cr) : line;
    }
}

template <LineReader reader> int BasicLineFramer<reader>::takeDroppedCount() {
    const int count = dropped_;
    dropped_ = 0;
    return count;
}

template <LineReader reader> void BasicLineFramer<reader>::dropOverlongLine() {
    buffer_.clear();
    start_ = 0;
    scanned_ = 0;
    if (!skipping_)
        ++dropped_;
    skipping_ = true;
}

template class BasicLineFramer<LineReader::Client>;
template class BasicLineFramer<LineReader::Server>;

} // namespace wordmoot
