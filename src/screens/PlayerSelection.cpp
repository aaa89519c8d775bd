#include "screens/PlayerSelection.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "game/Game.h"
#include "game/GameState.h"
#include "game/Players.h"
#include "graphics/Display.h"
#include "panels/PanelHost.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"

namespace wordlark::screens {

using namespace platform;

namespace {

panels::ButtonRow table[] = {
    {kPlayerOk, "ng_ok", nullptr},         {kPlayerCancel, "ng_cansel", nullptr},
    {kPlayerUp, "ng_up", nullptr},         {kPlayerDown, "ng_down", nullptr},
    {kPlayerDelete, "ng_delete", nullptr}, {-1, "", nullptr},
};

constexpr std::int32_t kNameFieldX = 165;
constexpr std::int32_t kNameFieldY = 125;
constexpr std::int32_t kRowsX = 165;
constexpr std::int32_t kFirstRowY = 173;
constexpr std::int32_t kRowStep = 20;
constexpr std::int32_t kRowsEndY = 333;
constexpr std::size_t kVisibleRows = 8;
// The rows' click area, bounds included, and the mark of the chosen row.
constexpr std::int32_t kClickLeft = 164;
constexpr std::int32_t kClickRight = 405;
constexpr std::int32_t kClickTop = 171;
constexpr std::int32_t kClickBottom = 339;
constexpr std::int32_t kMarkX = 163;
constexpr std::int32_t kMarkWidth = 244;
// The cursor shows in the first 10 frames of every 21.
constexpr std::int32_t kBlinkLast = 20;
constexpr std::int32_t kBlinkShown = 10;

}  // namespace

PlayerSelection::PlayerSelection(std::string_view backgroundName, bool startupMode,
                                 game::Game& game, game::GameState& state, std::string playerFolder)
    : ButtonPanel(game, backgroundName, table, !startupMode),
      startupMode_(startupMode),
      game_(game),
      state_(state),
      playerFolder_(std::move(playerFolder)),
      names_(game::listPlayers(playerFolder_))
{
    if (!startupMode_) {
        nameField_ = state_.currentPlayer.nameView().substr(0, game::kMaxTypedLength);
    }
    for (const std::int32_t id : {kPlayerUp, kPlayerDown}) {
        if (panels::Button* button = buttonFor(id)) {
            button->setAutoRepeat(true);
        }
    }
}

PlayerSelection::~PlayerSelection() = default;

bool PlayerSelection::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (passwordDialog_) {
        passwordDialog_->handleInput(message, wParam, lParam);
        if (!passwordDialog_ && !enteredPassword_.empty()) {
            // May close this panel: nothing of it is touched afterwards.
            completePendingAction();
        }
        return true;
    }
    switch (message) {
        case WM_CHAR: {
            const auto c = static_cast<unsigned char>(wParam & 0xFF);
            if (c == ' ' && ring().focused() != nullptr) {
                // The Space that pressed the focused button is not typed into the name too.
                break;
            }
            if (game::isNameCharacter(c)) {
                if (nameField_.size() < game::kMaxTypedLength) {
                    nameField_ += static_cast<char>(c);
                }
            } else if (c == '<' || c == '>' || c == '"' || c == '|') {
                // Taken on some systems only: without a word, the key would seem broken.
                game_.saveProblems().tell("a player's name cannot hold < > \" or |");
            }
            break;
        }
        case WM_KEYDOWN:
            if (wParam == VK_BACK && !nameField_.empty()) {
                nameField_.pop_back();
            } else if (wParam == VK_RETURN) {
                // Return keeps meaning "ok" here, wherever the focus ring is.
                postMessage(mainWindow(), WM_BUTTON_COMMAND, kPlayerOk, 0);
                return true;
            } else if (listKey(wParam)) {
                return true;
            }
            break;
        case WM_LBUTTONDOWN:
            clickRow();
            break;
        case WM_BUTTON_COMMAND:
            if (wParam == kPlayerCancel) {
                if (startupMode_) {
                    postMessage(mainWindow(), WM_CLOSE);
                }
                closeSelf();
                return true;
            }
            runCommand(static_cast<std::int32_t>(wParam));
            break;
        default:
            break;
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

bool PlayerSelection::listKey(WParam key)
{
    const std::size_t count = names_.size();
    switch (key) {
        case VK_UP:
        case VK_DOWN: {
            if (count == 0) {
                return true;
            }
            const bool onName =
                selectedIndex_ >= 0 && static_cast<std::size_t>(selectedIndex_) < count;
            std::size_t next = 0;
            if (onName) {
                const auto at = static_cast<std::size_t>(selectedIndex_);
                next = key == VK_DOWN ? std::min(at + 1, count - 1) : (at > 0 ? at - 1 : 0);
            }
            selectedIndex_ = static_cast<std::int32_t>(next);
            nameField_ = names_[next];
            // The picked name stays in view.
            if (next < firstVisible_) {
                firstVisible_ = next;
            } else if (next >= firstVisible_ + kVisibleRows) {
                firstVisible_ = next + 1 - kVisibleRows;
            }
            return true;
        }
        case VK_PRIOR:
        case VK_NEXT:
            for (std::size_t i = 0; i < kVisibleRows; ++i) {
                runCommand(key == VK_PRIOR ? kPlayerUp : kPlayerDown);
            }
            return true;
        case VK_HOME:
            firstVisible_ = 0;
            return true;
        case VK_END:
            firstVisible_ = count > kVisibleRows ? count - kVisibleRows : 0;
            return true;
        default:
            return false;
    }
}

void PlayerSelection::clickRow()
{
    const std::int32_t x = game_.pointerX();
    const std::int32_t y = game_.pointerY();
    if (x < kClickLeft || x > kClickRight || y < kClickTop || y > kClickBottom) {
        return;
    }
    const std::int32_t row = std::clamp((y - 170) / kRowStep, 0, 8);
    selectedIndex_ = static_cast<std::int32_t>(firstVisible_) + row;
    if (static_cast<std::size_t>(selectedIndex_) < names_.size()) {
        nameField_ = names_[static_cast<std::size_t>(selectedIndex_)];
    }
}

void PlayerSelection::runCommand(std::int32_t command)
{
    switch (command) {
        case kPlayerOk: {
            if (nameField_.empty()) {
                return;
            }
            if (game::findPlayer(names_, nameField_)) {
                // Only from the menu, and only for the player in play, is his password there.
                const bool prefill = !startupMode_ && nameField_ == state_.currentPlayer.nameView();
                askPassword(PendingAction::Switch, !prefill);
                return;
            }
            // A player past the listed 255 still has his record: never create over it.
            if (game::hasRecordFile(playerFolder_, nameField_)) {
                askPassword(PendingAction::Switch, true);
                return;
            }
            if (const auto refusal = game::refusedName(nameField_)) {
                game_.saveProblems().tell(*refusal);
                return;
            }
            askPassword(PendingAction::Create, true);
            return;
        }
        case kPlayerUp:
            if (firstVisible_ > 0) {
                --firstVisible_;
            }
            return;
        case kPlayerDown:
            if (names_.size() - firstVisible_ > kVisibleRows) {
                ++firstVisible_;
            }
            return;
        case kPlayerDelete:
            if (game::findPlayer(names_, nameField_)) {
                askPassword(PendingAction::Delete, true);
            }
            return;
        default:
            return;
    }
}

void PlayerSelection::askPassword(PendingAction action, bool startEmpty)
{
    pendingAction_ = action;
    enteredPassword_.clear();
    // The box in front has its own ring; this panel's would show around its edges.
    ring().hide();
    passwordDialog_ = std::make_unique<PasswordEntry>(game_, "ep_fon", startEmpty,
                                                      state_.currentPlayer.passwordView(), *this);
}

const panels::Button* PlayerSelection::focusedButton() const
{
    return passwordDialog_ ? passwordDialog_->focusedButton() : ButtonPanel::focusedButton();
}

void PlayerSelection::passwordClosed(std::string password)
{
    enteredPassword_ = std::move(password);
    passwordDialog_.reset();
}

void PlayerSelection::completePendingAction()
{
    game::Scores& scores = game_.scores();
    if (pendingAction_ == PendingAction::Create) {
        std::string why;
        if (!game::createPlayer(state_, scores, playerFolder_, nameField_, enteredPassword_,
                                &why)) {
            game_.saveProblems().report("the record of " + nameField_, why);
        }
        game_.closeModalPanel();
        return;
    }
    if (pendingAction_ != PendingAction::Switch && pendingAction_ != PendingAction::Delete) {
        return;
    }
    const bool switching = pendingAction_ == PendingAction::Switch;
    game::PlayerProblem problem;
    const game::PlayerCheck check =
        switching ? game::switchPlayer(state_, scores, playerFolder_, nameField_, enteredPassword_,
                                       &problem)
                  : game::deletePlayer(state_, scores, playerFolder_, nameField_, enteredPassword_,
                                       &problem);
    tellProblem(problem);
    switch (check) {
        case game::PlayerCheck::Accepted:
            if (switching) {
                game_.closeModalPanel();  // this panel is gone now
            } else {
                resetAfterRemoval();
            }
            return;
        case game::PlayerCheck::Damaged:
            resetAfterRemoval();
            return;
        case game::PlayerCheck::Unreadable:
            // He stays listed, his files untouched, for another try.
            pendingAction_ = PendingAction::None;
            enteredPassword_.clear();
            return;
        case game::PlayerCheck::WrongPassword:
            return;
    }
}

void PlayerSelection::tellProblem(const game::PlayerProblem& problem)
{
    if (!problem.line.empty()) {
        game_.saveProblems().tell(problem.line, problem.shown);
    }
}

void PlayerSelection::resetAfterRemoval()
{
    names_ = game::listPlayers(playerFolder_);
    firstVisible_ = 0;
    selectedIndex_ = -1;
    pendingAction_ = PendingAction::None;
    enteredPassword_.clear();
    nameField_.clear();
}

void PlayerSelection::draw()
{
    ButtonPanel::draw();
    panels::setCommonTextStyle();
    graphics::Display& display = graphics::display();
    std::int32_t y = kFirstRowY;
    for (std::size_t index = firstVisible_; index < names_.size() && y < kRowsEndY; ++index) {
        display.drawText(kRowsX, y, names_[index]);
        if (static_cast<std::int32_t>(index) == selectedIndex_) {
            display.invertRect(kMarkX, y, kMarkWidth, kRowStep);
        }
        y += kRowStep;
    }
    std::string field = nameField_;
    if (blinkCounter_ < kBlinkShown && !passwordDialog_) {
        field += '_';
    }
    if (++blinkCounter_ > kBlinkLast) {
        blinkCounter_ = 0;
    }
    display.drawText(kNameFieldX, kNameFieldY, field);
    if (passwordDialog_) {
        passwordDialog_->draw();
    }
}

void PlayerSelection::describe(nlohmann::ordered_json& fields) const
{
    nlohmann::ordered_json names = nlohmann::ordered_json::array();
    for (const std::string& name : names_) {
        names.push_back(cp1252ToUtf8(name));
    }
    fields["startupMode"] = startupMode_;
    fields["names"] = std::move(names);
    fields["firstVisible"] = firstVisible_;
    fields["nameField"] = cp1252ToUtf8(nameField_);
    fields["selectedIndex"] = selectedIndex_;
    fields["pendingAction"] = static_cast<std::int32_t>(pendingAction_);
    if (passwordDialog_) {
        fields["password"] = {{"startEmpty", passwordDialog_->startsEmpty()},
                              {"length", passwordDialog_->field().size()}};
    } else {
        fields["password"] = nullptr;
    }
}

}  // namespace wordlark::screens
