#pragma once

// The server's reply codes, as the server sends them and the client reads
// them. A reply line is its code, a blank and an argument; the client
// compares codes as numbers.
namespace wordmoot {

enum class ReplyCode : int {
    Greeting = 1000, // protocol version, blank, greeting text
    YourTurn = 1020,
    BecameObserver = 1120,
    GameNumbers = 1160,     // the games on the server
    GameDescription = 1170, // one game in fixed columns
    Joined = 1180,
    JoinedAsPlayer = 1190,
    Left = 1200,
    NewestClient = 1980, // the newest client version
    Players = 2000,
    StartingLetter = 2001, // a new starting letter after a tie
    WhoseTurn = 2002,
    PlayMade = 2003, // player, score, tiles: a play put to the players
    NoticeWithRefresh = 2004,
    Score = 2008, // player, count, score, status
    SaidToAll = 2009,
    ToldToUser = 2010,
    BoardRow = 2012,
    Rack = 2013,
    Notice = 2014,
    DrawnTile = 2016,
    Won = 2017,
    Draw = 2018,
    NicknameChanged = 2019,
    WatchingGameInPlay = 2020,
    TookOverSeat = 2021,
    SeatOffered = 2022,
    Emote = 2025,
    Beep = 2026,
    NameIllegal = 5010,
    NameInUse = 5011,
    CannotPlay = 5020,       // the user may only watch this game
    PlayNotYours = 5030,     // not the user's turn, no game in play, a play already waiting
    PlayBadTiles = 5031,     // tiles not on the rack; cells off the board, taken or twice
    PlayBadPlacement = 5032, // not one line, a gap, off the centre, not touching
    PlayBadWords = 5036,     // unknown words, no letter for a blank, not approved in time
    NewGameRefused = 5180,

    // Replies a client of the first protocol takes no notice of, which this
    // one reads:
    RobotsOffered = 1140, // "ROBOT" and the levels: the game just made seats robots on request
    Table = 2028,         // the game panel's lines, a keyword first (TableReplies)

    // Replies the client takes no notice of.
    Quiet1010 = 1010,
    Quiet1030 = 1030,
    Quiet1040 = 1040,
    Quiet1070 = 1070,
    Quiet1080 = 1080,
    Quiet1090 = 1090,
    Quiet2999 = 2999,
};

} // namespace wordmoot
