#include "app/MainWindow.h"

#include "app/Shell.h"
#include "game/Game.h"
#include "graphics/Display.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"

namespace wordlark::app {

using namespace platform;

LResult MainWindow::procedure(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    game::Game* game = shell_.game();
    if (game == nullptr) {
        return defaultProcedure(window, message, wParam, lParam);
    }
    graphics::Display& display = graphics::display();

    switch (message) {
        case WM_DESTROY:
            quitting_ = true;
            shell_.shutDown(window);
            postQuitMessage(0);
            return defaultProcedure(window, message, wParam, lParam);
        case WM_SETFOCUS:
            if (display.isReady()) {
                display.selectPalette();
            }
            inactive_ = false;
            return defaultProcedure(window, message, wParam, lParam);
        case WM_PAINT:
            // The frame is composed on the timer only; a repaint while away shows the last one.
            if (inactive_) {
                display.present();
            }
            return defaultProcedure(window, message, wParam, lParam);
        case WM_SETCURSOR:
            if (loWord(static_cast<std::uintptr_t>(lParam)) == HTCAPTION) {
                setCursor(CursorShape::Game);
                return 1;
            }
            return defaultProcedure(window, message, wParam, lParam);
        case WM_NCHITTEST:
            return hitTest(window, wParam, lParam);
        default:
            break;
    }

    if (inactive_) {
        return defaultProcedure(window, message, wParam, lParam);
    }

    switch (message) {
        case WM_MOVE:
            // Moving the window must never stall the frames.
            return 1;
        case WM_KILLFOCUS:
            if (quitting_) {
                return 1;
            }
            if (display.isReady()) {
                display.restorePalette();
            }
            inactive_ = true;
            return 1;
        case WM_ERASEBKGND:
            return 0;
        case WM_ACTIVATEAPP:
            return 1;
        case WM_DISPLAYCHANGE:
            display.reattachWindow();
            return 1;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
            return frameButton(window, message, wParam, lParam);
        case WM_TIMER:
            game->drawScreen();
            display.present();
            return 1;
        case WM_INITMENUPOPUP:
            if (wParam == window) {
                desktop().enableMenuItem(window, SC_MINIMIZE, true);
            }
            return 1;
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU && pointerSaved_) {
                setCursorPosition(savedX_, savedY_);
                showCursor(true);
                pointerSaved_ = false;
                return 0;
            }
            return 1;
        case WM_MOUSEMOVE:
            game->setPointer(pointX(lParam), pointY(lParam));
            game->handleInput(message, wParam, lParam);
            return 1;
        case WM_SYSCHAR:
            // The character Alt+Enter types: the system would answer it with a beep.
            return wParam == '\r' ? 1 : defaultProcedure(window, message, wParam, lParam);
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MOUSEWHEEL:
        case WM_BUTTON_COMMAND:
            game->handleInput(message, wParam, lParam);
            return 1;
        default:
            return defaultProcedure(window, message, wParam, lParam);
    }
}

LResult MainWindow::hitTest(WindowId window, WParam wParam, LParam lParam)
{
    const LResult hit = defaultProcedure(window, WM_NCHITTEST, wParam, lParam);
    if (hit != HTCLIENT) {
        return hit;
    }
    const Rect rect = windowRect(window);
    const std::int32_t dx = pointX(lParam) - rect.left;
    const std::int32_t dy = pointY(lParam) - rect.top;
    if (dy < kMenuCornerHeight && dx < kMenuCornerWidth) {
        return HTMENU;
    }
    if (dy < kCaptionHeight && dx < kCaptionRight) {
        return HTCAPTION;
    }
    return hit;
}

LResult MainWindow::frameButton(WindowId window, MessageId message, WParam wParam, LParam lParam)
{
    if (static_cast<LResult>(wParam) == HTMENU) {
        // The menu opens at the pointer: park the pointer, hidden, in the window's corner so
        // the menu drops from there, and bring it back once the menu is up.
        const Rect rect = windowRect(window);
        pointerSaved_ = true;
        savedX_ = loWord(static_cast<std::uintptr_t>(lParam));
        savedY_ = hiWord(static_cast<std::uintptr_t>(lParam));
        setCursorPosition(rect.left + 5, rect.top + 5);
        showCursor(false);
        lParam = makeLParam(rect.left + 5, rect.top + 5);
    }
    return defaultProcedure(window, message, wParam, lParam);
}

}  // namespace wordlark::app
