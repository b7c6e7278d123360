#pragma once

#include <QString>

namespace wordmoot::chat {

// The help shown on a double click on the logo: the input shortcuts, the raw
// commands the server knows and the colours of the premium squares.
QString helpText();
// The credits shown when a tile is dropped on the logo.
QString creditsText();

inline const QString kHelpTitle = QStringLiteral("Wordmoot Help");
inline const QString kCreditsTitle = QStringLiteral("Wordmoot Credits");

} // namespace wordmoot::chat
