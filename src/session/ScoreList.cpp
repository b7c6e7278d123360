#include "session/ScoreList.h"

#include "rules/NumericText.h"

namespace wordmoot {

namespace {
void fillTo(QString& text, qsizetype length) {
    if (text.size() < length)
        text.append(QString(length - text.size(), QLatin1Char(' ')));
}

QString firstWord(const QString& text) {
    return text.section(QLatin1Char(' '), 0, 0);
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
}

int ScoreList::rowOf(const QString& player) const {
    const QString wanted = player.toLower();
    const QStringList entries = stringList();
    for (int row = 0; row < entries.size(); ++row)
        if (firstWord(entries[row]).toLower() == wanted)
            return row;
    return -1;
}

void ScoreList::setScore(const QString& player, const QString& count, const QString& score,
                         const QString& status) {
    const QString entry = entryText(player, count, score, status);
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
    setData(index(row), entry);
}

} // namespace wordmoot
