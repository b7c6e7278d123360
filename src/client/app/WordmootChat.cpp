// The chat input line, the Send button and the logo's help and credits.
#include "client/app/KeyHook.h"
#include "client/app/WordmootForm.h"
#include "client/chat/InfoTexts.h"
#include "client/chat/InputLine.h"

#include <QLineEdit>

namespace wordmoot {

// A prefix character typed into an empty line expands into its command word.
// Setting the expansion changes the text again; that inner change finds a
// length other than 1 and only records it.
void WordmootForm::inputChanged() {
    if (const auto expanded = chat::expansion(ircinputbox_->text(), lastinputlen_)) {
        ircinputbox_->setText(*expanded);
        ircinputbox_->end(false);
    }
    lastinputlen_ = static_cast<int>(ircinputbox_->text().size());
    // A line that carries a password shows as dots from the moment it does.
    const auto echo = chat::carriesPassword(ircinputbox_->text()) ? QLineEdit::Password
                                                                   : QLineEdit::Normal;
    if (ircinputbox_->echoMode() != echo)
        ircinputbox_->setEchoMode(echo);
}

void WordmootForm::sendClicked() {
    const QString line = ircinputbox_->text();
    if (chat::sendLine(client_, line)) {
        if (!chat::carriesPassword(line))
            inputHistory_.sent(line);
        ircinputbox_->clear();
    }
}

// Up and Down in the input line go back and forth through the lines sent.
void WordmootForm::wireInputHistory() {
    new KeyHook(ircinputbox_,
                {{Qt::Key_Up, [this] { recall(inputHistory_.older(ircinputbox_->text())); }},
                 {Qt::Key_Down, [this] { recall(inputHistory_.newer()); }}});
}

void WordmootForm::recall(const std::optional<QString>& line) {
    if (!line)
        return;
    ircinputbox_->setText(*line);
    ircinputbox_->end(false);
}

void WordmootForm::logoDoubleClicked() {
    dialogs_.message(chat::helpText(), chat::kHelpTitle, Dialogs::Icon::Information);
}

void WordmootForm::tileDroppedOnLogo() {
    dialogs_.message(chat::creditsText(), chat::kCreditsTitle, Dialogs::Icon::Information);
}

} // namespace wordmoot
