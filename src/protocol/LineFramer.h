#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace wordmoot {

// The receive buffer of either end. Bytes are appended as they arrive and
// cut into lines; cutting is linear in the bytes received, however they are
// split. A line ends at LF.
// - The client reads replies: a reply's text is what stands before its first
//   CR, so CR LF lines come out whole and a stray CR cuts the rest of its
//   line off. A reply may be long (a row of long names, a long chat line).
// - The server reads commands: one CR before the LF belongs to the line end,
//   any other stays in the text. A command is short: with its LF, 1024 bytes.
//
// A line that grows past its cap without ending is dropped whole: what has
// arrived of it is thrown away at once and the rest is skipped up to its LF,
// so the buffer never holds more than the cap.
class LineFramer {
public:
    static constexpr qsizetype kMaxLineBytes = 4 * 1024 * 1024; // a reply, before its LF
    static constexpr qsizetype kMaxCommandBytes = 1023;         // a command, before its LF

    // The client's framer.
    LineFramer() = default;
    // The server's.
    static LineFramer forCommands() { return LineFramer(kMaxCommandBytes, true); }

    qsizetype maxLineBytes() const { return maxLineBytes_; }
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
    LineFramer(qsizetype maxLineBytes, bool crInText)
        : maxLineBytes_(maxLineBytes)
        , crInText_(crInText) {}
    void holdUnendedTail();
    void giveBackConsumedFront();
    void dropOverlongLine();

    qsizetype maxLineBytes_ = kMaxLineBytes;
    bool crInText_ = false; // only a CR right before the LF ends the line
    QByteArray buffer_;
    qsizetype start_ = 0;   // bytes before this are already handed out
    qsizetype scanned_ = 0; // bytes after start_ known to hold no LF
    bool skipping_ = false; // dropping the rest of an overlong line
    int dropped_ = 0;
};

} // namespace wordmoot
