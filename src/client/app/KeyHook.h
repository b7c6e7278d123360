#pragma once

#include <QKeyEvent>
#include <QObject>

#include <functional>
#include <map>

namespace wordmoot {

// Takes chosen keys, pressed without modifiers, from a widget before the
// widget sees them; every other key goes to the widget as before.
class KeyHook : public QObject {
public:
    KeyHook(QObject* watched, std::map<int, std::function<void()>> keys)
        : QObject(watched)
        , keys_(std::move(keys)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto found = keys_.find(key->key());
        if (found == keys_.end() || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        found->second();
        return true;
    }

private:
    std::map<int, std::function<void()>> keys_;
};

} // namespace wordmoot
