#include "app/WordmootForm.h"

#include "app/GameSelectForm.h"
#include "app/LogoLabel.h"
#include "protocol/ShownText.h"
#include "board/Twips.h"
#include "board/BoardPainter.h"
#include "board/Composing.h"
#include "chat/MessageLog.h"
#include "connection/ServerAddress.h"
#include "lobby/GameChoice.h"
#include "protocol/Commands.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>

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

WordmootForm::WordmootForm(Dialogs& dialogs)
    : dialogs_(dialogs)
    , client_{state_, *this, dialogs_, settings_, connection_}
    , replies_(client_) {
    substituteFonts();
    buildControls();
    wireControls();
}

// The connection goes first, so that its closing reaches no handler of a
// window that is half taken down.
WordmootForm::~WordmootForm() {
    connection_.shutdown();
}

void WordmootForm::wireControls() {
    setAcceptDrops(true);
    connect(&connection_, &Connection::connected, this, &WordmootForm::winsockobj_Connect);
    connect(&connection_, &Connection::closed, this, &WordmootForm::winsockobj_Close);
    connect(&connection_, &Connection::failed, this, &WordmootForm::winsockobj_Error);
    connect(&connection_, &Connection::lineReceived, this,
            [this](const QString& line) { replies_.dispatch(line); });
    connect(&connection_, &Connection::overlongLineDropped, this, [this] {
        addmsg(QStringLiteral("*** A line from the server was too long and has been dropped"));
    });

    connect(cmdquit_, &QPushButton::clicked, this, &WordmootForm::cmdquit_Click);
    connect(cmdsubmitplay_, &QPushButton::clicked, this, &WordmootForm::cmdsubmitplay_Click);
    connect(cmdexchange_, &QPushButton::clicked, this, &WordmootForm::cmdexchange_Click);
    connect(cmdsortrack_, &QPushButton::clicked, this, &WordmootForm::cmdsortrack_Click);
    connect(cmdwithdraw_, &QPushButton::clicked, this,
            [this] { connection_.send(command::withdraw()); });
    connect(cmdforfeit_, &QPushButton::clicked, this,
            [this] { connection_.send(command::forfeit()); });
    connect(cmdleavegame_, &QPushButton::clicked, this,
            [this] { connection_.send(command::leave()); });
    connect(cmdsend_, &QPushButton::clicked, this, &WordmootForm::cmdsend_Click);
    connect(ircinputbox_, &QLineEdit::textChanged, this, &WordmootForm::ircinputbox_Change);
    connect(imgwordmoot_, &LogoLabel::doubleClicked, this, &WordmootForm::imgwordmoot_DblClick);
}

void WordmootForm::Form_Load() {
    tiles_ = std::make_unique<TileLabels>(this);
    connect_mootserv();
    state_.ingame = false;
    state_.started = false;
}

void WordmootForm::connect_mootserv() {
    const auto address = askServerAddress(dialogs_, settings_);
    if (!address) {
        endProgram();
        return;
    }
    state_.nickname = address->nickname;
    connection_.connectToServer(address->host, address->port);
    setCaption(QStringLiteral("Wordmoot - ") + state_.nickname);
}

void WordmootForm::winsockobj_Connect() {
    connection_.send(command::name(state_.nickname));
    connection_.send(command::version());
    connection_.send(command::gameList());
    show();
    setEnabled(true);
}

void WordmootForm::winsockobj_Close() {
    dialogs_.message(QStringLiteral("Disconnected from ") + connection_.remoteHost(), kAppTitle,
                     Dialogs::Icon::Stop);
    endProgram();
}

void WordmootForm::winsockobj_Error(const QString& description) {
    dialogs_.message(QStringLiteral("An error has occoured connecting to ") +
                         connection_.remoteHost() + QStringLiteral(".\n\n") + description,
                     kAppTitle, Dialogs::Icon::Stop);
    setEnabled(false);
    endProgram();
}

void WordmootForm::cmdquit_Click() {
    if (!dialogs_.ask(QStringLiteral("Are you sure you want to quit?"), kAppTitle, true))
        return;
    connection_.send(command::quit());
    endProgram();
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
    connection_.shutdown();
    emit programEnded();
}

void WordmootForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The board keeps its colours while the window waits for a game choice.
    wordmoot::makegameboard(painter, state_.observer,
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
    tiles_->fill_board(state_);
}

void WordmootForm::fill_rack() {
    tiles_->fill_rack(state_);
    for (Placement& laid : state_.placement)
        laid.letter.clear();
}

void WordmootForm::setGameControlEnabled(GameControl control, bool enabled) {
    // In the order of GameControl.
    const std::array<QWidget*, kGameControlCount> controls = {
        cmdleavegame_, cmdforfeit_,  cmdsubmitplay_, cmdexchange_,
        txtexchange_,  cmdwithdraw_, cmdsortrack_};
    controls[static_cast<std::size_t>(control)]->setEnabled(enabled);
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
        gameSelect_ = std::make_unique<GameSelectForm>(&replies_.games(), this);
        connect(gameSelect_.get(), &GameSelectForm::chosen, this, [this](const QString& entry) {
            chooseGame(entry, state_, connection_);
            setEnabled(true);
            gameSelect_->hide();
            gameSelect_->setEnabled(false);
        });
        connect(gameSelect_.get(), &GameSelectForm::unloaded, this, [this] {
            setEnabled(true);
            replies_.games().discard();
        });
    }
    gameSelect_->show();
    gameSelect_->setEnabled(true);
    setEnabled(false);
}

// Turn actions

void WordmootForm::cmdsubmitplay_Click() {
    const QString line = composing::takePlay(state_);
    if (line.isEmpty())
        return;
    for (int slot = 0; slot < kRackSlots; ++slot)
        if (!state_.placement[slot].letter.isEmpty())
            tiles_->setRackTileVisible(slot, false);
    connection_.send(line);
}

void WordmootForm::cmdexchange_Click() {
    const QString line = composing::exchangeLine(txtexchange_->text());
    if (line.isEmpty())
        return;
    connection_.send(line);
    txtexchange_->clear();
}

// Tiles laid on the board stay there: only the tiles in the rack are sorted
// and shown again.
void WordmootForm::cmdsortrack_Click() {
    composing::sortRack(state_);
    tiles_->fill_rack(state_, true);
}

} // namespace wordmoot
