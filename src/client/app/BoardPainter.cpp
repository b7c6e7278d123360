#include "client/app/BoardPainter.h"

#include "client/board/BoardGeometry.h"
#include "client/board/Twips.h"

#include <QPainter>

namespace wordmoot {

namespace {
const QColor kBoardColour(30, 160, 50);

QColor premiumColour(Premium kind) {
    switch (kind) {
    case Premium::TripleWord:
        return {240, 0, 0};
    case Premium::DoubleWord:
        return {240, 128, 128};
    case Premium::TripleLetter:
        return {0, 0, 240};
    case Premium::DoubleLetter:
        return {125, 174, 240};
    case Premium::Plain:
        break;
    }
    return kBoardColour;
}

QPoint px(int x, int y) {
    return twips::toPixels(QPoint(x, y));
}
} // namespace

void makegameboard(QPainter& painter, bool observer, const QColor& foreground) {
    using namespace board;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(twips::toPixels(QRect(kBoardLeft, kBoardTop, kBoardCells * kCellSize,
                                           kBoardCells * kCellSize)),
                     kBoardColour);

    painter.setPen(QPen(foreground, 1)); // one pixel, two at a device ratio of 2
    for (int k = 0; k <= kBoardCells; ++k) {
        const int y = kBoardTop + k * kCellSize;
        const int x = kBoardLeft + k * kCellSize;
        painter.drawLine(px(kBoardLeft, y), px(kBoardRight, y));
        painter.drawLine(px(x, kBoardTop), px(x, kBoardBottom));
    }

    for (int column = 0; column < kBoardCells; ++column) {
        for (int row = 0; row < kBoardCells; ++row) {
            const Premium kind = premium(column, row);
            if (kind != Premium::Plain)
                painter.fillRect(
                    twips::toPixels(
                        cellRect(column, row).adjusted(kInset, kInset, -kInset, -kInset)),
                    premiumColour(kind));
        }
    }

    if (!observer) {
        painter.setBrush(Qt::NoBrush);
        for (int slot = 0; slot < kRackSlots; ++slot)
            painter.drawRect(twips::toPixels(slotRect(slot)));
    }
    painter.restore();
}

} // namespace wordmoot
