#pragma once

#include "BoardPlaces.h"
#include "client/app/TileLabels.h"
#include "client/app/WordmootForm.h"
#include "client/board/Twips.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>

namespace wordmoot::test {

// The rack as the window shows it: the text of each slot's tile standing in
// its slot, empty text for a slot whose tile is hidden or on the board.
inline QStringList rackShown(WordmootForm& form) {
    QStringList shown;
    for (int slot = 0; slot < kRackSlots; ++slot) {
        const TileLabel* tile = form.tiles().tile(slot);
        shown.append(tile->isVisible() && tile->pos() == slotTile(slot) ? tile->text() : QString());
    }
    return shown;
}

// Where a drop went: the widget that lay under the pointer (the window itself
// when nothing did) and whether the drop reached the window and it took it.
struct DropOutcome {
    QPointer<QWidget> under;
    bool accepted = false;
};

// Notes whether a drop event reaches a widget, whoever it was sent to.
class DropWatch : public QObject {
public:
    explicit DropWatch(QWidget* watched)
        : watched_(watched) {
        watched_->installEventFilter(this);
    }
    ~DropWatch() override { watched_->removeEventFilter(this); }
    bool dropSeen() const { return seen_; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == watched_ && event->type() == QEvent::Drop)
            seen_ = true;
        return false;
    }

private:
    QWidget* watched_;
    bool seen_ = false;
};

// Drops a rack tile on the main window the way a real drag ends: the drag
// enters the widget under the pointer and Qt passes it up to the first widget
// that accepts it, the window; the drop then goes to that same widget, with
// the pointer in its own coordinates. The position is in twips of the window.
inline DropOutcome dropTile(WordmootForm& form, int slot, QPoint twipsPosition) {
    const QPoint pointer = twips::toPixels(twipsPosition);
    QWidget* under = form.childAt(pointer);
    QWidget* target = under ? under : &form;
    const QPointF local = target->mapFrom(&form, QPointF(pointer));

    QMimeData mime;
    TileLabel::carrySlot(mime, slot, &form);

    QDragEnterEvent enter(local.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    DropOutcome outcome{under, false};
    if (!enter.isAccepted())
        return outcome;

    const DropWatch watch(&form);
    QDropEvent drop(local, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    outcome.accepted = watch.dropSeen() && drop.isAccepted();
    return outcome;
}

// The centre of a widget of the window, in twips: a pointer position that is
// sure to lie on it.
inline QPoint twipsCentreOf(const WordmootForm& form, const QWidget* widget) {
    const QPoint centre = widget->mapTo(&form, widget->rect().center());
    return {static_cast<int>(twips::fromPixels(centre.x())),
            static_cast<int>(twips::fromPixels(centre.y()))};
}

} // namespace wordmoot::test
