#pragma once

#include "client/connection/Dialogs.h"

class QWidget;

namespace wordmoot {

// The real message and input boxes. Texts from the server go in them, so
// they are always shown as plain text and never become links.
class QtDialogs : public Dialogs {
public:
    // The window the boxes stand in front of; they are never its children.
    void setOwner(QWidget* owner) { owner_ = owner; }

    void message(const QString& text, const QString& title, Icon icon) override;
    bool ask(const QString& text, const QString& title, bool defaultNo) override;
    QString input(const QString& prompt, const QString& title, const QString& answer) override;
    std::optional<int> choose(const QString& text, const QString& title,
                              const QStringList& choices, int preselected) override;

private:
    QWidget* owner_ = nullptr;
};

} // namespace wordmoot
