#include "client/session/GameTable.h"

#include <QMap>

namespace wordmoot {

namespace {
constexpr int kLettersALine = 5;

// "9:55", "0:07": minutes and seconds, rounded up to the second.
QString minutes(qint64 ms) {
    const qint64 seconds = (std::abs(ms) + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

void GameTable::apply(QStringView argument) {
    const std::optional<table::Line> line = table::parse(argument);
    if (!line)
        return;
    if (const auto* bag = std::get_if<table::Bag>(&*line)) {
        bag_ = bag->tiles;
    } else if (const auto* unseen = std::get_if<table::Unseen>(&*line)) {
        unseen_ = unseen->tiles;
    } else if (const auto* clock = std::get_if<table::Clock>(&*line)) {
        clock_ = *clock;
        clockSince_.start();
    } else if (const auto* moves = std::get_if<table::Moves>(&*line)) {
        moves_.clear();
        moves_.reserve(std::size_t(moves->count));
    } else if (const auto* move = std::get_if<table::Move>(&*line)) {
        // In order: the next move, or one told again in its place.
        if (move->number == int(moves_.size()) + 1 && moves_.size() < table::kMostMoves)
            moves_.push_back(*move);
        else if (move->number >= 1 && move->number <= int(moves_.size()))
            moves_[std::size_t(move->number - 1)] = *move;
    } else if (const auto* preview = std::get_if<table::Preview>(&*line)) {
        preview_ = *preview;
    }
    emit changed();
}

void GameTable::clear() {
    bag_.reset();
    unseen_.clear();
    clock_.reset();
    moves_.clear();
    preview_.reset();
    previewAsked_.clear();
    emit changed();
}

void GameTable::forgetPreview() {
    if (std::exchange(preview_, std::nullopt))
        emit changed();
}

bool GameTable::asksPreview(const QString& line) {
    if (line == previewAsked_)
        return false;
    previewAsked_ = line;
    if (line.isEmpty())
        forgetPreview();
    return !line.isEmpty();
}

QString GameTable::bagText() const {
    if (!bag_)
        return {};
    return *bag_ == 1 ? QStringLiteral("1 tile in the bag")
                      : QStringLiteral("%1 tiles in the bag").arg(*bag_);
}

QString GameTable::unseenText() const {
    QMap<QChar, int> counts; // in letter order, the blank's _ after Z
    for (const QChar tile : unseen_)
        ++counts[tile];
    QString text;
    int shown = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it, ++shown) {
        if (shown > 0) // five letters a line, so that no count is parted from its letter
            text += shown % kLettersALine == 0 ? QStringLiteral("\n") : QStringLiteral("  ");
        text += QStringLiteral("%1 %2").arg(it.key() == u'_' ? QChar(u'?') : it.key()).arg(it.value(), 2);
    }
    return text;
}

QString GameTable::moveText(const table::Move& m) {
    QStringList parts{QString::number(m.number), m.player, m.notation};
    if (!m.words.isEmpty())
        parts << m.words;
    parts << QString::number(m.score) << QString::number(m.total);
    if (!m.note.isEmpty())
        parts << QLatin1Char('(') + m.note + QLatin1Char(')');
    return parts.join(QStringLiteral("  "));
}

QStringList GameTable::clockTexts(qint64 sinceMs) const {
    QStringList texts;
    if (!clock_)
        return texts;
    for (const table::Clock::Entry& e : clock_->entries) {
        const bool runs = e.player == clock_->running;
        const qint64 left = e.leftMs - (runs ? sinceMs : 0);
        QString text = e.player + QLatin1Char(' ') + minutes(left);
        if (left < 0)
            text += QStringLiteral(" over");
        if (runs)
            text += QStringLiteral(" \u25C2"); // the running clock
        texts << text;
    }
    return texts;
}

QString GameTable::previewText() const {
    if (!preview_)
        return {};
    if (preview_->refusedCode)
        return preview_->reason;
    return preview_->words + QStringLiteral(": ") + QString::number(preview_->score);
}

} // namespace wordmoot
