// What the room is told when a play stands, is put to the others or comes
// off the board again, and why.
#include "shared/protocol/ReplyCode.h"
#include "server/Lobby.h"
#include "server/Room.h"

#include "shared/rules/Scoring.h"

namespace wordmoot::server {

namespace {
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

QByteArray notListedText(const Settlement& settled) {
    return QByteArray::fromStdString(notListed(settled.unknown));
}

// Why the others or the list decided as they did, after "ann's play of QI ...".
QByteArray because(Verdict verdict) {
    return verdict == Verdict::Deserted ? "every other player has gone"
                                        : "not everyone approved it in time";
}
} // namespace

// The line the client logs for a 2003, so that plays read alike however
// they stand.
void Room::playStands(int seat, const Play& play, int score, const Settlement* settled) {
    voteTimer_.stop();
    sendRows(play); // a blank shows the letter it was named
    const QByteArray words = wordsOf(game_->board(), play);
    const QByteArray what = nameOf(seat) + "'s play of " + words;
    if (!settled)
        return toAll(ReplyCode::Notice,
                     nameOf(seat) + " scores " + QByteArray::number(score) + " for " + words);
    switch (settled->verdict) {
    case Verdict::Approved:
        return toAll(ReplyCode::Notice, "The players approve " + what);
    case Verdict::Challenged:
        return toAll(ReplyCode::Notice, nameOf(settled->by) + " challenges " + what +
                                            ": every word is in the list, so it stands and " +
                                            nameOf(settled->by) + " loses the next turn");
    default:
        return toAll(ReplyCode::Notice,
                     what + " stands: " + because(settled->verdict) +
                         (game_->words() ? ", and every word is in the list" : ""));
    }
}

void Room::playPutToVote(int seat, const Play& play, int score) {
    toAll(ReplyCode::PlayMade, reply::playMade(nameOf(seat), score, play));
    voteTimer_.start();
    wakeRobots(-1, 0); // a robot's judgement keeps nobody waiting
}

// The mover is told why with a 5036, as for a play refused at once; the
// room hears it too.
void Room::playTakenBack(int seat, const Play& play, const Settlement& settled) {
    voteTimer_.stop();
    sendRows(play);
    const QByteArray words = wordsOf(game_->board(), play);
    const QByteArray what = nameOf(seat) + "'s play of " + words;
    const bool judged = !settled.unknown.empty();
    QByteArray reason = judged ? notListedText(settled) : QByteArray();
    QByteArray notice;
    switch (settled.verdict) {
    case Verdict::Withdrawn:
        return toAll(ReplyCode::Notice, nameOf(seat) + " withdraws the play of " + words);
    case Verdict::TimedOut:
        reason = "the players did not approve " + words + " in time";
        notice = what + " was not approved in time";
        break;
    case Verdict::Refused:
        if (!judged)
            reason = nameOf(settled.by) + " does not approve " + words;
        notice = nameOf(settled.by) + " refuses " + what + (judged ? ": " + reason : "");
        break;
    case Verdict::Challenged:
        notice =
            nameOf(settled.by) + " challenges " + what + ": " + reason + ", and the play comes off";
        break;
    default: // not approved in time or every voter gone, and judged or not
        if (!judged)
            reason = "every other player has gone before approving " + words;
        notice =
            what + " comes off: " + because(settled.verdict) + (judged ? ", and " + reason : "");
        break;
    }
    toSeat(seat, ReplyCode::PlayBadWords, "Refused: " + reason);
    toAll(ReplyCode::Notice, notice);
}

} // namespace wordmoot::server
