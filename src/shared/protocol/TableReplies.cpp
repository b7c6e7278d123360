#include "shared/protocol/TableReplies.h"

#include "shared/protocol/Words.h"

#include <QRegularExpression>

namespace wordmoot::table {

namespace {
QByteArray orDash(const QString& text) {
    return text.isEmpty() ? QByteArray("-") : text.toUtf8();
}
QString dashless(QStringView text) {
    return text == u"-" ? QString() : text.toString();
}

// Takes the first word off the text.
QStringView take(QStringView& text) {
    const Words words = splitFirstWord(text);
    text = words.rest;
    return words.first;
}
std::optional<qint64> number(QStringView word) {
    bool ok = false;
    const qint64 value = word.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}
// A play's place as a record writes it: "8D" across, "D8" down.
bool isPlace(QStringView word) {
    static const QRegularExpression place("^([0-9]{1,2}[A-O]|[A-O][0-9]{1,2})$");
    return place.match(word).hasMatch();
}
} // namespace

QByteArray bag(int tiles) {
    return "BAG " + QByteArray::number(tiles);
}

QByteArray unseen(const QString& tiles) {
    return "UNSEEN " + tiles.toUtf8();
}

QByteArray clock(const Clock& clock) {
    QByteArray text = QByteArray("CLOCK ") + (clock.gameClock ? "GAME " : "TURN ") +
                      orDash(clock.running);
    for (const Clock::Entry& e : clock.entries)
        text += ' ' + e.player.toUtf8() + ' ' + QByteArray::number(e.leftMs);
    return text;
}

QByteArray moves(int count) {
    return "MOVES " + QByteArray::number(count);
}

QByteArray move(const Move& m) {
    QByteArray text = "MOVE " + QByteArray::number(m.number) + ' ' + m.player.toUtf8() + ' ' +
                      QByteArray::number(m.score) + ' ' + QByteArray::number(m.total) + ' ' +
                      m.notation.toUtf8() + ' ' + orDash(QString(m.words).remove(u' '));
    if (!m.note.isEmpty())
        text += ' ' + m.note.toUtf8();
    return text;
}

QByteArray preview(const Preview& p) {
    if (p.refusedCode)
        return "PREVIEW REFUSED " + QByteArray::number(*p.refusedCode) + ' ' + p.reason.toUtf8();
    return "PREVIEW " + QByteArray::number(p.score) + ' ' + orDash(QString(p.words).remove(u' '));
}

std::optional<Line> parse(QStringView argument) {
    QStringView rest = argument;
    const QStringView keyword = take(rest);
    if (keyword == u"BAG") {
        const auto tiles = number(take(rest));
        return tiles && *tiles >= 0 && *tiles <= 1000 ? std::optional<Line>(Bag{int(*tiles)})
                                                      : std::nullopt;
    }
    if (keyword == u"UNSEEN")
        return Unseen{take(rest).left(200).toString()};
    if (keyword == u"CLOCK") {
        Clock clock;
        const QStringView kind = take(rest);
        if (kind != u"GAME" && kind != u"TURN")
            return std::nullopt;
        clock.gameClock = kind == u"GAME";
        clock.running = dashless(take(rest));
        while (!rest.isEmpty() && clock.entries.size() < 4) {
            const QStringView player = take(rest);
            const auto left = number(take(rest));
            if (player.isEmpty() || !left)
                return std::nullopt;
            clock.entries.push_back({player.toString(), *left});
        }
        return clock;
    }
    if (keyword == u"MOVES") {
        const auto count = number(take(rest));
        return count && *count >= 0 && *count <= kMostMoves
                   ? std::optional<Line>(Moves{int(*count)})
                   : std::nullopt;
    }
    if (keyword == u"MOVE") {
        Move m;
        const auto n = number(take(rest));
        m.player = take(rest).toString();
        const auto score = number(take(rest));
        const auto total = number(take(rest));
        if (!n || !score || !total || m.player.isEmpty() || rest.isEmpty())
            return std::nullopt;
        m.number = int(*n);
        m.score = int(*score);
        m.total = int(*total);
        m.notation = take(rest).toString();
        if (isPlace(m.notation))
            m.notation += u' ' + take(rest).toString();
        m.words = dashless(take(rest)).replace(QLatin1Char(','), QLatin1String(", "));
        m.note = rest.toString();
        return m;
    }
    if (keyword == u"PREVIEW") {
        Preview p;
        if (rest.startsWith(u"REFUSED ")) {
            take(rest);
            const auto code = number(take(rest));
            if (!code)
                return std::nullopt;
            p.refusedCode = int(*code);
            p.reason = rest.toString();
            return p;
        }
        const auto score = number(take(rest));
        if (!score)
            return std::nullopt;
        p.score = int(*score);
        p.words = dashless(take(rest)).replace(QLatin1Char(','), QLatin1String(", "));
        return p;
    }
    return std::nullopt;
}

} // namespace wordmoot::table
