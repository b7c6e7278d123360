#include "client/session/ScoreList.h"

#include "shared/protocol/NumericText.h"
#include "shared/protocol/ShownText.h"

#include <algorithm>

namespace wordmoot {

namespace {
void fillTo(QString& text, qsizetype length) {
    if (text.size() < length)
        text.resize(length, QLatin1Char(' '));
}

// An entry is found by its player's name, which it starts with, cut like
// every text from the server is cut for showing, compared regardless of
// case: the name is this long at the entry's start.
qsizetype keyLength(QStringView player) {
    return std::min(player.size(), kMaxShownLength);
}
} // namespace

QString ScoreList::entryText(QStringView player, QStringView count, QStringView score,
                             QStringView status) {
    QString entry;
    entry.reserve(player.size() + count.size() + score.size() + status.size() + 20);
    entry.append(player);
    fillTo(entry, 9);
    if (numericValue(count) > 0)
        entry.append(QLatin1Char(' ')).append(count);
    fillTo(entry, 12);
    entry.append(QLatin1Char(' ')).append(score);
    fillTo(entry, 17);
    if (status.contains(QLatin1String("update")))
        entry.append(QLatin1String("(updated)"));
    else if (status.contains(QLatin1String("final")))
        entry.append(QLatin1String("(final)"));
    else
        entry.append(status);
    return entry;
}

int ScoreList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

QVariant ScoreList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size() ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return entries_[index.row()];
}

void ScoreList::clear() {
    if (entries_.isEmpty())
        return;
    beginResetModel();
    entries_.clear();
    keyLengths_.clear();
    endResetModel();
}

int ScoreList::rowOf(QStringView player) const {
    const QStringView key = player.left(keyLength(player));
    for (int row = 0; row < entries_.size(); ++row) {
        const QStringView named = QStringView(entries_[row]).left(keyLengths_[row]);
        if (named.compare(key, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

// A score line comes for every player after every turn, so an entry that
// stays the same is left alone.
void ScoreList::setEntry(int row, const QString& entry) {
    if (entries_[row] == entry)
        return;
    entries_[row] = entry;
    emit dataChanged(index(row), index(row));
}

void ScoreList::setScore(QStringView player, QStringView count, QStringView score,
                         QStringView status) {
    const QString entry = shownText(entryText(player, count, score, status));
    const int row = rowOf(player);
    if (row >= 0)
        return setEntry(row, entry);
    const int end = rowCount();
    if (end >= kMaxEntries)
        return;
    beginInsertRows({}, end, end);
    entries_.append(entry);
    keyLengths_.push_back(keyLength(player));
    endInsertRows();
}

void ScoreList::rename(QStringView oldName, const QString& newName) {
    const int row = rowOf(oldName);
    if (row < 0)
        return;
    const QString& old = entries_[row];
    QString entry = newName;
    fillTo(entry, 8);
    const qsizetype blank = old.indexOf(QLatin1Char(' '), 8);
    if (blank >= 0)
        entry += old.mid(blank);
    keyLengths_[row] = keyLength(newName);
    setEntry(row, shownText(entry));
}

} // namespace wordmoot
