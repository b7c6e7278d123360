#include "client/app/WordmootForm.h"

#include "client/app/BoardPainter.h"
#include "client/app/GamePanel.h"
#include "client/app/GameSelectForm.h"
#include "client/app/LogoLabel.h"
#include "client/app/MessageLog.h"
#include "client/board/TurnActions.h"
#include "client/board/Twips.h"
#include "client/lobby/GameChoice.h"
#include "shared/protocol/Commands.h"
#include "shared/protocol/ShownText.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include <array>

namespace wordmoot {

namespace {
// Where a platform lacks the fonts the window was designed with, use fonts
// with the same metrics.
void substituteFonts() {
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
}
} // namespace

WordmootForm::WordmootForm(Dialogs& dialogs, CommandSink* outgoing)
    : dialogs_(dialogs)
    , session_(*this, dialogs_, outgoing)
    , client_(session_.client()) {
    substituteFonts();
    buildControls();
    dialogs_.setLog(irchistorybox_);
    wireControls();
}

// The connection goes first, so that its closing reaches no handling while
// the window is half taken down.
WordmootForm::~WordmootForm() {
    session_.shutdown();
}

void WordmootForm::wireControls() {
    setAcceptDrops(true);
    connect(cmdquit_, &QPushButton::clicked, &session_, &Session::quit);
    connect(cmdsubmitplay_, &QPushButton::clicked, this, [this] { turn::submitPlay(client_); });
    connect(cmdexchange_, &QPushButton::clicked, this, &WordmootForm::exchangeClicked);
    connect(cmdsortrack_, &QPushButton::clicked, this, [this] { turn::sortRack(client_); });
    connect(cmdwithdraw_, &QPushButton::clicked, this,
            [this] { client_.server.send(command::withdraw()); });
    connect(cmdforfeit_, &QPushButton::clicked, this,
            [this] { client_.server.send(command::forfeit()); });
    connect(cmdleavegame_, &QPushButton::clicked, this,
            [this] { client_.server.send(command::leave()); });
    connect(cmdsend_, &QPushButton::clicked, this, &WordmootForm::sendClicked);
    connect(ircinputbox_, &QLineEdit::textChanged, this, &WordmootForm::inputChanged);
    connect(imgwordmoot_, &LogoLabel::doubleClicked, this, &WordmootForm::logoDoubleClicked);
    connect(panel_, &GamePanel::startClicked, this, [this] { client_.server.send(command::start()); });
    connect(panel_, &GamePanel::hintClicked, this, [this] { client_.server.send(command::hint()); });
    connect(panel_, &GamePanel::robotClicked, this,
            [this](const QString& level) { client_.server.send(command::robot(level)); });
    connect(&replies().table(), &GameTable::changed, this, &WordmootForm::updatePanelActions);
    connect(new QShortcut(QKeySequence(Qt::Key_F9), this), &QShortcut::activated, this, [this] {
        const bool shown = !panel_->isVisible();
        showPanel(shown);
        client_.settings.setText(setting::kClient, setting::kShowPanel,
                                 shown ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

void WordmootForm::start() {
    tiles_ = std::make_unique<TileLabels>(this);
    setUpKeyboardPlay();
    if (!session_.start())
        endProgram();
}

void WordmootForm::showConnected() {
    show();
    setEnabled(true);
}

// Every way out closes the game selection window first, then this one.
void WordmootForm::endProgram() {
    close();
}

void WordmootForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (ended_)
        return;
    ended_ = true;
    if (gameSelect_)
        gameSelect_->close();
    session_.shutdown();
    emit programEnded();
}

void WordmootForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The board keeps its colours while the window waits for a game choice.
    wordmoot::makegameboard(painter, state().observer,
                            palette().color(QPalette::Active, QPalette::ButtonText));
}

void WordmootForm::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere but on another button sends the input line, as the
    // window's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!qobject_cast<QPushButton*>(focusWidget()) && cmdsend_->isEnabled()) {
            cmdsend_->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

// ClientView

void WordmootForm::addmsg(const QString& message) {
    irchistorybox_->addmsg(message);
}

void WordmootForm::makegameboard() {
    update();
}

void WordmootForm::fill_board() {
    tiles_->fill_board(state());
    boardShown();
}

void WordmootForm::fill_rack() {
    tiles_->fill_rack(state());
    boardShown();
}

void WordmootForm::setGameControlEnabled(GameControl control, bool enabled) {
    // In the order of GameControl.
    const std::array<QWidget*, kGameControlCount> controls = {
        cmdleavegame_, cmdforfeit_,  cmdsubmitplay_, cmdexchange_,
        txtexchange_,  cmdwithdraw_, cmdsortrack_};
    controls[static_cast<std::size_t>(control)]->setEnabled(enabled);
    if (control == GameControl::LeaveGame)
        updatePanelActions();
}

void WordmootForm::setTurnText(const QString& text) {
    lblturn_->setText(shownText(text));
}

void WordmootForm::setCaption(const QString& caption) {
    // "[*]" in a title marks where Qt shows a modified document; a nickname
    // holding it is shown as it is.
    setWindowTitle(QString(caption).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
}

void WordmootForm::showGameSelection() {
    if (!gameSelect_) {
        gameSelect_ = std::make_unique<GameSelectForm>(&replies().games(), this);
        connect(gameSelect_.get(), &GameSelectForm::chosen, this, [this](const QString& entry) {
            chooseGame(entry, state(), client_.server);
            gameSelect_->hide();
            gameSelect_->setEnabled(false);
            gameSelectionClosed();
        });
        connect(gameSelect_.get(), &GameSelectForm::unloaded, this, [this] {
            replies().games().discard();
            gameSelectionClosed();
        });
    }
    gameSelect_->open();
    setEnabled(false);
}

// Back from the game selection, the keyboard goes to the input line again.
void WordmootForm::gameSelectionClosed() {
    setEnabled(true);
    if (ended_)
        return;
    activateWindow();
    ircinputbox_->setFocus();
}

void WordmootForm::exchangeClicked() {
    if (turn::exchange(client_, txtexchange_->text()))
        txtexchange_->clear();
}

} // namespace wordmoot
