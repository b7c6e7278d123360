#pragma once

// The reply codes the server sends, by what they mean to the client.
namespace wordmoot::server {

enum Reply : int {
    kGreeting = 1000,        // protocol version, greeting
    kYourTurn = 1020,        // the user's turn; "X is your starting tile" the first time
    kNowObserver = 1120,     // the user watches
    kGameList = 1160,        // the game numbers, each followed by a blank
    kGameInfo = 1170,        // one game in fixed columns
    kJoined = 1180,          // the user joined a game (the client asks: player?)
    kLeft = 1200,            // the user is back in the lobby
    kClientVersion = 1980,   // the newest client
    kPlayers = 2000,         // the players of the game; clears the score list
    kNewStartingTile = 2001, // a tie: the starting tile drawn again
    kTurnOf = 2002,          // whose turn it is
    kPlayToApprove = 2003,   // a play put to the other players
    kScoreEntry = 2008,      // name count score status
    kSaid = 2009,            // sender text
    kTold = 2010,            // sender text
    kBoardRow = 2012,        // row cells
    kRack = 2013,            // the rack's tiles
    kNotice = 2014,          // a line for the log
    kWinner = 2017,          // winner, then text
    kDraw = 2018,            // the names that drew
    kRenamed = 2019,         // old new text
    kWatchingPlay = 2020,    // the user watches a game in play
    kSeatTaken = 2021,       // the user now plays a seat
    kSeatOffered = 2022,     // would the user take over a seat?
    kEmote = 2025,           // text
    kBeep = 2026,            // who beeped
    kNameIllegal = 5010,
    kNameInUse = 5011,
    kPlayNotYours = 5030,     // not the user's turn, no game in play, a play already waiting
    kPlayBadTiles = 5031,     // tiles not on the rack; cells off the board, taken or twice
    kPlayBadPlacement = 5032, // not one line, a gap, off the centre, not touching
    kPlayBadWords = 5036,     // unknown words, no letter for a blank, not approved in time
    kNoFreeGame = 5180,
};

} // namespace wordmoot::server
