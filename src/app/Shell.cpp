#include "app/Shell.h"

#include <ctime>

#include "app/MainWindow.h"
#include "archive/ArchiveRegistry.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "graphics/Display.h"
#include "panels/ImageReferences.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"
#include "platform/Random.h"
#include "screens/GameScreens.h"
#include "words/Dictionary.h"

namespace wordlark::app {

using namespace platform;

Shell::Shell(std::string dataFolder, std::string playerFolder, std::optional<std::uint32_t> seed,
             std::string executableFolder, game::Settings& settings)
    : dataFolder_(std::move(dataFolder)),
      playerFolder_(std::move(playerFolder)),
      seed_(seed),
      executableFolder_(std::move(executableFolder)),
      settings_(settings)
{
}

Shell::~Shell()
{
    // A loop that was never run to its end leaves the window (and everything) up.
    if (window_ != kNoWindow) {
        desktop().destroyWindow(window_);
    }
    shutDown(window_);
}

bool Shell::createMainWindow(ShowCommand show)
{
    const Point screen = desktop().screenSize();
    procedure_ = std::make_unique<MainWindow>(*this);
    MainWindow* procedure = procedure_.get();
    const WindowId window = desktop().createWindow(
        "Wordlark", (screen.x - kWindowWidth) / 2, (screen.y - kWindowHeight) / 2, kWindowWidth,
        kWindowHeight, [procedure](WindowId w, MessageId m, WParam wp, LParam lp) {
            return procedure->procedure(w, m, wp, lp);
        });
    if (window == kNoWindow) {
        failure_ = "cannot create the window";
        return false;
    }
    window_ = window;
    setMainWindow(window);
    if (!initialise(window)) {
        shutDown(window);
        desktop().destroyWindow(window);
        window_ = kNoWindow;
        setMainWindow(kNoWindow);
        return false;
    }
    desktop().removeMenuItem(window, SC_SIZE);
    desktop().removeMenuItem(window, SC_MAXIMIZE);
    desktop().showWindow(window, show);
    game_->state().random.seed(seed_ ? *seed_ : static_cast<std::uint32_t>(std::time(nullptr)));
    return true;
}

void Shell::showFirstFrame()
{
    if (game_ && graphics::display().isReady()) {
        game_->drawScreen();
        graphics::display().present();
    }
}

int Shell::runMessageLoop()
{
    Message message;
    while (getMessage(message)) {
        dispatchMessage(message);
    }
    window_ = kNoWindow;
    setMainWindow(kNoWindow);
    return static_cast<int>(message.wParam);
}

bool Shell::initialise(WindowId window)
{
    if (!graphics::display().open(window)) {
        failure_ = "cannot open the display";
        return false;
    }
    registry_ = std::make_unique<archive::ArchiveRegistry>(dataFolder_);
    screens_ = std::make_unique<screens::GameScreens>();
    // The window procedure sees the game only once it is whole.
    auto created = std::make_unique<game::Game>("fon1", "vek.heap", *registry_, playerFolder_,
                                                *screens_, settings_);
    game_ = std::move(created);
    game::Game* instance = game_.get();
    instance->requestDeal(dealRequest_);
    if (!instance->loadImages()) {
        // The dictionary says what let it down: the archive, the word list or another entry
        // whose damage stopped the archive being read before the words were reached. With the
        // words loaded, the archive's first damaged entry is the one to name.
        const words::Dictionary* dictionary = instance->dictionary();
        const archive::Archive* heap = registry_->openArchive("vek.heap");
        failure_ = dictionary != nullptr && !dictionary->failure().empty() ? dictionary->failure()
                   : heap != nullptr && !heap->firstFailure().empty()
                       ? heap->firstFailure()
                       : "cannot read the word list from " + dataFolder_ + "vek.heap";
        return false;
    }
    frameTimer_ = desktop().setTimer(window, kFrameTimer, kFrameMilliseconds);
    return true;
}

void Shell::shutDown(WindowId window)
{
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    if (frameTimer_ != 0) {
        desktop().killTimer(window, frameTimer_);
        frameTimer_ = 0;
    }
    // Nothing may reach the game while it is being taken apart: the window procedure finds
    // no game from the moment the pointer is moved out.
    std::unique_ptr<game::Game> gone = std::move(game_);
    gone.reset();
    screens_.reset();
    graphics::display().close();
    registry_.reset();
    if (!executableFolder_.empty()) {
        desktop().launchProgram(executableFolder_ + kCompanionProgram);
    }
}

}  // namespace wordlark::app
