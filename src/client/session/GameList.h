#pragma once

#include <QStringListModel>

namespace wordmoot {

// The entries of the game selection window: "0: Create New Game ..." first,
// then one entry per game the server describes.
class GameList : public QStringListModel {
    Q_OBJECT
public:
    using QStringListModel::QStringListModel;

    static inline const QString kCreateEntry = QStringLiteral("0: Create New Game ...");
    // Games are single digits on the wire; a server that lists more than this
    // is not followed further. The list holds them behind the create entry.
    static constexpr int kMaxGames = 100;

    // The entry for a game description in fixed columns: the game number in
    // column 1, the state in columns 3 to 6 ("FORM" while forming), players
    // in column 8 and observers in column 10.
    static QString entryText(const QString& description);

    void reset();
    void addGame(const QString& description);
    void discard() { setStringList({}); }
};

} // namespace wordmoot
