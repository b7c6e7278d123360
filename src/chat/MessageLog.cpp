#include "chat/MessageLog.h"

#include "protocol/ShownText.h"

namespace wordmoot {

MessageLog::MessageLog(QWidget* parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMaximumBlockCount(kMaxLines);
    setUndoRedoEnabled(false);
}

void MessageLog::addmsg(const QString& message) {
    QString line = shownText(message);
    line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (document()->isEmpty()) {
        if (line.isEmpty())
            return;
        QTextCursor end(document());
        end.insertText(line);
    } else {
        appendPlainText(line);
    }
    moveCursor(QTextCursor::End);
}

QString MessageLog::text() const {
    return toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace wordmoot
