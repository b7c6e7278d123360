#pragma once

#include "ScriptedDialogs.h"

#include <QTest>

namespace wordmoot::test {

// A box compared whole, so one comparison checks its kind, text, title, icon
// and default button, and a failure shows all of them.
inline bool operator==(const ScriptedDialogs::Shown& a, const ScriptedDialogs::Shown& b) {
    return a.kind == b.kind && a.text == b.text && a.title == b.title && a.icon == b.icon &&
           a.defaultNo == b.defaultNo;
}

inline char* toString(const ScriptedDialogs::Shown& box) {
    static const char* const kinds[] = {"message", "ask", "input"};
    static const char* const icons[] = {"stop", "warning", "question", "information"};
    return QTest::toString(QStringLiteral("%1 box \"%2\" titled \"%3\", %4 icon%5")
                               .arg(QLatin1String(kinds[static_cast<int>(box.kind)]), box.text,
                                    box.title, QLatin1String(icons[static_cast<int>(box.icon)]),
                                    box.defaultNo ? QStringLiteral(", No by default") : QString()));
}

// The box with one OK button that dialogs.message() shows.
inline ScriptedDialogs::Shown messageBox(const QString& text, Dialogs::Icon icon,
                                         const QString& title = QStringLiteral("Wordmoot")) {
    return {ScriptedDialogs::Kind::Message, text, title, icon};
}

} // namespace wordmoot::test
