#include "client/app/QtDialogs.h"
#include "client/app/WordmootForm.h"

#include "BuildConfig.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstring>

namespace {

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Wordmoot, a crossword-tile word game played over the network.\n"
                       "At start-up it asks for the server as user@host:port."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// Whether the command line asks only for the help or the version, which
// print and end the program without a window system.
bool onlyPrints(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (onlyPrints(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationVersion(QStringLiteral(WORDMOOT_VERSION));
        QCommandLineParser parser;
        describeOptions(parser);
        parser.process(app); // prints, and ends the program
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(WORDMOOT_VERSION));
    // Without options it starts as it always has; an unknown one is refused.
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);

    QApplication::setApplicationDisplayName(QString());
    // The program ends when its main window says so, not when the last
    // window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    wordmoot::QtDialogs dialogs;
    wordmoot::WordmootForm form(dialogs);
    dialogs.setOwner(&form);
    QObject::connect(&form, &wordmoot::WordmootForm::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Started from the menu with nobody listening on this machine, the
    // client starts the server installed beside it and plays there.
    form.connection().startLocalServerWhenRefused();
    form.start();
    if (form.hasEnded())
        return 0;
    return app.exec();
}
