#include "app/QtDialogs.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace wordmoot {

namespace {
QMessageBox::Icon boxIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Stop:
        return QMessageBox::Critical;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Information:
        break;
    }
    return QMessageBox::Information;
}

// A box belongs to the main window only while that window can take input:
// a child of a disabled window would be disabled too, and nobody could
// close it.
QWidget* usableParent(QWidget* parent) {
    return parent && parent->isVisible() && parent->isEnabled() ? parent : nullptr;
}

int runBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& title,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, usableParent(parent));
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.setDefaultButton(defaultButton);
    return box.exec();
}
} // namespace

void QtDialogs::message(const QString& text, const QString& title, Icon icon) {
    runBox(parent_, boxIcon(icon), text, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::ask(const QString& text, const QString& title, bool defaultNo) {
    return runBox(parent_, QMessageBox::Question, text, title, QMessageBox::Yes | QMessageBox::No,
                  defaultNo ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& answer) {
    QInputDialog dialog(usableParent(parent_));
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(answer);
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace wordmoot
