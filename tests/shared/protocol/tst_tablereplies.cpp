#include "shared/protocol/TableReplies.h"

#include <QTest>

using namespace wordmoot;

namespace {
QByteArray written(const table::Line& line) {
    return std::visit(
        [](const auto& l) -> QByteArray {
            using T = std::decay_t<decltype(l)>;
            if constexpr (std::is_same_v<T, table::Bag>)
                return table::bag(l.tiles);
            else if constexpr (std::is_same_v<T, table::Unseen>)
                return table::unseen(l.tiles);
            else if constexpr (std::is_same_v<T, table::Clock>)
                return table::clock(l);
            else if constexpr (std::is_same_v<T, table::Moves>)
                return table::moves(l.count);
            else if constexpr (std::is_same_v<T, table::Move>)
                return table::move(l);
            else
                return table::preview(l);
        },
        line);
}
} // namespace

// The game panel's lines: what the server writes the client reads back the
// same, and a line the client cannot read is dropped, never half read.
class TableRepliesTest : public QObject {
    Q_OBJECT
private slots:
    void writtenLinesReadBack() {
        const table::Clock clock{true, "ann", {{"ann", 595000}, {"bob", -61000}}};
        const table::Move play{12, "ann", 24, 310, "8D VAL.T", "VALET, AT", ""};
        const table::Move lost{13, "bob", 0, 280, "-", "", "lost turn: challenged a valid play"};
        const table::Move exchange{14, "ann", 0, 310, "-QU_", "", ""};
        const struct {
            QByteArray line;
            table::Line read;
        } cases[] = {
            {"BAG 86", table::Bag{86}},
            {"UNSEEN AAEIK_", table::Unseen{"AAEIK_"}},
            {"CLOCK GAME ann ann 595000 bob -61000", clock},
            {"MOVES 3", table::Moves{3}},
            {"MOVE 12 ann 24 310 8D VAL.T VALET,AT", play},
            {"MOVE 13 bob 0 280 - - lost turn: challenged a valid play", lost},
            {"MOVE 14 ann 0 310 -QU_ -", exchange},
            {"PREVIEW 24 VALET,AT", table::Preview{std::nullopt, 24, "VALET, AT", ""}},
            {"PREVIEW REFUSED 5032 Refused: a gap",
             table::Preview{5032, 0, "", "Refused: a gap"}},
        };
        for (const auto& c : cases) {
            QCOMPARE(written(c.read), c.line);
            const auto read = table::parse(QString::fromUtf8(c.line));
            QVERIFY2(read, c.line);
            QCOMPARE(written(*read), c.line); // every field read as written
            QCOMPARE(read->index(), c.read.index());
        }
    }

    void unreadableLinesAreDropped_data() {
        QTest::addColumn<QString>("line");
        for (const char* line : {"", "BAGS 3", "BAG", "BAG -1", "BAG many", "CLOCK HOUR - ann 1",
                                 "CLOCK GAME - ann", "CLOCK GAME - ann soon", "MOVES 100000",
                                 "MOVE 1 ann 24", "MOVE x ann 24 24 8D CAT -", "PREVIEW",
                                 "PREVIEW REFUSED why"})
            QTest::newRow(line) << QString(line);
    }
    void unreadableLinesAreDropped() {
        QFETCH(QString, line);
        QVERIFY(!table::parse(line));
    }
};

QTEST_GUILESS_MAIN(TableRepliesTest)
#include "tst_tablereplies.moc"
