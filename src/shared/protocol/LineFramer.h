#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace wordmoot {

// Which end reads, and so what a line may be.
enum class LineReader {
    // The client reads replies: a reply's text is what stands before its
    // first CR, so CR LF lines come out whole and a stray CR cuts the rest
    // of its line off. A reply may be long (a row of long names, a long
    // chat line): 4 MiB before its LF.
    Client,
    // The server reads commands: one CR before the LF belongs to the line
    // end, any other stays in the text. A command is short: 1024 bytes with
    // its LF.
    Server,
};

// The receive buffer of either end. Bytes are appended as they arrive and
// cut into lines; cutting is linear in the bytes received, however they are
// split. A line ends at LF.
//
// A line that grows past its cap without ending is dropped whole: what has
// arrived of it is thrown away at once and the rest is skipped up to its LF,
// so the buffer never holds more than the cap. Each end's rules are fixed
// when it is compiled, as the framer is in the path of every line.
template <LineReader reader> class BasicLineFramer {
public:
    // The longest line kept, before its LF.
    static constexpr qsizetype kMaxLineBytes =
        reader == LineReader::Client ? 4 * 1024 * 1024 : 1023;

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

using LineFramer = BasicLineFramer<LineReader::Client>;
using CommandFramer = BasicLineFramer<LineReader::Server>;
extern template class BasicLineFramer<LineReader::Client>;
extern template class BasicLineFramer<LineReader::Server>;

} // namespace wordmoot
