#include "app/QtDialogs.h"
#include "app/WordmootForm.h"

#include "BuildConfig.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(WORDMOOT_VERSION));
    // --help and --version print and end the program; without options it
    // starts as it always has.
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Wordmoot, a crossword-tile word game played over the network.\n"
                       "At start-up it asks for the server as user@host:port."));
    parser.addHelpOption();
    parser.addVersionOption();
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
