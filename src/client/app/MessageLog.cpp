#include "client/app/MessageLog.h"

#include "shared/protocol/ShownText.h"

#include <QTextBlock>

#include <algorithm>

namespace wordmoot {

static_assert(MessageLog::kMaxCharacters > kMaxShownLength + 3,
              "the newest line, however long, fits in the log");

MessageLog::MessageLog(QWidget* parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
}

void MessageLog::addmsg(const QString& message) {
    QString shown = shownText(message);
    if (shown.isEmpty() && waiting_.isEmpty() && document()->isEmpty())
        return;
    // Most messages are one line: they go as they are.
    if (shown.contains(u'\r')) {
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    if (shown.contains(u'\n')) {
        for (const QString& line : shown.split(QLatin1Char('\n')))
            wait(line);
    } else {
        wait(shown);
    }
    // Lines that the newer waiting lines alone push out of the log need not
    // wait: the document would drop them anyway.
    while (waiting_.size() > kMaxLines || waitingChars_ - 1 > kMaxCharacters)
        waitingChars_ -= waiting_.takeFirst().size() + 1;
    flushSoon();
}

void MessageLog::wait(const QString& line) {
    waiting_.append(line);
    waitingChars_ += line.size() + 1;
}

void MessageLog::flushSoon() {
    if (flushPosted_)
        return;
    flushPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            flushPosted_ = false;
            flush();
        },
        Qt::QueuedConnection);
}

void MessageLog::flush() {
    if (waiting_.isEmpty())
        return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    if (!document()->isEmpty())
        end.insertBlock();
    end.insertText(waiting_.join(QLatin1Char('\n')));
    end.endEditBlock();
    waiting_.clear();
    waitingChars_ = 0;
    dropOldest();
    moveCursor(QTextCursor::End);
}

// The oldest whole lines beyond either bound go in one edit: a selection from
// the start of the document to the first line kept.
void MessageLog::dropOldest() {
    QTextDocument* doc = document();
    QTextBlock first = doc->findBlockByNumber(std::max(0, doc->blockCount() - kMaxLines));
    const qsizetype over = doc->characterCount() - 1 - kMaxCharacters;
    if (over > first.position()) {
        first = doc->findBlock(int(over));
        if (first.position() < over)
            first = first.next();
    }
    if (first.blockNumber() == 0)
        return;
    QTextCursor cut(doc);
    cut.beginEditBlock();
    cut.setPosition(first.position(), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    cut.endEditBlock();
}

void MessageLog::flushBeforeInput(const QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
        flush();
        break;
    default:
        break;
    }
}

bool MessageLog::event(QEvent* event) {
    flushBeforeInput(event);
    return QPlainTextEdit::event(event);
}

bool MessageLog::viewportEvent(QEvent* event) {
    flushBeforeInput(event);
    return QPlainTextEdit::viewportEvent(event);
}

// Reading the log shows what waits first; the text is the same either way.
QString MessageLog::text() const {
    const_cast<MessageLog*>(this)->flush();
    return toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace wordmoot
