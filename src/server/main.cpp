#include "server/GameServer.h"
#include "server/Lobby.h"
#include "server/WordCheck.h"

#include "BuildConfig.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2];

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop from within it, so the server
// closes its connections the ordinary way.
void quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    app.setApplicationName("wordmoot-server");
    app.setApplicationVersion(WORDMOOT_VERSION);
    const auto parsed = wordmoot::server::parseOptions(app.arguments());
    if (!parsed.options) {
        std::fputs(
            qPrintable(parsed.failed ? "wordmoot-server: " + parsed.text + '\n' : parsed.text),
            parsed.failed ? stderr : stdout);
        return parsed.failed ? 2 : 0;
    }
    const auto& options = *parsed.options;
    if (const auto& found = options.wordsFound; found && found->fellBack) {
        const QByteArray fallback =
            found->path.isEmpty()
                ? QByteArray(wordmoot::kSystemWordList) + " is missing too: plays are not judged"
                : "using " + found->path.toLocal8Bit();
        std::fprintf(stderr, "wordmoot-server: the game's word list is missing (%s): %s\n",
                     qPrintable(found->expected), fallback.constData());
    }
    if (!options.check.isEmpty()) {
        const auto words = wordmoot::WordList::load(options.words);
        if (!words) {
            std::fprintf(stderr, "wordmoot-server: cannot read the word list %s\n",
                         qPrintable(options.words));
            return 2;
        }
        std::fputs(wordmoot::server::verdicts(*words, options.check).constData(), stdout);
        return 0;
    }
    wordmoot::server::GameServer server(options);
    if (!server.start()) {
        std::fprintf(stderr, "wordmoot-server: %s\n", qPrintable(server.errorText()));
        return 2;
    }
    if (const wordmoot::WordList* words = server.lobby().words())
        std::fprintf(stderr, "wordmoot-server: word list %s: %zu words\n",
                     qPrintable(options.words), words->words().size());
    quitOnSignals(app);
    QObject::connect(&server, &wordmoot::server::GameServer::idle, &app, [&] {
        std::fputs("wordmoot-server: no client for a while\n", stderr);
        app.quit();
    });
    std::printf("listening on %s\n", qPrintable(server.address()));
    std::fflush(stdout);
    const int status = app.exec();
    std::fputs("wordmoot-server: stopped\n", stderr);
    return status;
}
