// What the main window shows of the board and the rack: the drawn board with
// its premium squares and rack outlines, and the tile labels laid over it.
#include "BoardPlaces.h"
#include "ClientFixture.h"
#include "Drops.h"

#include <QImage>
#include <QSet>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QColor kGreen(30, 160, 50);
const QColor kTripleWord(240, 0, 0);
const QColor kDoubleWord(240, 128, 128);
const QColor kTripleLetter(0, 0, 240);
const QColor kDoubleLetter(125, 174, 240);
const QColor kBoardTile(224, 224, 224);
const QColor kRackTile(255, 255, 192);

// Pixel positions of things given in twips of the window.
int px(int twips) {
    return twips::toPixels(twips);
}
QPoint cellMiddle(int column, int row) {
    return twips::toPixels(cellCentre(column, row));
}
int gridLine(int k) {
    return px(120 + 360 * k);
}
const int kRackTopLine = px(5640);

QColor pixel(const QImage& image, QPoint at) {
    return image.pixelColor(at).toRgb();
}

struct Window {
    ClientFixture client;
    WordmootForm* form = nullptr;

    bool open(const QList<QByteArray>& replies = {}) {
        if (!client.start(QStringLiteral("alice")))
            return false;
        form = client.form.get();
        if (!replies.isEmpty())
            client.reply(replies);
        return true;
    }
    QImage picture() const { return form->grab().toImage(); }
    // The grid and the rack outlines are drawn in the colour of button text.
    QColor foreground() const {
        return form->palette().color(QPalette::Active, QPalette::ButtonText);
    }
    QColor background() const { return form->palette().color(form->backgroundRole()); }
    TileLabel* tile(int index) const { return form->tiles().tile(index); }
    QLabel* value(int index) const { return form->tiles().value(index); }
};

} // namespace

class BoardDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void boardAndPremiumSquaresHaveTheirColours_data() {
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("plain") << QPoint(1, 0) << kGreen;
        QTest::newRow("plain in the middle") << QPoint(7, 6) << kGreen;
        QTest::newRow("triple word corner") << QPoint(0, 0) << kTripleWord;
        QTest::newRow("triple word far corner") << QPoint(14, 14) << kTripleWord;
        QTest::newRow("double word") << QPoint(1, 1) << kDoubleWord;
        QTest::newRow("double word centre") << QPoint(7, 7) << kDoubleWord;
        QTest::newRow("triple letter") << QPoint(1, 5) << kTripleLetter;
        QTest::newRow("triple letter lower half") << QPoint(5, 13) << kTripleLetter;
        QTest::newRow("double letter") << QPoint(3, 0) << kDoubleLetter;
        QTest::newRow("double letter right edge") << QPoint(14, 11) << kDoubleLetter;
    }
    void boardAndPremiumSquaresHaveTheirColours() {
        QFETCH(QPoint, cell);
        QFETCH(QColor, colour);
        Window window;
        QVERIFY(window.open());
        QCOMPARE(pixel(window.picture(), cellMiddle(cell.x(), cell.y())), colour);
    }

    // The premium colour stops short of the grid: a strip of green and the
    // grid line stay visible around every premium square.
    void premiumSquareLeavesGridLinesVisible() {
        Window window;
        QVERIFY(window.open());
        const QImage image = window.picture();
        const int y = cellMiddle(0, 0).y();
        QCOMPARE(pixel(image, {gridLine(0), y}), window.foreground());
        QCOMPARE(pixel(image, {gridLine(1), y}), window.foreground());
        QCOMPARE(pixel(image, {gridLine(1) - 1, y}), kGreen);
        QCOMPARE(pixel(image, {gridLine(1) - 2, y}), kTripleWord);
    }

    void gridLinesUseTheForegroundColour() {
        Window window;
        QVERIFY(window.open());
        const QImage image = window.picture();
        const int across = cellMiddle(6, 6).y(); // a row of plain cells
        const int down = cellMiddle(7, 7).x();
        for (int k = 0; k <= 15; ++k) {
            QCOMPARE(pixel(image, {gridLine(k), across}), window.foreground());
            QCOMPARE(pixel(image, {down, gridLine(k)}), window.foreground());
        }
    }

    // While the game selection is up the window is disabled; the board
    // keeps its look, and so does the logo.
    void boardAndLogoKeepTheirColoursWhileTheWindowWaits() {
        Window window;
        QVERIFY(window.open());
        const QImage before = window.picture();
        window.client.reply({"1160 1 "});
        QVERIFY(!window.form->isEnabled());
        const QImage after = window.picture();
        QCOMPARE(pixel(after, {gridLine(3), cellMiddle(6, 6).y()}), window.foreground());
        QWidget* logo = window.form->findChild<QWidget*>(QStringLiteral("imgwordmoot"));
        const QPoint inLogo = logo->geometry().center();
        QCOMPARE(pixel(after, inLogo), pixel(before, inLogo));
    }

    void rackOutlinesAreDrawnOnlyForAPlayer() {
        Window window;
        QVERIFY(window.open());
        QVERIFY(window.foreground() != window.background());
        QImage image = window.picture();
        for (int slot = 0; slot < 7; ++slot) {
            const int middle = px(120 + 360 * slot + 180);
            QCOMPARE(pixel(image, {middle, kRackTopLine}), window.foreground());
            QCOMPARE(pixel(image, {gridLine(slot), kRackTopLine + 12}), window.foreground());
            QCOMPARE(pixel(image, {middle, kRackTopLine + 12}), window.background());
        }

        window.client.reply({"1120 "}); // the user only watches
        QVERIFY(window.form->state().observer);
        image = window.picture();
        for (int slot = 0; slot < 7; ++slot) {
            const int middle = px(120 + 360 * slot + 180);
            QCOMPARE(pixel(image, {middle, kRackTopLine}), window.background());
            QCOMPARE(pixel(image, {gridLine(slot), kRackTopLine + 12}), window.background());
        }
        QCOMPARE(pixel(image, cellMiddle(0, 0)), kTripleWord);
        QCOMPARE(pixel(image, {gridLine(3), cellMiddle(6, 6).y()}), window.foreground());
    }

    void noTileIsVisibleBeforeTheServerSendsAny() {
        Window window;
        QVERIFY(window.open());
        for (int i = 0; i < 232; ++i) {
            QVERIFY2(!window.tile(i)->isVisible(), qPrintable(QString::number(i)));
            QVERIFY2(!window.value(i)->isVisible(), qPrintable(QString::number(i)));
        }
        const QImage image = window.picture();
        QCOMPARE(pixel(image, slotTile(0) + QPoint(3, 3)), window.background());
    }

    // Tile i stands for rack slot i below 7, and for the cell (x, y) at
    // 7 + 15 x + y above.
    void tileLabelsFollowTheIndexPlan_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("first cell") << 7 << QPoint(0, 0);
        QTest::newRow("down one row") << 8 << QPoint(0, 1);
        QTest::newRow("right one column") << 22 << QPoint(1, 0);
        QTest::newRow("bottom left") << 21 << QPoint(0, 14);
        QTest::newRow("centre") << 119 << QPoint(7, 7);
        QTest::newRow("top right") << 217 << QPoint(14, 0);
        QTest::newRow("bottom right") << 231 << QPoint(14, 14);
    }
    void tileLabelsFollowTheIndexPlan() {
        QFETCH(int, index);
        QFETCH(QPoint, cell);
        Window window;
        QVERIFY(window.open());
        auto* tile = window.form->findChild<QLabel*>(QStringLiteral("lettertile(%1)").arg(index));
        auto* value =
            window.form->findChild<QLabel*>(QStringLiteral("lettertilescore(%1)").arg(index));
        QVERIFY(tile && value);
        QCOMPARE(tile->pos(), cellTile(cell.x(), cell.y()));
        QCOMPARE(tile->size(), QSize(px(330), px(330)));
        QCOMPARE(value->pos(),
                 QPoint(px(135 + 360 * cell.x() + 175), px(135 + 360 * cell.y() + 205)));

        // A board row lights exactly this label.
        const QByteArray row = QByteArray::number(cell.y()) + ' ' + QByteArray(cell.x(), '.') +
                               'K' + QByteArray(14 - cell.x(), '.');
        window.client.reply({"2012 " + row});
        QVERIFY(tile->isVisible());
        QCOMPARE(tile->text(), QStringLiteral("K"));
        int shown = 0;
        for (int i = 7; i < 232; ++i)
            shown += window.tile(i)->isVisible() ? 1 : 0;
        QCOMPARE(shown, 1);
    }

    void boardTileIsGreyAndCoversItsCell() {
        Window window;
        QVERIFY(window.open({"2012 7 ......CAT......"}));
        const QImage image = window.picture();
        for (int column : {6, 7, 8}) {
            const QPoint corner = cellTile(column, 7);
            QCOMPARE(window.tile(7 + 15 * column + 7)->pos(), corner);
            QCOMPARE(pixel(image, corner + QPoint(3, 3)), kBoardTile);
            // The value is drawn straight onto its tile, whose colour shows
            // through it.
            QVERIFY(!window.value(7 + 15 * column + 7)->autoFillBackground());
        }
        QCOMPARE(pixel(image, cellMiddle(5, 7)), kGreen);
    }

    // A tile on a premium square hides its colour completely; the grid
    // lines around it stay.
    void tileOnPremiumSquareHidesItsColour() {
        Window window;
        QVERIFY(window.open({"2012 7 .......X......."}));
        const QImage image = window.picture();
        const QRect cell(px(120 + 7 * 360), px(120 + 7 * 360), px(360), px(360));
        for (int x = cell.left(); x <= cell.right(); ++x)
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                QVERIFY2(pixel(image, {x, y}) != kDoubleWord,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        QCOMPARE(pixel(image, {gridLine(7), cellMiddle(7, 7).y()}), window.foreground());
        QCOMPARE(pixel(image, {gridLine(8), cellMiddle(7, 7).y()}), window.foreground());
    }

    void rackTileIsLightYellow() {
        Window window;
        QVERIFY(window.open({"2013 ACTEQ_S"}));
        const QImage image = window.picture();
        for (int slot = 0; slot < 7; ++slot) {
            QCOMPARE(window.tile(slot)->pos(), slotTile(slot));
            QCOMPARE(pixel(image, slotTile(slot) + QPoint(3, 3)), kRackTile);
            QVERIFY(!window.value(slot)->autoFillBackground());
        }
    }

    void boardCellShowsItsCharacterAndValue_data() {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("value");
        QTest::newRow("upper-case letter") << QByteArray("C") << true << "C"
                                           << " 3";
        QTest::newRow("one-point letter") << QByteArray("A") << true << "A"
                                          << " 1";
        QTest::newRow("lower-case q, a named blank") << QByteArray("q") << true << "q"
                                                     << "";
        QTest::newRow("upper-case Q") << QByteArray("Q") << true << "Q"
                                      << " 10";
        QTest::newRow("upper-case Z") << QByteArray("Z") << true << "Z"
                                      << " 10";
        QTest::newRow("blank tile") << QByteArray("_") << true << "_"
                                    << "0";
        QTest::newRow("dot is empty") << QByteArray(".") << false << ""
                                      << "";
    }
    void boardCellShowsItsCharacterAndValue() {
        QFETCH(QByteArray, cell);
        QFETCH(bool, shown);
        QFETCH(QString, caption);
        QFETCH(QString, value);
        Window window;
        QVERIFY(window.open({"2012 3 ..." + cell + "..........."}));
        const int index = 7 + 15 * 3 + 3;
        QCOMPARE(window.tile(index)->isVisible(), shown);
        QCOMPARE(window.value(index)->isVisible(), shown);
        if (shown) {
            QCOMPARE(window.tile(index)->text(), caption);
            QCOMPARE(window.value(index)->text(), value);
        }
        for (int column = 0; column < 15; ++column)
            if (column != 3)
                QVERIFY(!window.tile(7 + 15 * column + 3)->isVisible());
    }

    void rackFillsItsSlotsAndHidesTheEmptyOnes() {
        Window window;
        QVERIFY(window.open({"2013 AE_RST"}));
        const QStringList captions = {"A", "E", "_", "R", "S", "T"};
        const QStringList values = {" 1", " 1", "0", " 1", " 1", " 1"};
        for (int slot = 0; slot < 6; ++slot) {
            QVERIFY(window.tile(slot)->isVisible());
            QVERIFY(window.value(slot)->isVisible());
            QCOMPARE(window.tile(slot)->text(), captions[slot]);
            QCOMPARE(window.value(slot)->text(), values[slot]);
            QCOMPARE(window.value(slot)->pos(), QPoint(px(135 + 360 * slot + 175), px(5655 + 205)));
        }
        QVERIFY(!window.tile(6)->isVisible());
        QVERIFY(!window.value(6)->isVisible());
        QCOMPARE(window.value(6)->text(), QStringLiteral("0"));
    }

    // A board row arriving while a rack tile lies on that cell: the yellow
    // tile stays there, on top of the grey one.
    void newBoardRowLeavesLaidTileOnTop() {
        Window window;
        QVERIFY(window.open({"2013 ACTEQ_S"}));
        QVERIFY(dropTile(*window.form, 0, {2700, 2700}).accepted);
        window.client.reply({"2012 7 .......X......."});

        const int centre = 7 + 15 * 7 + 7;
        QVERIFY(window.tile(centre)->isVisible());
        QCOMPARE(window.tile(centre)->text(), QStringLiteral("X"));
        QVERIFY(window.tile(0)->isVisible());
        QCOMPARE(window.tile(0)->pos(), QPoint(177, 177));
        QCOMPARE(window.form->state().placement[0].letter, QStringLiteral("A"));
        QCOMPARE(window.form->childAt(QPoint(180, 180)), window.tile(0));
        QCOMPARE(pixel(window.picture(), {180, 180}), kRackTile);
    }

    // Every value label lies above every tile; among tiles the lower index
    // lies higher, among value labels the higher index.
    void valueLabelsLieAboveTiles() {
        Window window;
        QVERIFY(window.open({"2013 ACTEQ_S", "2012 7 ......CAT......"}));
        const QObjectList children = window.form->children();
        qsizetype highestTile = -1;
        qsizetype lowestValue = children.size();
        qsizetype previousTile = children.size();
        qsizetype previousValue = -1;
        for (int i = 0; i < 232; ++i) {
            const qsizetype tile = children.indexOf(window.tile(i));
            const qsizetype value = children.indexOf(window.value(i));
            QVERIFY(tile >= 0 && value >= 0);
            QVERIFY2(tile < previousTile, qPrintable(QString::number(i)));
            QVERIFY2(value > previousValue, qPrintable(QString::number(i)));
            previousTile = tile;
            previousValue = value;
            highestTile = std::max(highestTile, tile);
            lowestValue = std::min(lowestValue, value);
        }
        QVERIFY(highestTile < lowestValue);

        // Where a value label overlaps its tile, the pointer finds the label.
        for (int index : {0, 6, 7 + 15 * 6 + 7}) {
            const QRect label = window.value(index)->geometry();
            QVERIFY(window.tile(index)->geometry().intersects(label));
            QCOMPARE(window.form->childAt(label.center()), window.value(index));
        }
    }

    // At a device pixel ratio of 2 the board is drawn without blending:
    // along the edges of premium squares every pixel is one of the board's
    // own colours.
    void premiumSquaresAreCrispAtDoubleResolution() {
        Window window;
        QVERIFY(window.open());
        QImage image(window.form->size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        window.form->render(&image);

        const auto device = [](QPoint logical) { return logical * 2; };
        QCOMPARE(pixel(image, device(cellMiddle(0, 0))), kTripleWord);
        QCOMPARE(pixel(image, device(cellMiddle(1, 0))), kGreen);
        QCOMPARE(pixel(image, device(cellMiddle(1, 1))), kDoubleWord);
        QCOMPARE(pixel(image, device(cellMiddle(1, 5))), kTripleLetter);
        QCOMPARE(pixel(image, device(cellMiddle(3, 0))), kDoubleLetter);

        const QSet<QRgb> allowed = {kGreen.rgb(),        kTripleWord.rgb(),
                                    kDoubleWord.rgb(),   kTripleLetter.rgb(),
                                    kDoubleLetter.rgb(), window.foreground().rgb()};
        // Across and down through the middle of the first rows and columns,
        // which cross every kind of premium square.
        const int from = gridLine(0) * 2;
        const int to = gridLine(15) * 2;
        for (int line = 0; line < 4; ++line) {
            const int middle = cellMiddle(line, line).x() * 2;
            for (int t = from; t <= to; ++t) {
                for (const QPoint at : {QPoint(t, middle), QPoint(middle, t)}) {
                    const QRgb found = pixel(image, at).rgb();
                    QVERIFY2(allowed.contains(found), qPrintable(QStringLiteral("%1,%2 is %3")
                                                                     .arg(at.x())
                                                                     .arg(at.y())
                                                                     .arg(QColor(found).name())));
                }
            }
        }
    }

    // The letter and the value in the corner do not cover each other, even
    // for letters with a tail or a wide foot beside a " 10".
    void letterStaysClearOfTheValue_data() {
        QTest::addColumn<QByteArray>("rack");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("Q and Z at ratio 1") << QByteArray("QZJW") << 1.0;
        QTest::newRow("Q and Z at ratio 2") << QByteArray("QZJW") << 2.0;
    }
    void letterStaysClearOfTheValue() {
        QFETCH(QByteArray, rack);
        QFETCH(qreal, ratio);
        Window window;
        QVERIFY(window.open({"2013 " + rack}));
        const auto inked = [ratio](QWidget* widget) {
            QImage image(widget->size() * ratio, QImage::Format_ARGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            widget->render(&image, {}, {}, QWidget::DrawChildren);
            return image;
        };
        for (int slot = 0; slot < rack.size(); ++slot) {
            // Where the value's digits are dark, the letter must not be.
            const QImage letter = inked(window.tile(slot));
            const QImage digits = inked(window.value(slot));
            const QPoint offset = (window.value(slot)->pos() - window.tile(slot)->pos()) * ratio;
            int covered = 0;
            for (int y = 0; y < digits.height(); ++y)
                for (int x = 0; x < digits.width(); ++x)
                    covered += qGray(digits.pixel(x, y)) < 128 &&
                               letter.valid(offset + QPoint(x, y)) &&
                               qGray(letter.pixel(offset + QPoint(x, y))) < 128;
            QVERIFY2(covered == 0, qPrintable(QStringLiteral("%1 pixels of %2 under its value")
                                                  .arg(covered)
                                                  .arg(QLatin1Char(rack[slot]))));
        }
    }
};

QTEST_MAIN(BoardDrawingTest)
#include "tst_boarddrawing.moc"
