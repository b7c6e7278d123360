#pragma once

class FuzzedDataProvider;

namespace wordmoot {
class WordmootForm;
}

namespace wordmoot::fuzz {

// What a user can do with the windows, chosen by the fuzz input: pick a game
// or close the game selection, drop a rack tile anywhere on the window, click
// any button that is enabled, type into a line and press Enter. Each gesture
// goes through the widgets' own event handling; a disabled window takes none.
class UserGestures {
public:
    UserGestures(WordmootForm& form, FuzzedDataProvider& in)
        : form_(form)
        , in_(in) {}

    void act();

private:
    void chooseGame();
    void dropTile();
    void clickButton();
    void type();

    WordmootForm& form_;
    FuzzedDataProvider& in_;
};

} // namespace wordmoot::fuzz
