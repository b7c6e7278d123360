// The main window's controls, where they sit and how they look when the
// window opens. Positions are in twips.
#include "client/app/Artwork.h"
#include "client/app/GamePanel.h"
#include "client/app/LogoLabel.h"
#include "client/app/MessageLog.h"
#include "client/app/WordmootForm.h"
#include "client/board/Twips.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <limits>

namespace wordmoot {

namespace {
template <typename Control>
Control* place(Control* control, const char* name, int left, int top, int width, int height,
               const QString& toolTip = QString()) {
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twips::rect(left, top, width, height));
    control->setToolTip(toolTip);
    return control;
}

QPushButton* button(QWidget* form, const char* name, const QString& caption, int left, int top,
                    int width, int height, const QString& toolTip, bool enabled) {
    auto* control = place(new QPushButton(caption, form), name, left, top, width, height, toolTip);
    control->setEnabled(enabled);
    // Enter presses the button that has the focus; elsewhere it sends. A
    // click leaves the keyboard where it was, so that a chat line typed after
    // pressing a turn button goes to the input line, not to the button.
    control->setAutoDefault(true);
    control->setFocusPolicy(Qt::TabFocus);
    return control;
}

// What a screen reader says about a control: its name and what it does.
struct Described {
    QWidget* control;
    const char* name;
    const char* description;
};
void describe(std::initializer_list<Described> controls) {
    for (const Described& entry : controls) {
        entry.control->setAccessibleName(QLatin1String(entry.name));
        entry.control->setAccessibleDescription(QLatin1String(entry.description));
    }
}

QFont designFont(const QString& family, double points) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}
} // namespace

void WordmootForm::showPanel(bool shown) {
    panel_->setVisible(shown);
    resize(twips::rect(0, 0, 8520 + (shown ? GamePanel::kWidthTwips : 0), 7785).size());
}

void WordmootForm::updatePanelActions() {
    panel_->setActionsEnabled(cmdleavegame_->isEnabled() && state().panelServer);
}

void WordmootForm::buildControls() {
    setObjectName(QStringLiteral("WordmootForm"));
    setWindowTitle(kAppTitle);
    setWindowIcon(QPixmap::fromImage(artwork::icon()));
    resize(twips::rect(0, 0, 8520, 7785).size());

    irchistorybox_ = place(new MessageLog(this), "irchistorybox", 120, 6120, 8295, 1215);
    cmdquit_ = button(this, "cmdquit", QStringLiteral("&Quit"), 7320, 4440, 1095, 375,
                      QStringLiteral("Quit Wordmoot"), true);
    cmdwithdraw_ = button(this, "cmdwithdraw", QStringLiteral("&Withdraw"), 7320, 3120, 1095, 375,
                          QStringLiteral("Withdraw your move"), false);
    cmdexchange_ = button(this, "cmdexchange", QStringLiteral("&Exchange"), 7320, 3600, 1095, 375,
                          QStringLiteral("exchange some tiles"), false);
    txtexchange_ = place(new QLineEdit(this), "txtexchange", 6120, 3600, 1095, 375,
                         QStringLiteral("enter tiles to exchange, or drop them into the box"));
    txtexchange_->setEnabled(false);
    cmdforfeit_ = button(this, "cmdforfeit", QStringLiteral("Pass &Turn"), 6120, 3120, 1095, 375,
                         QStringLiteral("forfeit the current turn - use if you can't play"), false);
    cmdleavegame_ = button(this, "cmdleavegame", QStringLiteral("&Leave"), 6120, 4440, 1095, 375,
                           QStringLiteral("leave the game"), false);
    cmdsend_ = button(this, "cmdsend", QStringLiteral("&Send"), 7770, 7345, 615, 375,
                      QStringLiteral("send a message to the server"), true);
    cmdsend_->setDefault(true);
    cmdsortrack_ = button(this, "cmdsortrack", QStringLiteral("Sort &Rack"), 3960, 5640, 1575, 375,
                          QString(), false);

    listscores_ = place(new QListView(this), "listscores", 5640, 840, 2775, 960,
                        QStringLiteral("displays scores"));
    listscores_->setModel(&replies().scores());
    listscores_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Entries are shown whole; a long one scrolls rather than being cut.
    listscores_->setTextElideMode(Qt::ElideNone);
    listscores_->setFont(designFont(QStringLiteral("Courier New"), 9));
    QPalette scorePalette = listscores_->palette();
    scorePalette.setColor(QPalette::Base, QColor(212, 208, 200)); // inactive caption text
    scorePalette.setColor(QPalette::Text, Qt::black);
    listscores_->setPalette(scorePalette);

    cmdsubmitplay_ =
        button(this, "cmdsubmitplay", QStringLiteral("Submit &Play"), 6120, 2400, 2295, 615,
               QStringLiteral("submit the current play to the game server"), false);
    ircinputbox_ = place(new QLineEdit(this), "ircinputbox", 120, 7330, 7575, 370,
                         QStringLiteral("type a message to send"));
    // Neither text box limits its length; a line box otherwise stops at 32767.
    ircinputbox_->setMaxLength(std::numeric_limits<int>::max());
    txtexchange_->setMaxLength(std::numeric_limits<int>::max());

    imgwordmoot_ = place(new LogoLabel(this), "imgwordmoot", 5640, 120, 2790, 555);
    imgwordmoot_->setPixmap(QPixmap::fromImage(artwork::logo()));
    imgwordmoot_->setFixedSize(imgwordmoot_->pixmap().size());

    lblturn_ = place(new QLabel(this), "lblturn", 5640, 1920, 2775, 375);
    lblturn_->setTextFormat(Qt::PlainText);
    lblturn_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblturn_->setFont(designFont(QStringLiteral("MS Sans Serif"), 13.5));

    // Beside the layout above, never over it.
    panel_ = new GamePanel(replies().table(), this);
    panel_->setGeometry(twips::rect(8520, 0, GamePanel::kWidthTwips, 7785));
    showPanel(client_.settings.text(setting::kClient, setting::kShowPanel, QStringLiteral("1")) != u"0");

    describe({
        {irchistorybox_, "Messages", "what the server and the other users said"},
        {cmdquit_, "Quit", "quit Wordmoot"},
        {cmdwithdraw_, "Withdraw", "withdraw your move"},
        {cmdexchange_, "Exchange", "exchange the tiles named in the exchange box"},
        {txtexchange_, "Tiles to exchange", "enter tiles to exchange, or drop them into the box"},
        {cmdforfeit_, "Pass Turn", "forfeit the current turn - use if you can't play"},
        {cmdleavegame_, "Leave", "leave the game"},
        {cmdsend_, "Send", "send the input line to the server"},
        {cmdsortrack_, "Sort Rack", "sort the tiles in your rack"},
        {listscores_, "Scores", "each player's score"},
        {cmdsubmitplay_, "Submit Play", "submit the tiles laid on the board as your play"},
        {ircinputbox_, "Input line",
         "type a message to send; Up and Down recall the lines sent; F2 or Ctrl+B moves the "
         "keyboard to the board"},
        {imgwordmoot_, "Wordmoot", "double-click for help; drop a tile here for the credits"},
        {lblturn_, "Turn", "whose turn it is"},
    });

    // Focus order: the input line first, so it has the focus when the window
    // opens.
    const QList<QWidget*> order = {ircinputbox_, cmdsubmitplay_, listscores_, cmdsortrack_,
                                   cmdsend_,     cmdleavegame_,  cmdforfeit_, txtexchange_,
                                   cmdexchange_, cmdwithdraw_,   cmdquit_,    irchistorybox_};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    ircinputbox_->setFocus();
}

} // namespace wordmoot
