#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace wordmoot {

// The modal boxes the client opens. The program shows real message and input
// boxes; tests answer from a script. Every text is shown as plain text.
class Dialogs {
public:
    enum class Icon { Stop, Warning, Question, Information };

    virtual ~Dialogs() = default;
    // A box with one OK button.
    virtual void message(const QString& text, const QString& title, Icon icon) = 0;
    // A Yes/No box with a question icon; true for Yes.
    virtual bool ask(const QString& text, const QString& title, bool defaultNo) = 0;
    // An input box; empty text when the user cancels.
    virtual QString input(const QString& prompt, const QString& title, const QString& answer) = 0;
    // A list of answers, one chosen by a click, a double click or Enter,
    // `preselected` at first; the index chosen, nullopt when the user cancels.
    virtual std::optional<int> choose(const QString& text, const QString& title,
                                      const QStringList& choices, int preselected) = 0;
};

inline const QString kAppTitle = QStringLiteral("Wordmoot");

} // namespace wordmoot
