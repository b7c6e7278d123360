// Feeds arbitrary bytes, in arbitrary reads, to a real main window over a
// real connection, with the user's gestures mixed in; every box is answered
// from the input. Fails on a malformed line sent, a cell holding more than one
// character, or a list or the log past its cap.
#include "FuzzSupport.h"
#include "UserGestures.h"

#include "client/app/MessageLog.h"
#include "client/app/WordmootForm.h"
#include "shared/protocol/WireLine.h"

#include <QApplication>
#include <QTcpServer>
#include <QTcpSocket>

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

using namespace wordmoot;
using namespace wordmoot::fuzz;

namespace {

// The most bytes one read brings; inputs of a megabyte still arrive in a
// handful of reads.
constexpr size_t kMostBytesPerRead = 1 << 20;

// Where the window's commands go instead of the socket: each is put on the
// wire as the connection would and checked.
class CheckedSink : public CommandSink {
public:
    void send(const QString& command) override {
        const QByteArray line = encodeCommandLine(command);
        checkLine(line);
        qsizetype word = 0;
        while (word < line.size() && line[word] >= 'A' && line[word] <= 'Z')
            ++word;
        if (word == 0 || (line[word] != ' ' && line[word] != '\r'))
            fail("a line sent does not start with a command word", line);
    }
};

class ClientRun : public Dialogs {
public:
    ClientRun(FuzzedDataProvider& in, QTcpServer& listener)
        : in_(in)
        , address_(QStringLiteral("fuzz@127.0.0.1:%1").arg(listener.serverPort())) {
        form_ = std::make_unique<WordmootForm>(*this, &sink_);
        form_->start();
        waitUntil([&] { return listener.hasPendingConnections() || form_->hasEnded(); },
                  "the client does not connect");
        wire_.reset(listener.nextPendingConnection());
        waitUntil([&] { return form_->isVisible() || form_->hasEnded(); },
                  "the window does not open");
    }

    void play() {
        UserGestures user(*form_, in_);
        while (in_.remaining_bytes() > 0 && !form_->hasEnded()) {
            if (in_.ConsumeIntegralInRange(0, 3) == 0)
                user.act();
            else
                deliver();
            checkState();
        }
    }

    // Dialogs: every box is answered from the input, and more data may
    // arrive while it is open.
    void message(const QString&, const QString&, Icon) override { whileOpen(); }
    bool ask(const QString&, const QString&, bool) override {
        whileOpen();
        return in_.ConsumeBool();
    }
    QString input(const QString&, const QString&, const QString&) override {
        if (!address_.isEmpty()) // the start-up box: which server
            return std::exchange(address_, QString());
        whileOpen();
        return QString::fromStdString(in_.ConsumeRandomLengthString(40));
    }
    std::optional<int> choose(const QString&, const QString&, const QStringList& choices,
                              int) override {
        whileOpen();
        const int chosen = in_.ConsumeIntegralInRange(-1, int(choices.size()) - 1);
        return chosen < 0 ? std::nullopt : std::optional<int>(chosen);
    }

private:
    QByteArray nextRead() {
        const auto size = in_.ConsumeIntegralInRange<size_t>(1, kMostBytesPerRead);
        const std::string bytes = in_.ConsumeBytesAsString(size);
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    }

    // One read's worth of bytes, handled before the next goes out.
    void deliver() {
        write(nextRead());
        const Connection& connection = form_->connection();
        waitUntil(
            [&] {
                return form_->hasEnded() ||
                       (connection.bytesReceived() == written_ && !connection.isHandling());
            },
            "the client does not take in what arrives");
    }

    void whileOpen() {
        if (wire_ && in_.ConsumeBool())
            write(nextRead());
        QCoreApplication::processEvents();
    }

    void write(const QByteArray& bytes) {
        written_ += wire_->write(bytes);
        wire_->flush();
    }

    void checkState() const {
        const ClientState& state = form_->state();
        for (const auto& column : state.board)
            for (const QString& cell : column)
                if (cell.size() > 1)
                    fail("a board cell holds more than one character", cell.toUtf8());
        for (const RackSlot& slot : state.rack)
            if (slot.tile.size() > 1)
                fail("a rack slot holds more than one character", slot.tile.toUtf8());
        for (const Placement& laid : state.placement)
            if (laid.letter.size() > 1)
                fail("a laid tile holds more than one character", laid.letter.toUtf8());
        if (form_->replies().games().rowCount() > GameList::kMaxGames + 1)
            fail("the game list is past its cap");
        if (form_->replies().scores().rowCount() > ScoreList::kMaxEntries)
            fail("the score list is past its cap");
        if (form_->irchistorybox()->document()->blockCount() > MessageLog::kMaxLines)
            fail("the log is past its cap");
    }

    FuzzedDataProvider& in_;
    QString address_;
    CheckedSink sink_;
    std::unique_ptr<WordmootForm> form_;
    std::unique_ptr<QTcpSocket> wire_;
    qint64 written_ = 0;
};

QTcpServer* listener = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    isolateStoredFiles();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "client_fuzzer";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the program ends in libFuzzer, past every window.
    auto* app = new QApplication(argc, argv);
    listener = new QTcpServer(app);
    if (!listener->listen(QHostAddress::LocalHost))
        fail("cannot listen on loopback");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    {
        ClientRun run(in, *listener);
        run.play();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
