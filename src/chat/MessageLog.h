#pragma once

#include <QPlainTextEdit>

namespace wordmoot {

// The running log of chat lines and notices. Lines are appended one block at
// a time, so adding a line costs the same however long the log has grown;
// the oldest lines go once it holds kMaxLines.
class MessageLog : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 20000;

    explicit MessageLog(QWidget* parent = nullptr);

    // Appends one line and puts the caret after it. An empty line added to
    // an empty log adds nothing.
    void addmsg(const QString& message);
    // The log as text: lines separated by CR LF, none after the last.
    QString text() const;
};

} // namespace wordmoot
