#include "rules/NumericText.h"
#include "session/ReplyHandlers.h"

#include <vector>

namespace wordmoot {

struct DispatchRow {
    std::vector<int> codes;
    ReplyHandlers::Handling handling;
};

// Codes are tried in this order and the first row that holds the code wins.
// Codes not listed are notices.
struct DispatchTable {
    using H = ReplyHandlers;
    static const std::vector<DispatchRow>& rows() {
        static const std::vector<DispatchRow> table = {
            {{2999, 1080, 1070, 1030, 1040, 1010, 1090, 1140, 2028}, &H::ignore},
            {{1000}, &H::greeting},
            {{1020}, &H::yourTurn},
            {{1120}, &H::becameObserver},
            {{1160}, &H::gameNumbers},
            {{1170}, &H::gameDescription},
            {{1180}, &H::joined},
            {{1190}, &H::joinedAsPlayer},
            {{1200}, &H::left},
            {{1980}, &H::newestClient},
            {{2000}, &H::players},
            {{2001}, &H::startingLetter},
            {{2002}, &H::whoseTurn},
            {{2003}, &H::play},
            {{2004}, &H::noticeWithRefresh},
            {{2008}, &H::score},
            {{2009}, &H::saidToAll},
            {{2010}, &H::toldToUser},
            {{2012}, &H::boardRow},
            {{2013}, &H::newRack},
            {{2014}, &H::notice},
            {{2016}, &H::drawnTile},
            {{2017}, &H::won},
            {{2018}, &H::draw},
            {{2019}, &H::nicknameChanged},
            {{2020}, &H::watchingGameInPlay},
            {{2021}, &H::tookOverSeat},
            {{2022}, &H::seatOffered},
            {{2025}, &H::emote},
            {{2026}, &H::beep},
            {{5010}, &H::nameIllegal},
            {{5011}, &H::nameInUse},
            {{5020}, &H::becameObserver},
            {{5030, 5031, 5032, 5036}, &H::playRefused},
            {{5180}, &H::newGameRefused},
        };
        return table;
    }
};

ReplyHandlers::ReplyHandlers(ClientContext client)
    : client_(client) {}

// A line is its code, a blank and the argument. A line without a blank is
// taken as a code with an empty argument; a code that is not a number matches
// no row and is logged as a notice; an empty line is skipped.
void ReplyHandlers::dispatch(const QString& line) {
    if (line.isEmpty())
        return;
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    const QStringView code = QStringView(line).left(blank < 0 ? line.size() : blank);
    const QString argument = blank < 0 ? QString() : line.mid(blank + 1);
    const double value = numericValue(code);
    for (const DispatchRow& row : DispatchTable::rows()) {
        for (int candidate : row.codes) {
            if (value == candidate) {
                (this->*row.handling)(argument);
                return;
            }
        }
    }
    notice(argument);
}

void adoptNickname(ClientContext& client, const QString& nickname) {
    client.state.nickname = nickname;
    client.view.setCaption(QStringLiteral("Wordmoot - ") + nickname);
    client.settings.setText(setting::kServer, setting::kUsername, nickname);
}

} // namespace wordmoot
