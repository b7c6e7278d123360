#include "client/app/TileLabels.h"

#include "client/board/Twips.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

namespace wordmoot {

namespace {
const QColor kBoardTileColour(224, 224, 224);
const QColor kRackTileColour(255, 255, 192);
constexpr int kValueSize = 135; // twips, the value label's side

// Tiles keep their look while the window is disabled, as real tiles would.
void paintTile(QLabel* label, const QColor& background) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    if (background.isValid())
        palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    label->setAutoFillBackground(background.isValid());
}

// A tile's small value label. On a rack tile it passes the mouse on to the
// tile, so that the tile can be picked up by its corner too.
class ValueLabel : public QLabel {
public:
    ValueLabel(TileLabel* tile, QWidget* parent)
        : QLabel(parent)
        , tile_(tile) {}

protected:
    void mousePressEvent(QMouseEvent* event) override { forward(event); }
    void mouseMoveEvent(QMouseEvent* event) override { forward(event); }

private:
    void forward(QMouseEvent* event) {
        if (tile_->index() >= kRackSlots) {
            event->ignore();
            return;
        }
        const QPointF at = tile_->mapFromGlobal(event->globalPosition());
        QMouseEvent forwarded(event->type(), at, event->scenePosition(), event->globalPosition(),
                              event->button(), event->buttons(), event->modifiers());
        QCoreApplication::sendEvent(tile_, &forwarded);
    }

    TileLabel* tile_;
};

QByteArray windowToken(const QWidget* window) {
    return QByteArray::number(QCoreApplication::applicationPid()) + '/' +
           QByteArray::number(reinterpret_cast<quintptr>(window), 16) + '/';
}
} // namespace

TileLabel::TileLabel(int index, QWidget* parent)
    : QLabel(parent)
    , index_(index) {
    setObjectName(QStringLiteral("lettertile(%1)").arg(index));
    setTextFormat(Qt::PlainText);
    // The letter stands in the upper left, clear of the value in the lower
    // right corner: a Q's tail and a Z's foot stay readable beside a " 10".
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setIndent(1);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(12.75);
    font.setWeight(QFont::Bold);
    setFont(font);
}

void TileLabel::carrySlot(QMimeData& mime, int slot, const QWidget* window) {
    mime.setData(kMimeType, windowToken(window) + QByteArray::number(slot));
}

std::optional<int> TileLabel::draggedSlot(const QMimeData* mime, const QWidget* window) {
    if (!mime || !mime->hasFormat(kMimeType))
        return std::nullopt;
    const QByteArray data = mime->data(kMimeType);
    const QByteArray token = windowToken(window);
    if (!data.startsWith(token))
        return std::nullopt;
    bool ok = false;
    const int slot = data.mid(token.size()).toInt(&ok);
    if (!ok || slot < 0 || slot >= kRackSlots)
        return std::nullopt;
    return slot;
}

void TileLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = index_ < kRackSlots && event->button() == Qt::LeftButton;
    pressedAt_ = event->position().toPoint();
    QLabel::mousePressEvent(event);
}

void TileLabel::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - pressedAt_).manhattanLength() <
            QApplication::startDragDistance())
        return;
    pressed_ = false;
    auto* mime = new QMimeData;
    carrySlot(*mime, index_, window());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(grab());
    drag->setHotSpot(pressedAt_);
    drag->exec(Qt::MoveAction);
}

TileLabels::TileLabels(QWidget* surface) {
    QFont valueFont(QStringLiteral("Arial"));
    valueFont.setPointSizeF(5.25);
    // Tiles made later lie lower; value labels made later lie higher, and
    // every value label lies above every tile.
    for (int i = 0; i < board::kTileCount; ++i) {
        auto* tile = new TileLabel(i, surface);
        tile->resize(twips::toPixels(QRect(0, 0, board::kTileSize, board::kTileSize)).size());
        paintTile(tile, i < kRackSlots ? kRackTileColour : kBoardTileColour);
        tile->hide();
        tile->lower();

        auto* value = new ValueLabel(tile, surface);
        value->setObjectName(QStringLiteral("lettertilescore(%1)").arg(i));
        value->setTextFormat(Qt::PlainText);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFont(valueFont);
        value->setText(QStringLiteral("10"));
        value->resize(twips::toPixels(QRect(0, 0, kValueSize, kValueSize)).size());
        // The value label fills no background: the value is drawn straight
        // onto its tile, whose colour shows through, and the foot of the
        // letter is not cut off.
        paintTile(value, QColor());
        value->hide();
        value->raise();

        tiles_[i] = tile;
        values_[i] = value;
    }
    for (int column = 0; column < kBoardCells; ++column) {
        for (int row = 0; row < kBoardCells; ++row) {
            const int k = board::cellTileIndex(column, row);
            tiles_[k]->move(twips::toPixels(board::cellTileOrigin(column, row)));
            placeValue(k, board::kValueOffsetShown);
        }
    }
}

void TileLabels::placeValue(int index, QPoint offset) {
    values_[index]->move(tiles_[index]->pos() + twips::toPixels(offset));
}

void TileLabels::fill_board(const ClientState& state) {
    for (int column = 0; column < kBoardCells; ++column) {
        for (int row = 0; row < kBoardCells; ++row) {
            const int k = board::cellTileIndex(column, row);
            const QString& cell = state.board[column][row];
            const bool shown = holdsTile(cell);
            if (shown && tiles_[k]->text() != cell)
                showLetter(k, cell);
            tiles_[k]->setVisible(shown);
            values_[k]->setVisible(shown);
        }
    }
}

void TileLabels::fill_rack(const ClientState& state) {
    for (int slot = 0; slot < kRackSlots; ++slot) {
        const RackSlot& rack = state.rack[slot];
        const Placement& laid = state.placement[slot];
        showSlotLetter(state, slot);
        if (laid.composed()) {
            // Part of the play being composed: it stays on its cell.
            moveRackTile(slot, board::cellTileOrigin(laid.column, laid.row));
            setRackTileVisible(slot, true);
            continue;
        }
        tiles_[slot]->move(twips::toPixels(board::slotTileOrigin(slot)));
        placeValue(slot, board::kValueOffsetShown);
        setRackTileVisible(slot, !rack.tile.isEmpty() && !rack.placed);
    }
}

void TileLabels::showLetter(int index, const QString& letter) {
    tiles_[index]->setText(letter);
    values_[index]->setText(board::valueText(letter));
}

void TileLabels::showSlotLetter(const ClientState& state, int slot) {
    const Placement& laid = state.placement[slot];
    showLetter(slot, laid.composed() ? laid.letter : state.rack[slot].tile);
}

void TileLabels::moveRackTile(int slot, QPoint origin) {
    tiles_[slot]->move(twips::toPixels(origin));
    placeValue(slot, board::kValueOffsetDropped);
}

void TileLabels::setRackTileVisible(int slot, bool visible) {
    tiles_[slot]->setVisible(visible);
    values_[slot]->setVisible(visible);
}

} // namespace wordmoot
