#pragma once

#include "client/connection/Dialogs.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace wordmoot::test {

// Answers the client's boxes from a script and records every box shown.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Ask, Input, Choose };
    struct Shown {
        Kind kind;
        QString text;
        QString title;
        Icon icon;
        bool defaultNo = false;
    };

    QList<Shown> shown;
    QStringList inputAnswers; // taken in order; empty text once used up
    QList<bool> askAnswers;   // taken in order; No once used up
    QStringList proposals;    // what each input box held when it opened
    // Taken in order; once used up, the preselected answer, as Enter gives.
    QList<std::optional<int>> chooseAnswers;
    QList<QStringList> choices; // each choice box's answers
    QList<int> preselections;   // and the one selected when it opened
    // Runs while a box is open, as the user's reading time would: the event
    // loop keeps going underneath a real modal box.
    std::function<void()> whileOpen;

    void message(const QString& text, const QString& title, Icon icon) override;
    bool ask(const QString& text, const QString& title, bool defaultNo) override;
    QString input(const QString& prompt, const QString& title, const QString& answer) override;
    std::optional<int> choose(const QString& text, const QString& title,
                              const QStringList& choices, int preselected) override;

    // The texts of the boxes shown, in order.
    QStringList texts() const;
};

} // namespace wordmoot::test
