#include "client/app/Artwork.h"

#include <QFont>
#include <QPainter>

namespace wordmoot::artwork {

namespace {
const QColor kGreen(30, 160, 50);
const QColor kTile(255, 255, 192);

// A cream tile with a bold letter, like the ones on the board.
void drawTile(QPainter& painter, const QRect& area, QChar letter, int pointSize) {
    painter.fillRect(area, kTile);
    painter.setPen(QColor(120, 110, 60));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(pointSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignCenter, QString(letter));
}
} // namespace

QImage logo() {
    QImage image(186, 37, QImage::Format_RGB888);
    image.fill(kGreen);
    QPainter painter(&image);
    const QString word = QStringLiteral("WORDMOOT");
    const int size = 21;
    const int gap = 2;
    const int left = (image.width() - word.size() * size - (word.size() - 1) * gap) / 2;
    for (int i = 0; i < word.size(); ++i)
        drawTile(painter, QRect(left + i * (size + gap), 8, size, size), word[i], 16);
    return image;
}

QImage icon() {
    QImage image(32, 32, QImage::Format_RGB888);
    image.fill(kGreen);
    QPainter painter(&image);
    drawTile(painter, QRect(3, 3, 26, 26), QLatin1Char('W'), 20);
    return image;
}

} // namespace wordmoot::artwork
