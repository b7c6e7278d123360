#include "ServerFixture.h"

#include "shared/protocol/TableReplies.h"
#include "shared/rules/Game.h"

#include <QTest>

using namespace wordmoot;

namespace {
// Waits for the user's last game panel line of the kind, and reads it.
template <class Kind>
std::optional<Kind> last(const ScriptedUser& u, const QByteArray& prefix) {
    const auto find = [&]() -> std::optional<Kind> {
        for (auto line = u.table.crbegin(); line != u.table.crend(); ++line)
            if (line->startsWith("2028 " + prefix))
                if (const auto read = table::parse(QString::fromUtf8(line->mid(5))))
                    if (const Kind* kind = std::get_if<Kind>(&*read))
                        return *kind;
        return std::nullopt;
    };
    return QTest::qWaitFor([&] { return find().has_value(); }, 5000) ? find() : std::nullopt;
}
} // namespace

// The game panel's lines: the bag, the tiles each has not seen, the clock
// and the moves, as the game goes and on joining; and PREVIEW, which tells
// the sender alone what its tiles would do and changes nothing.
class TableTest : public QObject {
    Q_OBJECT
private slots:
    void aMoveIsPreviewedThenTold() {
        ServerFixture fixture(ServerFixture::options(Judging::None));
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        auto c = fixture.logOn("carol");
        fixture.startTwoPlayerGame(*a, *b);
        ScriptedUser& mover = onTurn(*a, *b);
        ScriptedUser& other = &mover == a.get() ? *b : *a;
        QCOMPARE(last<table::Bag>(other, "BAG")->tiles, 86);
        QCOMPARE(last<table::Unseen>(other, "UNSEEN")->tiles.size(), 93);

        const QByteArray play = openingPlay(mover);
        const struct {
            ScriptedUser* sender;
            QByteArray tiles;
            std::optional<int> refusedCode;
        } previews[] = {
            {&mover, play.mid(5), std::nullopt},
            {&other, play.mid(5), 5031}, // not on bob's rack, whoever's turn
            {&mover, "0,0," + play.mid(9, 1), 5032},
            {&mover, "x", 5031},
        };
        for (const auto& p : previews) {
            p.sender->table.clear();
            p.sender->send("PREVIEW " + p.tiles);
            const auto answer = last<table::Preview>(*p.sender, "PREVIEW");
            QVERIFY2(answer, p.tiles);
            QCOMPARE(answer->refusedCode, p.refusedCode);
        }
        mover.table.clear();
        mover.send("PREVIEW " + play.mid(5));
        const table::Preview preview = *last<table::Preview>(mover, "PREVIEW");
        QVERIFY(preview.score > 0);
        QCOMPARE(preview.words.size(), 2);

        mover.send(play);
        const auto move = last<table::Move>(other, "MOVE");
        QVERIFY(move);
        QCOMPARE(move->number, 1);
        QCOMPARE(move->score, preview.score);
        QCOMPARE(move->words, preview.words);
        QVERIFY(move->notation.startsWith("8H "));
        QCOMPARE(last<table::Bag>(other, "BAG")->tiles, 84);
        QCOMPARE(last<table::Unseen>(other, "UNSEEN")->tiles.size(), 91);

        // A watcher who joins sees the moves so far, and every tile not on
        // the board as unseen.
        c->send("JOIN  1");
        QCOMPARE(last<table::Moves>(*c, "MOVES")->count, 1);
        QCOMPARE(last<table::Move>(*c, "MOVE")->words, preview.words);
        QCOMPARE(last<table::Unseen>(*c, "UNSEEN")->tiles.size(), 98);
        c->send("PREVIEW " + play.mid(5));
        QCOMPARE(last<table::Preview>(*c, "PREVIEW")->refusedCode, 5030);
    }

    void theClockIsToldAsItRuns() {
        server::ServerOptions options = ServerFixture::options(Judging::None);
        options.gameMinutes = 10;
        ServerFixture fixture(options);
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        fixture.startTwoPlayerGame(*a, *b);
        ScriptedUser& mover = onTurn(*a, *b);
        const auto clock = last<table::Clock>(*a, "CLOCK");
        QVERIFY(clock && clock->gameClock);
        QCOMPARE(int(clock->entries.size()), 2);
        QVERIFY(!clock->running.isEmpty());
        for (const auto& entry : clock->entries)
            QVERIFY(entry.leftMs > 590000 && entry.leftMs <= 600000);
        mover.send("FORFEIT");
        QVERIFY(QTest::qWaitFor(
            [&] { return last<table::Clock>(*a, "CLOCK")->running != clock->running; }, 5000));
    }
};

QTEST_GUILESS_MAIN(TableTest)
#include "tst_table.moc"
