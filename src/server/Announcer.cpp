#include "server/Announcer.h"

#include "shared/protocol/Replies.h"
#include "shared/rules/Scoring.h"

#include <set>

namespace wordmoot::server {

namespace {
QByteArray nameOf(const Game& game, int seat) {
    return QByteArray::fromStdString(game.seats()[seat].name);
}

// What a play is called: the words it forms with the board's tiles, the main
// word first ("DOTEJO", "QAT, AX"), as the players read them.
QByteArray wordsOf(const Grid& board, const Play& play) {
    const std::string words = playWords(board, play);
    if (!words.empty())
        return QByteArray::fromStdString(words);
    QByteArray letters;
    for (const LaidTile& t : play)
        letters += cellText(t.tile);
    return letters;
}

// Why the others or the list decided as they did, after "ann's play of QI ...".
QByteArray because(Verdict verdict) {
    return verdict == Verdict::Deserted ? "every other player has gone"
                                        : "not everyone approved it in time";
}
} // namespace

QByteArray Announcer::spokenTime(int seconds) {
    const bool minutes = seconds % 60 == 0;
    const int count = minutes ? seconds / 60 : seconds;
    return QByteArray::number(count) + (minutes ? " minute" : " second") + (count == 1 ? "" : "s");
}

QByteArray Announcer::winnersText(const Game& game, const std::vector<int>& winners) {
    std::vector<std::string> winning;
    for (const int seat : winners)
        winning.push_back(game.seats()[seat].name);
    return QByteArray::fromStdString(spokenList(winning));
}

void Announcer::sendRows(const Game& game, const Play& play) {
    std::set<int> rows;
    for (const LaidTile& t : play)
        rows.insert(t.row);
    const Grid board = game.shownBoard();
    for (const int row : rows)
        sink_.toAll(ReplyCode::BoardRow, reply::boardRow(board, row));
}

void Announcer::startingTileDrawn(const Game& game, int seat, char tile, bool redraw) {
    if (redraw)
        sink_.toSeat(seat, ReplyCode::StartingLetter, reply::startingLetter(tile));
    sink_.toAll(ReplyCode::Notice, nameOf(game, seat) + " draws " + tile + " for the start");
}

void Announcer::rack(const Game& game, int seat) {
    sink_.toSeat(seat, ReplyCode::Rack, reply::rack(game.seats()[seat].rack));
}

void Announcer::turnBegins(const Game& game, int seat, std::optional<char> startingTile) {
    sink_.toAll(ReplyCode::WhoseTurn, reply::whoseTurn(nameOf(game, seat)));
    sink_.toSeat(seat, ReplyCode::YourTurn, reply::yourTurn(startingTile));
}

void Announcer::exchanged(const Game& game, int seat, int count) {
    sink_.toAll(ReplyCode::Notice, nameOf(game, seat) + " exchanges " + QByteArray::number(count) +
                                       (count == 1 ? " tile" : " tiles"));
}

void Announcer::passed(const Game& game, int seat) {
    sink_.toAll(ReplyCode::Notice, nameOf(game, seat) + " passes");
}

void Announcer::turnLost(const Game& game, int seat) {
    sink_.toAll(ReplyCode::Notice, nameOf(game, seat) + " loses this turn for the challenge");
}

void Announcer::tilesDrawn(int bagSize) {
    sink_.toAll(ReplyCode::Notice, QByteArray::number(bagSize) +
                                       (bagSize == 1 ? " tile in the bag" : " tiles in the bag"));
}

void Announcer::playStands(const Game& game, int seat, const Play& play, int score,
                           const Settlement* settled) {
    sendRows(game, play); // a blank shows the letter it was named
    const QByteArray words = wordsOf(game.board(), play);
    const QByteArray mover = nameOf(game, seat);
    const QByteArray what = mover + "'s play of " + words;
    if (!settled)
        return sink_.toAll(ReplyCode::Notice,
                           mover + " scores " + QByteArray::number(score) + " for " + words);
    switch (settled->verdict) {
    case Verdict::Approved:
        return sink_.toAll(ReplyCode::Notice, "The players approve " + what);
    case Verdict::Challenged: {
        const QByteArray by = nameOf(game, settled->by);
        return sink_.toAll(ReplyCode::Notice, by + " challenges " + what +
                                                  ": every word is in the list, so it stands and " +
                                                  by + " loses the next turn");
    }
    default:
        return sink_.toAll(ReplyCode::Notice,
                           what + " stands: " + because(settled->verdict) +
                               (game.words() ? ", and every word is in the list" : ""));
    }
}

void Announcer::playPutToVote(const Game& game, int seat, const Play& play, int score) {
    sink_.toAll(ReplyCode::PlayMade, reply::playMade(nameOf(game, seat), score, play));
}

void Announcer::playTakenBack(const Game& game, int seat, const Play& play,
                              const Settlement& settled) {
    sendRows(game, play);
    const QByteArray words = wordsOf(game.board(), play);
    const QByteArray mover = nameOf(game, seat);
    const QByteArray what = mover + "'s play of " + words;
    const bool judged = !settled.unknown.empty();
    QByteArray reason = judged ? QByteArray::fromStdString(notListed(settled.unknown)) : QByteArray();
    QByteArray notice;
    switch (settled.verdict) {
    case Verdict::Withdrawn:
        return sink_.toAll(ReplyCode::Notice, mover + " withdraws the play of " + words);
    case Verdict::TimedOut:
        reason = "the players did not approve " + words + " in time";
        notice = what + " was not approved in time";
        break;
    case Verdict::Refused:
        if (!judged)
            reason = nameOf(game, settled.by) + " does not approve " + words;
        notice = nameOf(game, settled.by) + " refuses " + what + (judged ? ": " + reason : "");
        break;
    case Verdict::Challenged:
        notice = nameOf(game, settled.by) + " challenges " + what + ": " + reason +
                 ", and the play comes off";
        break;
    default: // not approved in time or every voter gone, and judged or not
        if (!judged)
            reason = "every other player has gone before approving " + words;
        notice =
            what + " comes off: " + because(settled.verdict) + (judged ? ", and " + reason : "");
        break;
    }
    sink_.toSeat(seat, ReplyCode::PlayBadWords, "Refused: " + reason);
    sink_.toAll(ReplyCode::Notice, notice);
}

void Announcer::adjustments(const Game& game, const std::vector<Adjustment>& adjustments) {
    for (const Adjustment& a : adjustments)
        sink_.toAll(ReplyCode::Notice,
                    nameOf(game, a.seat) + (a.points < 0 ? " loses " : " gains ") +
                        QByteArray::number(std::abs(a.points)) +
                        (a.forTime ? " for time over the clock" : " for the tiles left"));
}

void Announcer::result(const Game& game, const std::vector<int>& winners) {
    const QByteArray names = winnersText(game, winners);
    if (game.presentSeats() < 2) {
        std::vector<std::string> gone;
        for (const Seat& seat : game.seats())
            if (!seat.present)
                gone.push_back(seat.name);
        if (!gone.empty())
            sink_.toAll(ReplyCode::Notice,
                        QByteArray::fromStdString(spokenList(gone)) + " left the game: " +
                            (winners.empty() ? QByteArray("nobody wins")
                                             : names + (winners.size() == 1 ? " wins" : " win")));
    }
    const int points = winners.empty() ? 0 : game.seats()[winners[0]].score;
    if (winners.size() == 1)
        sink_.toAll(ReplyCode::Won, reply::result(names, points));
    else if (winners.size() > 1)
        sink_.toAll(ReplyCode::Draw, reply::result(names, points));
}

} // namespace wordmoot::server
