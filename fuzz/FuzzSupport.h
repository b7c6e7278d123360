#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// What both fuzz targets share: failing loudly, waiting on a condition, and
// checking the lines that go over the wire.
namespace wordmoot::fuzz {

// Prints what went wrong and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char* what, QByteArrayView line = {});

// Runs the event loop until the condition holds; a condition still false after
// kMaxWaitMs is a hang and fails. The loop sleeps until the next event, never
// for a fixed time.
inline constexpr int kMaxWaitMs = 10000;
void waitUntil(const std::function<bool()>& condition, const char* what);

// Settings and everything else a program stores go to a fresh folder of
// their own, so a run touches no real user's files.
void isolateStoredFiles();

// One complete line as it went on the wire: it ends in CR LF, and holds no
// other CR, LF or NUL. Fails otherwise.
void checkLine(QByteArrayView line);

// Cuts a byte stream into lines and checks each as it completes.
class LineChecker {
public:
    // Takes bytes as they arrive; returns the lines they completed.
    QList<QByteArray> take(QByteArrayView bytes);

private:
    QByteArray pending_;
};

} // namespace wordmoot::fuzz
