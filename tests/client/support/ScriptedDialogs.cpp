#include "ScriptedDialogs.h"

namespace wordmoot::test {

void ScriptedDialogs::message(const QString& text, const QString& title, Icon icon) {
    shown.append({Kind::Message, text, title, icon});
    if (whileOpen)
        whileOpen();
}

bool ScriptedDialogs::ask(const QString& text, const QString& title, bool defaultNo) {
    shown.append({Kind::Ask, text, title, Icon::Question, defaultNo});
    if (whileOpen)
        whileOpen();
    return askAnswers.isEmpty() ? false : askAnswers.takeFirst();
}

QString ScriptedDialogs::input(const QString& prompt, const QString& title, const QString& answer) {
    shown.append({Kind::Input, prompt, title, Icon::Question});
    proposals.append(answer);
    if (whileOpen)
        whileOpen();
    return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
}

std::optional<int> ScriptedDialogs::choose(const QString& text, const QString& title,
                                           const QStringList& offered, int preselected) {
    shown.append({Kind::Choose, text, title, Icon::Question});
    choices.append(offered);
    preselections.append(preselected);
    if (whileOpen)
        whileOpen();
    return chooseAnswers.isEmpty() ? std::optional<int>(preselected) : chooseAnswers.takeFirst();
}

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const Shown& box : shown)
        result.append(box.text);
    return result;
}

} // namespace wordmoot::test
