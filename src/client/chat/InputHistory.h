#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace wordmoot::chat {

// The lines sent from the input line, recalled with Up and Down. Going back
// from a line not yet sent keeps it as the draft, and going forward past the
// newest line brings the draft back. The oldest lines go once there are more
// than kMaxLines.
class InputHistory {
public:
    static constexpr qsizetype kMaxLines = 100;

    // A line was sent; browsing starts anew below the newest line.
    void sent(const QString& line);
    // The line before the one shown, given what the input line holds now;
    // nullopt at the oldest line.
    std::optional<QString> older(const QString& shown);
    // The line after the one shown, the draft after the newest; nullopt when
    // not browsing.
    std::optional<QString> newer();

private:
    QStringList lines_;
    qsizetype position_ = 0; // lines_.size() while not browsing
    QString draft_;
};

} // namespace wordmoot::chat
