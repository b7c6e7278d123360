#pragma once

#include "client/board/KeyboardPlay.h"
#include "client/session/ClientState.h"

#include <QWidget>

namespace wordmoot {

// A clear pane over the board that draws the last play's outline and, while
// the board has the keyboard, the cell cursor. It lets the mouse and drops
// through to what lies below. Keys typed on it become the signals below; the
// window lays and takes back the tiles as a drop does.
class BoardOverlay : public QWidget {
    Q_OBJECT
public:
    BoardOverlay(const ClientState& state, QWidget* parent);

    keyboard::Cursor& cursor() { return cursor_; }
    // Draws the marks anew and tells a screen reader where the cursor is.
    void refresh();
    // Takes the keyboard, with the cursor on the cell given.
    void takeKeyboard(QPoint cell);

signals:
    // A letter, or "_" or the space bar for a blank; whether Shift was held.
    void typed(QChar key, bool shift);
    void takeBackLast();    // Backspace
    void takeBackHere();    // Delete: the tile under the cursor
    void takeBackAll();     // Escape while tiles are laid
    void submitRequested(); // Enter
    void leaveRequested();  // Tab, or Escape with nothing laid

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QRect cellPixels(QPoint cell, int inset) const;
    bool arrowMoved(int key);

    const ClientState& state_;
    keyboard::Cursor cursor_;
};

} // namespace wordmoot
