#pragma once

#include <QString>

namespace wordmoot {

// Text from the server can be as long as a line may be. Laying out megabytes
// in a label or the log would stall the window, so no more than this is
// shown of one text; a longer one is cut and ends with "...".
inline constexpr qsizetype kMaxShownLength = 4096;

// A name shown in a caption is cut shorter still.
inline constexpr qsizetype kMaxShownName = 64;

inline QString shownText(const QString& text, qsizetype maxLength = kMaxShownLength) {
    if (text.size() <= maxLength)
        return text;
    return text.left(maxLength) + QStringLiteral("...");
}

} // namespace wordmoot
