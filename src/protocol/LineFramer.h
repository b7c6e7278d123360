#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace wordmoot {

// The receive buffer. Bytes from the server are appended as they arrive and
// cut into lines. A line ends at LF; its text is what stands before its first
// CR, so CR LF lines come out whole and a stray CR cuts the rest of its line
// off. Cutting is linear in the bytes received, however they are split.
//
// A line that grows past kMaxLineBytes without ending is dropped whole:
// what has arrived of it is thrown away at once and the rest is skipped up
// to its LF, so the buffer never holds more than the cap.
class LineFramer {
public:
    static constexpr qsizetype kMaxLineBytes = 4 * 1024 * 1024;

    void append(const QByteArray& bytes);
    // The next complete line, removed from the buffer. The view stays valid
    // until the next call of append or takeLine, so a line is read where it
    // arrived, without a copy.
    std::optional<QByteArrayView> takeLine();
    // How many overlong lines were dropped since the last call.
    int takeDroppedCount();
    // Bytes held that do not yet form a complete line.
    qsizetype pendingBytes() const { return buffer_.size() - start_; }

private:
    void holdUnendedTail();
    void giveBackConsumedFront();
    void dropOverlongLine();

    QByteArray buffer_;
    qsizetype start_ = 0;   // bytes before this are already handed out
    qsizetype scanned_ = 0; // bytes after start_ known to hold no LF
    bool skipping_ = false; // dropping the rest of an overlong line
    int dropped_ = 0;
};

} // namespace wordmoot
