#pragma once

#include <QPlainTextEdit>
#include <QStringList>

namespace wordmoot {

// The running log of chat lines and notices. The lines added in one turn of
// the event loop wait, in order, and go into the document as one edit when
// the loop next turns; the oldest lines then leave in a second edit, taken
// out by position. A flood of lines thus costs a few edits a turn, not two
// for every line, however full the log is. The caret and the view are at the
// end after each turn that added lines. The log keeps at most kMaxLines
// lines and kMaxCharacters characters (a line break counts one), dropping the
// oldest whole lines first; a line is shown cut to kMaxShownLength characters
// (protocol/ShownText.h), so the newest line always fits.
class MessageLog : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 20000;
    // 20,000 lines of 100 characters: ordinary chat is bounded by its lines,
    // long notices by their characters (about 490 of the longest).
    static constexpr qsizetype kMaxCharacters = 2'000'000;

    explicit MessageLog(QWidget* parent = nullptr);

    // Adds one message, several lines if it holds line breaks, to be shown
    // when the event loop next turns or something reads the log. An empty
    // message added to an empty log adds nothing.
    void addmsg(const QString& message);
    // Shows the lines waiting now, and puts the caret after the last one.
    void flush();
    // The log as text, waiting lines included: lines separated by CR LF,
    // none after the last.
    QString text() const;

protected:
    // The user's keys, clicks and menus act on every line added so far.
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void wait(const QString& line);
    void flushSoon();
    void dropOldest();
    void flushBeforeInput(const QEvent* event);

    QStringList waiting_;        // lines not yet in the document, oldest first
    qsizetype waitingChars_ = 0; // their characters, one line break each included
    bool flushPosted_ = false;   // a flush waits in the event loop
};

} // namespace wordmoot
