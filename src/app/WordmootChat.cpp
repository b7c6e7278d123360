// The chat input line, the Send button and the logo's help and credits.
#include "app/WordmootForm.h"
#include "chat/InfoTexts.h"
#include "chat/InputLine.h"

#include <QLineEdit>

namespace wordmoot {

// A prefix character typed into an empty line expands into its command word.
// Setting the expansion changes the text again; that inner change finds a
// length other than 1 and only records it.
void WordmootForm::ircinputbox_Change() {
    if (const auto expanded = chat::expansion(ircinputbox_->text(), lastinputlen_)) {
        ircinputbox_->setText(*expanded);
        ircinputbox_->end(false);
    }
    lastinputlen_ = static_cast<int>(ircinputbox_->text().size());
}

void WordmootForm::cmdsend_Click() {
    const auto outgoing = chat::commandFor(ircinputbox_->text());
    if (!outgoing)
        return; // unfinished: the line stays for the user to complete
    if (!outgoing->echo.isEmpty())
        addmsg(outgoing->echo);
    if (outgoing->newNickname)
        adoptNickname(client_, *outgoing->newNickname);
    connection_.send(outgoing->command);
    ircinputbox_->clear();
}

void WordmootForm::imgwordmoot_DblClick() {
    dialogs_.message(chat::helpText(), chat::kHelpTitle, Dialogs::Icon::Information);
}

void WordmootForm::imgwordmoot_DragDrop() {
    dialogs_.message(chat::creditsText(), chat::kCreditsTitle, Dialogs::Icon::Information);
}

} // namespace wordmoot
