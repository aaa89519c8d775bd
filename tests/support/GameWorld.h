// GameWorld.h -- a whole small world for the game's tests: a program folder holding the built
// archive, a headless desktop with the game's window, the display, the archives and the game.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "archive/ArchiveRegistry.h"
#include "game/Game.h"
#include "game/ScreenOpener.h"
#include "game/Settings.h"
#include "graphics/Display.h"
#include "graphics/PictureClasses.h"
#include "platform/Desktop.h"
#include "platform/headless/HeadlessDesktop.h"
#include "support/TempDir.h"
#include "support/TestBackends.h"

namespace wordlark::test {

// Everything is made in order and taken down in the reverse order; the window procedure does
// what the game's own does with input (the pointer, then the game) and notes a close request.
class GameWorld {
public:
    // The archive is the one the build made; `screens` opens what the game asks for.
    explicit GameWorld(game::ScreenOpener& screens) : screens_(screens)
    {
        std::filesystem::copy_file(std::string(WORDLARK_BUILD_DIR) + "/vek.heap",
                                   dir.file("vek.heap"));
        std::filesystem::create_directory(dir.file("save"));
        platform::setDesktop(&desktop);
        window = desktop.createWindow(
            "test", 0, 0, 640, 480,
            [this](platform::WindowId, platform::MessageId m, platform::WParam w,
                   platform::LParam l) { return procedure(m, w, l); });
        platform::setMainWindow(window);
        graphics::display().open(window);
        graphics::registerPictureClasses();
        registry = std::make_unique<archive::ArchiveRegistry>(dir.folder());
    }
    ~GameWorld()
    {
        game.reset();
        registry.reset();
        graphics::display().close();
        platform::setMainWindow(platform::kNoWindow);
        // The test program's own desktop is current again for the next test.
        platform::setDesktop(&wordlark::test::headlessDesktop());
    }
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // Makes the game as start-up does, its random sequence fixed by `seed`; false when it
    // could not load its pictures or words.
    bool makeGame(std::uint32_t seed = 7)
    {
        game = std::make_unique<game::Game>("fon1", "vek.heap", *registry, dir.folder(), screens_,
                                            settings);
        const bool loaded = game->loadImages();
        game->state().random.seed(seed);
        return loaded;
    }

    // Posts a message to the window and lets the queue run dry.
    void post(platform::MessageId message, platform::WParam wParam = 0, platform::LParam lParam = 0)
    {
        platform::postMessage(window, message, wParam, lParam);
        desktop.pump();
    }

    TempDir dir;
    // Kept beside the data, as with --data.
    game::Settings settings{dir.file("settings.json")};
    platform::headless::HeadlessDesktop desktop;
    platform::WindowId window = platform::kNoWindow;
    std::unique_ptr<archive::ArchiveRegistry> registry;
    std::unique_ptr<game::Game> game;
    bool closed = false;

private:
    platform::LResult procedure(platform::MessageId message, platform::WParam wParam,
                                platform::LParam lParam)
    {
        if (message == platform::WM_CLOSE) {
            closed = true;
            return 0;
        }
        if (game == nullptr) {
            return 0;
        }
        if (message == platform::WM_MOUSEMOVE) {
            game->setPointer(platform::pointX(lParam), platform::pointY(lParam));
        }
        game->handleInput(message, wParam, lParam);
        return 0;
    }

    game::ScreenOpener& screens_;
};

}  // namespace wordlark::test
