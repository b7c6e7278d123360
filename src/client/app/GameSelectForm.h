#pragma once

#include <QWidget>

class QAbstractItemModel;
class QListView;
class QPushButton;

namespace wordmoot {

// The small window in which the user picks a game: create one, join one
// that is forming, or watch one in play.
class GameSelectForm : public QWidget {
    Q_OBJECT
public:
    explicit GameSelectForm(QAbstractItemModel* games, QWidget* owner = nullptr);

    QListView* gamelist() const { return gamelist_; }
    QPushButton* okButton() const { return okButton_; }
    // Shows the window with the keyboard on OK.
    void open();

signals:
    // The user chose the entry with this text, by OK or a double click.
    void chosen(const QString& entry);
    // The window was closed, by the user or on the way out.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void okClicked();

    QListView* gamelist_;
    QPushButton* okButton_;
};

} // namespace wordmoot
