// How fast server lines go through the receive buffer and the dispatch, into
// a recording view and into the real window. Prints lines per second.
#include "ClientFixture.h"
#include "OfflineClient.h"
#include "protocol/Commands.h"
#include "protocol/LineFramer.h"

#include <QElapsedTimer>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {
constexpr int kLines = 100000;
// The window lays out every line it logs; fewer lines keep the test short.
constexpr int kLoggedLines = 20000;

QByteArray manyLines(const QByteArray& line, int count) {
    QByteArray bytes;
    bytes.reserve((line.size() + 2) * count);
    for (int i = 0; i < count; ++i)
        bytes += line + "\r\n";
    return bytes;
}

// Cuts the bytes in chunks of the size a socket read gives and dispatches
// every line; returns the lines handled per second.
double pump(const QByteArray& bytes, ReplyHandlers& replies, int& handled) {
    LineFramer framer;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype at = 0; at < bytes.size(); at += 4096) {
        framer.append(bytes.mid(at, 4096));
        while (const auto line = framer.takeLine()) {
            replies.dispatch(decodeServerLine(*line));
            ++handled;
        }
    }
    return handled / (std::max<qint64>(timer.nsecsElapsed(), 1) / 1e9);
}
} // namespace

class ThroughputTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void linesFlowThroughFramingAndDispatch_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("ignored code") << QByteArray("2999 keepalive");
        QTest::newRow("notice") << QByteArray("2014 the server says hello");
        QTest::newRow("score entry") << QByteArray("2008 alice 2 31 update");
    }
    void linesFlowThroughFramingAndDispatch() {
        QFETCH(QByteArray, line);
        OfflineClient client;
        int handled = 0;
        const double rate = pump(manyLines(line, kLines), client.replies, handled);
        QCOMPARE(handled, kLines);
        qInfo("%s: %.0f lines per second", line.constData(), rate);
    }

    void linesFlowIntoTheWindowLog() {
        ClientFixture client;
        QVERIFY(client.start());
        int handled = 0;
        const double rate = pump(manyLines("2014 the server says hello", kLoggedLines),
                                 client.form->replies(), handled);
        QCOMPARE(handled, kLoggedLines);
        qInfo("into the message log: %.0f lines per second", rate);
    }
};

QTEST_MAIN(ThroughputTest)
#include "tst_throughput.moc"
