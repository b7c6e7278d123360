#include "session/ScoreList.h"

#include "protocol/ShownText.h"
#include "rules/NumericText.h"

namespace wordmoot {

namespace {
void fillTo(QString& text, qsizetype length) {
    if (text.size() < length)
        text.append(QString(length - text.size(), QLatin1Char(' ')));
}

// What an entry is found by: its player's name regardless of case, cut like
// every text from the server is cut for showing.
QString keyOf(const QString& player) {
    return shownText(player).toLower();
}
} // namespace

QString ScoreList::entryText(const QString& player, const QString& count, const QString& score,
                             const QString& status) {
    QString entry = player;
    fillTo(entry, 9);
    if (numericValue(count) > 0)
        entry += QLatin1Char(' ') + count;
    fillTo(entry, 12);
    entry += QLatin1Char(' ') + score;
    fillTo(entry, 17);
    if (status.contains(QLatin1String("update")))
        entry += QLatin1String("(updated)");
    else if (status.contains(QLatin1String("final")))
        entry += QLatin1String("(final)");
    else
        entry += status;
    return entry;
}

void ScoreList::clear() {
    setStringList({});
    keys_.clear();
}

int ScoreList::rowOf(const QString& player) const {
    return static_cast<int>(keys_.indexOf(keyOf(player)));
}

void ScoreList::setScore(const QString& player, const QString& count, const QString& score,
                         const QString& status) {
    const QString entry = shownText(entryText(player, count, score, status));
    const int row = rowOf(player);
    if (row >= 0) {
        setData(index(row), entry);
        return;
    }
    const int end = rowCount();
    if (end >= kMaxEntries)
        return;
    insertRows(end, 1);
    setData(index(end), entry);
    keys_.append(keyOf(player));
}

void ScoreList::rename(const QString& oldName, const QString& newName) {
    const int row = rowOf(oldName);
    if (row < 0)
        return;
    const QString old = data(index(row)).toString();
    QString entry = newName;
    fillTo(entry, 8);
    const qsizetype blank = old.indexOf(QLatin1Char(' '), 8);
    if (blank >= 0)
        entry += old.mid(blank);
    setData(index(row), shownText(entry));
    keys_[row] = keyOf(newName);
}

} // namespace wordmoot
