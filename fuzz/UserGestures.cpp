#include "UserGestures.h"

#include "client/app/GameSelectForm.h"
#include "client/app/WordmootForm.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>

#include <fuzzer/FuzzedDataProvider.h>

namespace wordmoot::fuzz {

namespace {
// One of the enabled, visible widgets of a kind, or none.
template <class Widget> Widget* pick(QWidget& window, FuzzedDataProvider& in) {
    QList<Widget*> usable;
    for (Widget* widget : window.findChildren<Widget*>())
        if (widget->isEnabled() && widget->isVisible())
            usable.append(widget);
    if (usable.isEmpty())
        return nullptr;
    return usable[in.ConsumeIntegralInRange<qsizetype>(0, usable.size() - 1)];
}
} // namespace

void UserGestures::act() {
    if (GameSelectForm* select = form_.gameSelectForm(); select && select->isVisible()) {
        chooseGame();
        return;
    }
    if (!form_.isEnabled())
        return;
    switch (in_.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return dropTile();
    case 1:
        return clickButton();
    default:
        return type();
    }
}

// A double click on an entry or OK chooses it; closing the window leaves.
void UserGestures::chooseGame() {
    GameSelectForm& select = *form_.gameSelectForm();
    if (in_.ConsumeIntegralInRange(0, 7) == 0) {
        select.close();
        return;
    }
    QAbstractItemModel* games = select.gamelist()->model();
    if (games->rowCount() > 0)
        select.gamelist()->setCurrentIndex(
            games->index(in_.ConsumeIntegralInRange(0, games->rowCount() - 1), 0));
    select.okButton()->click();
}

void UserGestures::dropTile() {
    QMimeData mime;
    TileLabel::carrySlot(mime, in_.ConsumeIntegralInRange(0, kRackSlots - 1), &form_);
    const QPointF at(in_.ConsumeIntegralInRange(0, form_.width() - 1),
                     in_.ConsumeIntegralInRange(0, form_.height() - 1));
    QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&form_, &enter);
    QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&form_, &drop);
}

void UserGestures::clickButton() {
    if (QPushButton* button = pick<QPushButton>(form_, in_))
        button->click();
}

// Typing replaces the line's text; Enter then goes to the window.
void UserGestures::type() {
    QLineEdit* line = pick<QLineEdit>(form_, in_);
    if (!line)
        return;
    line->setFocus();
    line->setText(QString::fromStdString(in_.ConsumeRandomLengthString(60)));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(in_.ConsumeBool() ? static_cast<QWidget*>(&form_) : line, &enter);
}

} // namespace wordmoot::fuzz
