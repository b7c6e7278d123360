#pragma once

#include <QStringListModel>

namespace wordmoot {

// The score list: one entry per player, laid out in columns with blanks so
// that it lines up in a fixed-pitch font. Entries are found by their first
// word, the player name, regardless of case, and keep their places.
class ScoreList : public QStringListModel {
    Q_OBJECT
public:
    using QStringListModel::QStringListModel;

    // A game has a handful of players; a server that names more than this
    // is not followed further.
    static constexpr int kMaxEntries = 100;

    static QString entryText(const QString& player, const QString& count, const QString& score,
                             const QString& status);

    void clear();
    // Replaces the player's entry, or appends one for a new player while
    // the list has room.
    void setScore(const QString& player, const QString& count, const QString& score,
                  const QString& status);
    // Puts the new name in place of the old, keeping the other columns.
    void rename(const QString& oldName, const QString& newName);

private:
    int rowOf(const QString& player) const;
};

} // namespace wordmoot
