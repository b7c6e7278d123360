#include "client/app/QtDialogs.h"

#include "shared/protocol/ShownText.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QMessageBox>
#include <QWindow>

#include <algorithm>

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

// A box is a window of its own that merely stands in front of the main
// window: as the main window's child it would be disabled with it when a game
// list arrives while the box is open, and nobody could close it.
void standInFrontOf(QWidget& box, QWidget* owner) {
    if (!owner || !owner->isVisible())
        return;
    box.winId();
    box.windowHandle()->setTransientParent(owner->windowHandle());
}

int runBox(QWidget* owner, QMessageBox::Icon icon, const QString& text, const QString& title,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, shownText(text), buttons);
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setOpenExternalLinks(false);
    box.setDefaultButton(defaultButton);
    standInFrontOf(box, owner);
    return box.exec();
}
} // namespace

void QtDialogs::message(const QString& text, const QString& title, Icon icon) {
    runBox(owner_, boxIcon(icon), text, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::ask(const QString& text, const QString& title, bool defaultNo) {
    return runBox(owner_, QMessageBox::Question, text, title, QMessageBox::Yes | QMessageBox::No,
                  defaultNo ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& answer) {
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(shownText(prompt));
    dialog.setTextValue(answer);
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    standInFrontOf(dialog, owner_);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

// The answers in a list that shows them all: Enter or OK takes the one
// selected, a double click the one under the pointer.
std::optional<int> QtDialogs::choose(const QString& text, const QString& title,
                                     const QStringList& choices, int preselected) {
    QDialog dialog;
    dialog.setWindowTitle(title);
    auto* label = new QLabel(shownText(text), &dialog);
    label->setTextFormat(Qt::PlainText);
    auto* list = new QListWidget(&dialog);
    for (const QString& choice : choices)
        list->addItem(shownText(choice));
    list->setCurrentRow(std::clamp(preselected, 0, int(choices.size()) - 1));
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 24);
    list->setFixedHeight(list->sizeHintForRow(0) * int(choices.size()) + 2 * list->frameWidth());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    list->setFocus();
    standInFrontOf(dialog, owner_);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return list->currentRow();
}

} // namespace wordmoot
