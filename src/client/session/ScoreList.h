#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <vector>

namespace wordmoot {

// The score list: one entry per player, laid out in columns with blanks so
// that it lines up in a fixed-pitch font. Entries are found by the player's
// name regardless of case, and keep their places. An entry is cut like every
// other text from the server.
class ScoreList : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // A game has a handful of players; a server that names more than this
    // is not followed further.
    static constexpr int kMaxEntries = 100;

    static QString entryText(QStringView player, QStringView count, QStringView score,
                             QStringView status);

    void clear();
    // Replaces the player's entry, or appends one for a new player while
    // the list has room.
    void setScore(QStringView player, QStringView count, QStringView score, QStringView status);
    // Puts the new name in place of the old, keeping the other columns.
    void rename(QStringView oldName, const QString& newName);
    const QStringList& stringList() const { return entries_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int rowOf(QStringView player) const;
    void setEntry(int row, const QString& entry);

    QStringList entries_;

    std::vector<qsizetype> keyLengths_; // how much of each entry is its player's name
};

} // namespace wordmoot
