#include "app/QtDialogs.h"
#include "app/WordmootForm.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString());
    // The program ends when its main window says so, not when the last
    // window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    wordmoot::QtDialogs dialogs;
    wordmoot::WordmootForm form(dialogs);
    dialogs.setOwner(&form);
    QObject::connect(&form, &wordmoot::WordmootForm::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.start();
    if (form.hasEnded())
        return 0;
    return app.exec();
}
