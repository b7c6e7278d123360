#include "client/connection/ServerAddress.h"
#include "shared/protocol/NumericText.h"
#include "shared/protocol/ReplyCode.h"
#include "shared/protocol/ShownText.h"
#include "client/session/ReplyHandlers.h"

#include <cstdint>
#include <vector>

namespace wordmoot {

struct DispatchRow {
    std::vector<ReplyCode> codes;
    ReplyHandlers::Handling handling;
};

// Which handling each code has; codes not listed are notices.
struct DispatchTable {
    using H = ReplyHandlers;
    static const std::vector<DispatchRow>& rows() {
        using enum ReplyCode;
        static const std::vector<DispatchRow> table = {
            {{Quiet2999, Quiet1080, Quiet1070, Quiet1030, Quiet1040, Quiet1010, Quiet1090},
             &H::ignore},
            {{Table}, &H::tableLine},
            {{RobotsOffered}, &H::robotsOffered},
            {{Greeting}, &H::greeting},
            {{YourTurn}, &H::yourTurn},
            {{BecameObserver}, &H::becameObserver},
            {{GameNumbers}, &H::gameNumbers},
            {{GameDescription}, &H::gameDescription},
            {{Joined}, &H::joined},
            {{JoinedAsPlayer}, &H::joinedAsPlayer},
            {{Left}, &H::left},
            {{NewestClient}, &H::newestClient},
            {{Players}, &H::players},
            {{StartingLetter}, &H::startingLetter},
            {{WhoseTurn}, &H::whoseTurn},
            {{PlayMade}, &H::play},
            {{NoticeWithRefresh}, &H::noticeWithRefresh},
            {{Score}, &H::score},
            {{SaidToAll}, &H::saidToAll},
            {{ToldToUser}, &H::toldToUser},
            {{BoardRow}, &H::boardRow},
            {{Rack}, &H::newRack},
            {{Notice}, &H::notice},
            {{DrawnTile}, &H::drawnTile},
            {{Won}, &H::won},
            {{Draw}, &H::draw},
            {{NicknameChanged}, &H::nicknameChanged},
            {{WatchingGameInPlay}, &H::watchingGameInPlay},
            {{TookOverSeat}, &H::tookOverSeat},
            {{SeatOffered}, &H::seatOffered},
            {{Emote}, &H::emote},
            {{Beep}, &H::beep},
            {{NameIllegal}, &H::nameIllegal},
            {{NameInUse}, &H::nameInUse},
            {{CannotPlay}, &H::becameObserver},
            {{PlayNotYours, PlayBadTiles, PlayBadPlacement, PlayBadWords}, &H::playRefused},
            {{NewGameRefused}, &H::newGameRefused},
        };
        return table;
    }

    // The handling of a code, looked up in one step as lines come by the
    // thousand; null for a code with none. Codes are below 10000: a byte for
    // each says which row, if any, holds it, the first row where two do.
    static ReplyHandlers::Handling find(double code) {
        constexpr int kCodes = 10000;
        static const std::vector<std::uint8_t> rowOfCode = [] {
            Q_ASSERT(rows().size() < 256);
            std::vector<std::uint8_t> row(kCodes, 0);
            for (std::size_t r = rows().size(); r-- > 0;)
                for (ReplyCode c : rows()[r].codes)
                    if (static_cast<int>(c) < kCodes)
                        row[static_cast<int>(c)] = static_cast<std::uint8_t>(r + 1);
            return row;
        }();
        if (!(code >= 0 && code < kCodes) || code != static_cast<int>(code))
            return nullptr;
        const std::uint8_t row = rowOfCode[static_cast<int>(code)];
        return row == 0 ? nullptr : rows()[row - 1].handling;
    }
};

ReplyHandlers::ReplyHandlers(ClientContext client)
    : client_(client) {}

// A line is its code, a blank and the argument. A line without a blank is
// taken as a code with an empty argument; a code that is not a number matches
// no row and is logged as a notice; an empty line is skipped.
ReplyHandlers::Route ReplyHandlers::route(QStringView line) {
    if (line.isEmpty())
        return {};
    const qsizetype blank = line.indexOf(u' ');
    const QStringView code = blank < 0 ? line : line.left(blank);
    const Handling handling = DispatchTable::find(numericValue(code));
    return {handling ? handling : &ReplyHandlers::notice,
            blank < 0 ? QStringView() : line.mid(blank + 1)};
}

void ReplyHandlers::dispatch(const QString& line) {
    if (const Route to = route(line); to.handling)
        (this->*to.handling)(to.argument);
}

// A name the server gave that would change how the next start-up answer is
// read, or that no user would type, is used for this session but not stored.
void adoptNickname(ClientContext& client, const QString& nickname) {
    client.state.nickname = nickname;
    client.view.setCaption(QStringLiteral("Wordmoot - ") + shownText(nickname, kMaxShownName));
    if (storableNickname(nickname))
        client.settings.setText(setting::kServer, setting::kUsername, nickname);
}

} // namespace wordmoot
