#pragma once

#include "client/board/BoardGeometry.h"
#include "client/session/ClientState.h"

#include <QLabel>
#include <QMimeData>
#include <QPointer>

#include <array>

namespace wordmoot {

// A tile: its letter on a coloured square. Rack tiles (0..6) can be dragged.
class TileLabel : public QLabel {
    Q_OBJECT
public:
    static inline const QString kMimeType = QStringLiteral("application/x-wordmoot-rack-slot");

    TileLabel(int index, QWidget* parent);
    int index() const { return index_; }

    // A drag carries its rack slot and the window it started in, so that a
    // tile dragged from another client's window is not taken for our own.
    static void carrySlot(QMimeData& mime, int slot, const QWidget* window);
    // The rack slot a drag carries, if it started in this window.
    static std::optional<int> draggedSlot(const QMimeData* mime, const QWidget* window);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int index_;
    QPoint pressedAt_;
    bool pressed_ = false;
};

// The 232 pairs of tile labels that show the rack and the board over the
// drawn board: a letter tile and its small value label each. Labels 0..6 are
// the rack slots, 7 + 15 * column + row the board cells.
class TileLabels {
public:
    explicit TileLabels(QWidget* surface);

    TileLabel* tile(int index) const { return tiles_[index]; }
    QLabel* value(int index) const { return values_[index]; }

    // Shows the board exactly as the state holds it.
    void fill_board(const ClientState& state);
    // Shows the rack: the tiles of the play being composed on their cells,
    // every other tile in its slot, shown when it has a letter and is not
    // laid in a play that has gone to the server.
    void fill_rack(const ClientState& state);
    // Shows a rack slot's letter and value: in the play being composed the
    // letter its tile shows on its cell, else the slot's own.
    void showSlotLetter(const ClientState& state, int slot);
    // Moves a rack tile to a point in twips, its value label after it.
    void moveRackTile(int slot, QPoint origin);
    void setRackTileVisible(int slot, bool visible);

private:
    void placeValue(int index, QPoint offset);
    void showLetter(int index, const QString& letter);

    std::array<TileLabel*, board::kTileCount> tiles_{};
    std::array<QLabel*, board::kTileCount> values_{};
};

} // namespace wordmoot
