#include "client/app/GameSelectForm.h"

#include "client/app/Artwork.h"
#include "client/board/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QWindow>

namespace wordmoot {

GameSelectForm::GameSelectForm(QAbstractItemModel* games, QWidget* owner)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , gamelist_(new QListView(this))
    , okButton_(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("GameSelectForm"));
    setWindowTitle(QStringLiteral("Select A Game"));
    setWindowIcon(QPixmap::fromImage(artwork::icon()));
    setFixedSize(twips::rect(0, 0, 4080, 2265).size());

    gamelist_->setObjectName(QStringLiteral("gamelist"));
    gamelist_->setGeometry(twips::rect(120, 120, 3855, 1425));
    gamelist_->setModel(games);
    gamelist_->setSelectionMode(QAbstractItemView::SingleSelection);
    gamelist_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Entries are shown whole; a long one scrolls rather than being cut.
    gamelist_->setTextElideMode(Qt::ElideNone);

    gamelist_->setAccessibleName(QStringLiteral("Games"));
    gamelist_->setAccessibleDescription(QStringLiteral("the games on the server to join"));
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setAccessibleDescription(QStringLiteral("join the game chosen"));
    okButton_->setGeometry(twips::rect(2760, 1680, 1215, 495));
    // Not the default button: Enter presses it only while it has the focus.
    okButton_->setAutoDefault(true);

    setTabOrder(okButton_, gamelist_);
    okButton_->setFocus();

    connect(okButton_, &QPushButton::clicked, this, &GameSelectForm::okClicked);
    connect(gamelist_, &QListView::doubleClicked, this, &GameSelectForm::okClicked);

    // Owned by the main window for the task bar, but a window of its own so
    // that disabling the main window leaves this one usable.
    if (owner) {
        winId();
        owner->winId();
        windowHandle()->setTransientParent(owner->windowHandle());
    }
}

void GameSelectForm::open() {
    show();
    setEnabled(true);
    activateWindow();
    okButton_->setFocus();
}

void GameSelectForm::okClicked() {
    const QModelIndexList selected = gamelist_->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    emit chosen(selected.first().data().toString());
}

void GameSelectForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close(); // as the close box does
        return;
    }
    QWidget::keyPressEvent(event);
}

void GameSelectForm::closeEvent(QCloseEvent* event) {
    emit unloaded();
    QWidget::closeEvent(event);
}

} // namespace wordmoot
