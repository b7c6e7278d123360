// Whatever a server sends, the client neither stops nor hangs nor writes
// outside its board and rack: random lines built from the reply codes and
// from the characters the handlings look for.
#include "ClientFixture.h"
#include "OfflineClient.h"
#include "shared/protocol/WireLine.h"

#include <QRandomGenerator>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QList<int> kCodes = {2999, 1080, 1070, 1030, 1040, 1010, 1090, 1140, 2028, 1000,
                           1020, 1120, 1160, 1170, 1180, 1190, 1200, 1980, 2000, 2001,
                           2002, 2003, 2004, 2008, 2009, 2010, 2012, 2013, 2014, 2016,
                           2017, 2018, 2019, 2020, 2021, 2022, 2025, 2026, 5010, 5011,
                           5020, 5030, 5031, 5032, 5036, 5180, 0,    7,    -1};

// A line as a hostile or broken server might send it: a known code (or
// none), then words made of digits, commas, blanks, letters, parentheses,
// blanks tiles, dots and bytes that are no letter at all.
QByteArray randomLine(QRandomGenerator& random) {
    static const QByteArray pool =
        QByteArrayLiteral("0123456789,,,   ()_.-+abcxyzQWE\t\x01\x7f\xa0\xe9\xff");
    QByteArray line;
    if (random.bounded(10) > 0)
        line = QByteArray::number(kCodes[random.bounded(kCodes.size())]) + ' ';
    const int length = random.bounded(60);
    for (int i = 0; i < length; ++i)
        line += pool[random.bounded(pool.size())];
    if (random.bounded(50) == 0)
        line += QByteArray(random.bounded(20000), 'x');
    return line;
}

void checkInvariants(const ClientState& state) {
    for (const auto& column : state.board)
        for (const QString& cell : column)
            QVERIFY(cell.size() <= 1);
    for (const RackSlot& slot : state.rack)
        QVERIFY(slot.tile.size() <= 1);
}

} // namespace

class HostileServerTest : public QObject {
    Q_OBJECT
private slots:

    void randomLinesKeepTheClientWhole() {
        QRandomGenerator random(20261207);
        OfflineClient<> client;
        for (int i = 0; i < 20000; ++i) {
            client.dialogs.askAnswers = {random.bounded(2) == 1};
            client.dialogs.inputAnswers = {QStringLiteral("bob")};
            client.dispatch(decodeServerLine(randomLine(random)));
            checkInvariants(client.state);
            if (QTest::currentTestFailed())
                return;
            QVERIFY(client.scores().size() <= ScoreList::kMaxEntries);
            QVERIFY(client.games().size() <= GameList::kMaxGames + 1);
        }
    }

    // The same through the real window, whose tiles, log and labels show
    // whatever the handlings stored.
    void randomLinesKeepTheWindowWhole() {
        QRandomGenerator random(7);
        ClientFixture fixture;
        QVERIFY(fixture.start());
        WordmootForm& form = *fixture.form;
        for (int i = 0; i < 3000; ++i) {
            fixture.dialogs.askAnswers = {random.bounded(2) == 1};
            form.replies().dispatch(decodeServerLine(randomLine(random)));
            checkInvariants(form.state());
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(form.grab().width() > 0);
    }
};

QTEST_MAIN(HostileServerTest)
#include "tst_hostileserver.moc"
