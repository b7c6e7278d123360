#include "client/chat/InputHistory.h"

namespace wordmoot::chat {

void InputHistory::sent(const QString& line) {
    if (lines_.isEmpty() || lines_.last() != line)
        lines_.append(line);
    if (lines_.size() > kMaxLines)
        lines_.removeFirst();
    position_ = lines_.size();
    draft_.clear();
}

std::optional<QString> InputHistory::older(const QString& shown) {
    if (position_ == 0)
        return std::nullopt;
    if (position_ == lines_.size())
        draft_ = shown;
    return lines_[--position_];
}

std::optional<QString> InputHistory::newer() {
    if (position_ == lines_.size())
        return std::nullopt;
    ++position_;
    return position_ == lines_.size() ? draft_ : lines_[position_];
}

} // namespace wordmoot::chat
