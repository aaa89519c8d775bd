#include "platform/web/WebDesktop.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/web/WebInput.h"

namespace wordlark::platform::web {

namespace {

constexpr const char* kCanvas = "#canvas";

// Sleeps on the browser's event loop until the page's wake call (an event arrived) or `ms`.
// (The JavaScript lives in page.js: formatting C++ would break arrows written here.)
EM_ASYNC_JS(void, waitForEvents, (int ms), { await Module.wordlark.waitForEvents(ms); });

void wake()
{
    EM_ASM({
        if (Module.wordlark.wake) {
            Module.wordlark.wake();
        }
    });
}

WebDesktop& desktopOf(void* user)
{
    return *static_cast<WebDesktop*>(user);
}

EM_BOOL onKey(int, const EmscriptenKeyboardEvent* event, void* user)
{
    return desktopOf(user).keyDown(*event) ? EM_TRUE : EM_FALSE;
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* event, void* user)
{
    return desktopOf(user).mouse(type, *event) ? EM_TRUE : EM_FALSE;
}

EM_BOOL onTouch(int type, const EmscriptenTouchEvent* event, void* user)
{
    return desktopOf(user).touch(type, *event) ? EM_TRUE : EM_FALSE;
}

EM_BOOL onWheel(int, const EmscriptenWheelEvent* event, void* user)
{
    return desktopOf(user).wheel(*event) ? EM_TRUE : EM_FALSE;
}

EM_BOOL onFocus(int type, const EmscriptenFocusEvent*, void* user)
{
    desktopOf(user).focus(type == EMSCRIPTEN_EVENT_FOCUS);
    return EM_FALSE;
}

}  // namespace

WebDesktop::WebDesktop(const DisplayMode& mode)
{
    Desktop::setDisplayMode(mode);
    // Keys reach the game wherever the page has the focus; a press starts on the canvas, and
    // the moves and release of a held button are followed over the whole page.
    const char* page = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_keydown_callback(page, this, EM_TRUE, onKey);
    emscripten_set_mousedown_callback(kCanvas, this, EM_TRUE, onMouse);
    emscripten_set_mousemove_callback(page, this, EM_TRUE, onMouse);
    emscripten_set_mouseup_callback(page, this, EM_TRUE, onMouse);
    emscripten_set_touchstart_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_touchmove_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_touchend_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_touchcancel_callback(kCanvas, this, EM_TRUE, onTouch);
    emscripten_set_wheel_callback(kCanvas, this, EM_TRUE, onWheel);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onFocus);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onFocus);
}

WebDesktop::~WebDesktop()
{
    emscripten_html5_remove_all_event_listeners();
}

Point WebDesktop::screenSize() const
{
    const int width = EM_ASM_INT({ return Module.wordlark.pageSize()[0]; });
    const int height = EM_ASM_INT({ return Module.wordlark.pageSize()[1]; });
    return {width, height};
}

void WebDesktop::setDisplayMode(const DisplayMode& mode)
{
    Desktop::setDisplayMode(mode);
    EM_ASM({ Module.wordlark.setDisplay($0, $1, $2); }, mode.scale, mode.fullscreen ? 1 : 0,
           mode.smooth ? 1 : 0);
}

WindowId WebDesktop::createWindow(const std::string& title, std::int32_t, std::int32_t,
                                  std::int32_t width, std::int32_t height,
                                  WindowProcedure procedure)
{
    // The page has one canvas: the game's main window; no other is made.
    if (width <= 0 || height <= 0 || !procedure || mainWindow_ != kNoWindow) {
        return kNoWindow;
    }
    auto state = std::make_unique<WindowState>();
    state->width = width;
    state->height = height;
    mainWindow_ = addWindow(std::move(state), std::move(procedure));
    EM_ASM({ document.title = UTF8ToString($0); }, title.c_str());
    setDisplayMode(displayMode());
    return mainWindow_;
}

void WebDesktop::showWindow(WindowId window, ShowCommand command)
{
    // Minimising means nothing to a page: the canvas stays.
    if (command == ShowCommand::Hide || find(window) == nullptr) {
        return;
    }
    giveFocus(window);
    invalidateWindow(window);
}

Rect WebDesktop::windowRect(WindowId window) const
{
    const WindowState* state = findAs<WindowState>(window);
    if (state == nullptr) {
        return {};
    }
    return {0, 0, state->width, state->height};
}

void WebDesktop::windowDestroyed(WindowId window, WindowRecord&)
{
    if (window == mainWindow_) {
        mainWindow_ = kNoWindow;
    }
}

bool WebDesktop::getMessage(Message& message)
{
    for (;;) {
        // The files the last message saved go to the browser's storage before anything else.
        EM_ASM({ Module.wordlark.syncFiles(); });
        if (const std::optional<bool> got = takeWaiting(message)) {
            return *got;
        }
        const int wait = untilNextTimer();
        // Without a timer the page still wakes now and then: nothing is lost by it.
        waitForEvents(wait < 0 ? 1000 : std::max(wait, 1));
    }
}

std::uint64_t WebDesktop::tickCount() const
{
    return static_cast<std::uint64_t>(emscripten_get_now());
}

int WebDesktop::showCursor(bool show)
{
    const int counter = QueuedDesktop::showCursor(show);
    EM_ASM({ Module.wordlark.showPointer($0); }, counter >= 0 ? 1 : 0);
    return counter;
}

bool WebDesktop::setClipboardText(const std::string& text)
{
    clipboard_ = text;
    return EM_ASM_INT({ return Module.wordlark.copy(UTF8ToString($0)); }, text.c_str()) != 0;
}

bool WebDesktop::openHelp(const std::string& path, std::string* why)
{
    // The page's folder holds the help under the name the data gives it.
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (EM_ASM_INT({ return Module.wordlark.openPage(UTF8ToString($0)); }, name.c_str()) != 0) {
        return true;
    }
    if (why != nullptr) {
        *why = "the browser would not open a new tab";
    }
    return false;
}

bool WebDesktop::keyDown(const EmscriptenKeyboardEvent& event)
{
    if (mainWindow_ == kNoWindow) {
        return false;
    }
    const bool shortcut = event.ctrlKey != 0 || event.metaKey != 0;
    bool taken = false;
    if (const std::optional<WParam> key = virtualKey(event.key, event.code)) {
        postMessage(mainWindow_, WM_KEYDOWN, *key,
                    keyFlags(event.repeat != 0, event.shiftKey != 0, event.altKey != 0));
        // The browser keeps its own shortcuts (Ctrl+R, Ctrl+C); the game's keys are its alone,
        // so that Tab, the arrows, Space and the F keys neither move the page nor open the
        // browser's own help or search.
        taken = !shortcut;
    }
    for (const char byte : typedText(event.key, shortcut)) {
        postMessage(mainWindow_, WM_CHAR, static_cast<unsigned char>(byte), 1);
        taken = true;
    }
    wake();
    return taken;
}

void WebDesktop::pointerAt(MessageId clientMessage, MessageId frameMessage, double x, double y,
                           double shownWidth, double shownHeight)
{
    if (mainWindow_ == kNoWindow) {
        return;
    }
    pointer_ = toFrame(x, y, shownWidth, shownHeight);
    routePointer(mainWindow_, clientMessage, frameMessage, pointer_);
    wake();
}

bool WebDesktop::mouse(int eventType, const EmscriptenMouseEvent& event)
{
    double shownWidth = 0;
    double shownHeight = 0;
    emscripten_get_element_css_size(kCanvas, &shownWidth, &shownHeight);
    // The page's own moves count only over the canvas, or while a button held there is down.
    const bool over = event.canvasX >= 0 && event.canvasY >= 0 && event.canvasX < shownWidth &&
                      event.canvasY < shownHeight;
    if (eventType == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        if (over || buttons() != 0) {
            pointerAt(WM_MOUSEMOVE, 0, event.canvasX, event.canvasY, shownWidth, shownHeight);
        }
        return false;
    }
    WParam bit = 0;
    MessageId client = 0;
    MessageId frame = 0;
    const bool down = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN;
    if (event.button == 0) {
        bit = MK_LBUTTON;
        client = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        frame = down ? WM_NCLBUTTONDOWN : WM_NCLBUTTONUP;
    } else if (event.button == 2) {
        bit = MK_RBUTTON;
        client = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    } else {
        return false;
    }
    // A release over the page counts only for a button pressed on the canvas.
    if (!down && (buttons() & bit) == 0) {
        return false;
    }
    setButton(bit, down);
    pointerAt(client, frame, event.canvasX, event.canvasY, shownWidth, shownHeight);
    return down;
}

bool WebDesktop::touch(int eventType, const EmscriptenTouchEvent& event)
{
    // The first finger down is the left button; the others are ignored until it lifts.
    double shownWidth = 0;
    double shownHeight = 0;
    emscripten_get_element_css_size(kCanvas, &shownWidth, &shownHeight);
    for (int i = 0; i < event.numTouches; ++i) {
        const EmscriptenTouchPoint& point = event.touches[i];
        if (point.isChanged == 0) {
            continue;
        }
        const int id = static_cast<int>(point.identifier);
        if (eventType == EMSCRIPTEN_EVENT_TOUCHSTART && touchId_ < 0) {
            touchId_ = id;
            pointerAt(WM_MOUSEMOVE, 0, point.targetX, point.targetY, shownWidth, shownHeight);
            setButton(MK_LBUTTON, true);
            pointerAt(WM_LBUTTONDOWN, WM_NCLBUTTONDOWN, point.targetX, point.targetY, shownWidth,
                      shownHeight);
        } else if (id == touchId_ && eventType == EMSCRIPTEN_EVENT_TOUCHMOVE) {
            pointerAt(WM_MOUSEMOVE, 0, point.targetX, point.targetY, shownWidth, shownHeight);
        } else if (id == touchId_) {
            touchId_ = -1;
            setButton(MK_LBUTTON, false);
            pointerAt(WM_LBUTTONUP, WM_NCLBUTTONUP, point.targetX, point.targetY, shownWidth,
                      shownHeight);
        }
    }
    // The browser makes no mouse events of its own from the touches, nor scrolls the page.
    return true;
}

bool WebDesktop::wheel(const EmscriptenWheelEvent& event)
{
    if (mainWindow_ == kNoWindow || event.deltaY == 0) {
        return false;
    }
    // A page scrolls down for a positive delta, which is a turn towards the player; however
    // fine the wheel, each event is a notch.
    postMessage(mainWindow_, WM_MOUSEWHEEL, makeWheelWParam(event.deltaY > 0 ? -1 : 1), 0);
    wake();
    return true;
}

void WebDesktop::focus(bool gained)
{
    if (mainWindow_ == kNoWindow) {
        return;
    }
    if (gained) {
        if (giveFocus(mainWindow_)) {
            invalidateWindow(mainWindow_);
        }
    } else {
        takeFocus(mainWindow_);
    }
    wake();
}

}  // namespace wordlark::platform::web
