#pragma once

#include "shared/protocol/TableReplies.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace wordmoot {

// What the game panel shows, as the server's 2028 lines leave it: the bag,
// the tiles the user has not seen, the clock, the moves so far, and the
// worth of the play being composed. The panel shows these texts and
// computes nothing itself. A server that sends no 2028 lines leaves it
// empty.
class GameTable : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // One 2028 line's argument; one that cannot be read changes nothing.
    void apply(QStringView argument);
    // Out of the game: nothing to show.
    void clear();
    // The play being composed changed: its last worth is gone.
    void forgetPreview();
    // Whether the server keeps the panel: it has sent its lines.
    bool keepsTable() const { return bag_.has_value(); }
    // Whether to ask for this PREVIEW line: not when it was the last asked;
    // an empty one (no tiles laid) forgets the worth shown.
    bool asksPreview(const QString& line);

    // "86 tiles in the bag"; empty before the server said.
    QString bagText() const;
    // "A  3  B  1  E  2  ?  1": the tiles not seen, by letter, a blank as ? last,
    // five letters a line.
    QString unseenText() const;
    const std::vector<table::Move>& moves() const { return moves_; }
    // "12  ann  8D VAL.T  VALET, AT  24  310".
    static QString moveText(const table::Move& move);
    // Each player's time as it stands `sinceMs` after the server said it
    // ("ann 9:55", "bob 0:12 over"), the running one counted down.
    QStringList clockTexts(qint64 sinceMs) const;
    QStringList clockTexts() const { return clockTexts(clockSince_.elapsed()); }
    bool clockRuns() const { return clock_ && !clock_->running.isEmpty(); }
    // "VALET, AT: 24", or why the tiles cannot be played; empty for none.
    QString previewText() const;

signals:
    void changed();

private:
    std::optional<int> bag_;
    QString unseen_;
    std::optional<table::Clock> clock_;
    QElapsedTimer clockSince_;
    std::vector<table::Move> moves_;
    std::optional<table::Preview> preview_;
    QString previewAsked_; // the last PREVIEW line sent
};

} // namespace wordmoot
