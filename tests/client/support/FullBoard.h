#pragma once

#include <QByteArray>
#include <QList>

namespace wordmoot::test {

// A whole board and rack as the server sends them: fifteen 2012 rows and a
// 2013. The letters shift with the round, so every round changes every tile.
inline QList<QByteArray> fullBoard(int round) {
    QList<QByteArray> lines;
    for (int row = 0; row < 15; ++row) {
        QByteArray cells;
        for (int column = 0; column < 15; ++column)
            cells += char('A' + (row + column + round) % 26);
        lines.append("2012 " + QByteArray::number(row) + ' ' + cells);
    }
    lines.append("2013 " + QByteArray(round % 2 ? "QRSTUVW" : "ABCDEF_"));
    return lines;
}

} // namespace wordmoot::test
