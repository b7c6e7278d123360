#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace wordmoot::fuzz {

void fail(const char* what, QByteArrayView line) {
    std::fprintf(stderr, "wordmoot fuzz failure: %s\n", what);
    if (!line.isEmpty())
        std::fprintf(stderr, "line: %s\n", line.toByteArray().toPercentEncoding(" ").constData());
    std::abort();
}

void waitUntil(const std::function<bool()>& condition, const char* what) {
    if (condition())
        return;
    // The timer's event wakes the loop once the time is up.
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&expired] { expired = true; });
    deadline.start(kMaxWaitMs);
    while (!condition()) {
        if (expired)
            fail(what);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void isolateStoredFiles() {
    static QTemporaryDir home;
    if (!home.isValid())
        fail("no temporary folder");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
}

void checkLine(QByteArrayView line) {
    if (!line.endsWith("\r\n"))
        fail("a line does not end in CR LF", line);
    const QByteArrayView text = line.chopped(2);
    for (char c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            fail("a line holds CR, LF or NUL before its end", line);
}

QList<QByteArray> LineChecker::take(QByteArrayView bytes) {
    pending_.append(bytes);
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype end; (end = pending_.indexOf('\n', start)) >= 0; start = end + 1) {
        lines.append(pending_.mid(start, end + 1 - start));
        checkLine(lines.last());
    }
    pending_.remove(0, start);
    return lines;
}

} // namespace wordmoot::fuzz
