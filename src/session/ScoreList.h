#pragma once

#include <QStringListModel>

namespace wordmoot {

// The score list: one entry per player, laid out in columns with blanks so
// that it lines up in a fixed-pitch font. Entries are found by the player's
// name regardless of case, and keep their places. An entry is cut like every
// other text from the server.
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

    QStringList keys_; // each row's player, as rowOf looks for it

};

} // namespace wordmoot
