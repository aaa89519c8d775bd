// PlayerSelection.h -- who plays: the list of players, a typed name, create, switch, delete.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "panels/ButtonPanel.h"
#include "screens/PasswordEntry.h"

namespace wordlark::game {
class Game;
struct GameState;
struct PlayerProblem;
}  // namespace wordlark::game

namespace wordlark::screens {

// The player selection's commands, in the order of its button table.
enum PlayerCommand : std::int32_t {
    kPlayerOk = 0,
    kPlayerCancel = 1,
    kPlayerUp = 2,
    kPlayerDown = 3,
    kPlayerDelete = 4,
};

// What the password is being asked for.
enum class PendingAction : std::int32_t { None = -1, Create = 0, Switch = 1, Delete = 2 };

class PlayerSelection : public panels::ButtonPanel {
public:
    // In start-up mode the panel must be answered: Escape does nothing and cancel closes the
    // window. From the menu, Escape and cancel only close it.
    PlayerSelection(std::string_view backgroundName, bool startupMode, game::Game& game,
                    game::GameState& state, std::string playerFolder);
    ~PlayerSelection() override;

    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "PlayerSelection"; }
    void describe(nlohmann::ordered_json& fields) const override;
    // The password box's ring while it is open.
    const panels::Button* focusedButton() const override;

    // The password panel's answer as it closes (empty for none); it is destroyed here.
    void passwordClosed(std::string password);

    bool startupMode() const { return startupMode_; }
    const std::vector<std::string>& names() const { return names_; }
    std::size_t firstVisible() const { return firstVisible_; }
    const std::string& nameField() const { return nameField_; }
    std::int32_t selectedIndex() const { return selectedIndex_; }
    PendingAction pendingAction() const { return pendingAction_; }
    const PasswordEntry* passwordDialog() const { return passwordDialog_.get(); }

private:
    void runCommand(std::int32_t command);
    void askPassword(PendingAction action, bool startEmpty);
    // With the password just given: creates, switches or deletes. The panel may be gone after.
    void completePendingAction();
    // After a delete or a damaged player: the list read again, the fields emptied.
    void resetAfterRemoval();
    // A record that could not be read, or was moved aside, is said at the foot of the screen.
    void tellProblem(const game::PlayerProblem& problem);
    void clickRow();
    // Up and Down pick the name above or below; the page keys, Home and End scroll. True when
    // the key was one of them.
    bool listKey(platform::WParam key);

    bool startupMode_;
    game::Game& game_;
    game::GameState& state_;
    std::string playerFolder_;
    std::vector<std::string> names_;
    std::size_t firstVisible_ = 0;
    std::string nameField_;
    std::int32_t blinkCounter_ = 0;
    std::int32_t selectedIndex_ = -1;
    PendingAction pendingAction_ = PendingAction::None;
    std::unique_ptr<PasswordEntry> passwordDialog_;
    std::string enteredPassword_;
};

}  // namespace wordlark::screens
