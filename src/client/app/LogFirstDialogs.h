#pragma once

#include "client/app/MessageLog.h"
#include "client/connection/Dialogs.h"

#include <QPointer>

namespace wordmoot {

// The window's boxes: before any box opens, the lines added to the log so far
// are shown, so a box never stands in front of lines that came before it.
class LogFirstDialogs : public Dialogs {
public:
    explicit LogFirstDialogs(Dialogs& boxes)
        : boxes_(boxes) {}
    void setLog(MessageLog* log) { log_ = log; }

    void message(const QString& text, const QString& title, Icon icon) override {
        showLog();
        boxes_.message(text, title, icon);
    }
    bool ask(const QString& text, const QString& title, bool defaultNo) override {
        showLog();
        return boxes_.ask(text, title, defaultNo);
    }
    QString input(const QString& prompt, const QString& title, const QString& answer) override {
        showLog();
        return boxes_.input(prompt, title, answer);
    }
    std::optional<int> choose(const QString& text, const QString& title,
                              const QStringList& choices, int preselected) override {
        showLog();
        return boxes_.choose(text, title, choices, preselected);
    }

private:
    void showLog() {
        if (log_)
            log_->flush();
    }

    Dialogs& boxes_;
    QPointer<MessageLog> log_;
};

} // namespace wordmoot
