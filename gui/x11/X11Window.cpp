#include "gui/x11/X11Window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "gui/CFrame.h"
#include "gui/Messages.h"
#include "gui/Utf8.h"
#include "gui/x11/X11AlertWindow.h"
#include "gui/x11/X11ImageCopy.h"

namespace VSTGUI {

struct X11Window::State {
  Display* display = nullptr;
  Window window = 0;
  std::unique_ptr<X11ImageCopy> copier;
  CFrame* frame = nullptr;
  int errors = 0;
  bool inEvents = false;
  // The last press, for double clicks.
  unsigned int lastButton = 0;
  Time lastPressTime = 0;
  int lastPressX = -100;
  int lastPressY = -100;
  unsigned long doubleClickTime = 400;
  // The input method and context that turn key presses into UTF-8; null without one.
  XIM inputMethod = nullptr;
  XIC inputContext = nullptr;
  // The focus before we took the keyboard, to give it back.
  bool hasKeyboard = false;
  Window previousFocus = 0;
  int previousRevert = RevertToParent;
  // The open pop-up.
  Window popup = 0;
  std::unique_ptr<X11ImageCopy> popupCopier;
  int popupWidth = 0;
  int popupHeight = 0;
  // The alerts this window showed, on connections of their own.
  X11AlertList alerts;
};

namespace {

constexpr int kDoubleClickDistance = 4;

// Every connection we opened, for the error handler and for hosts that hand events to
// _XEventProc; and connections of ours without a frame (alert windows), whose errors are
// ignored too. Guarded because two hosts' threads may open editors.
std::mutex registryMutex;
std::vector<X11Window::State*> registry;
std::vector<Display*> otherConnections;
XErrorHandler previousHandler = nullptr;

int onXError(Display* display, XErrorEvent* error) {
  {
    std::lock_guard lock(registryMutex);
    for (X11Window::State* state : registry)
      if (state->display == display) {
        ++state->errors;
        return 0;
      }
    if (std::find(otherConnections.begin(), otherConnections.end(), display) !=
        otherConnections.end())
      return 0;
  }
  return previousHandler ? previousHandler(display, error) : 0;
}

// With the lock held: our handler is in place while any connection of ours is open.
void handlerFirstUser() {
  if (registry.size() + otherConnections.size() == 1) previousHandler = XSetErrorHandler(onXError);
}

void handlerLastUser() {
  if (!registry.empty() || !otherConnections.empty()) return;
  // Put the old handler back only if nobody installed another one after ours.
  XErrorHandler current = XSetErrorHandler(previousHandler);
  if (current != onXError) XSetErrorHandler(current);
  previousHandler = nullptr;
}

void registerState(X11Window::State* state) {
  std::lock_guard lock(registryMutex);
  registry.push_back(state);
  handlerFirstUser();
}

void unregisterState(X11Window::State* state) {
  std::lock_guard lock(registryMutex);
  registry.erase(std::remove(registry.begin(), registry.end(), state), registry.end());
  handlerLastUser();
}

long modifierBits(unsigned int state) {
  long bits = 0;
  if (state & Button1Mask) bits |= kLButton;
  if (state & Button2Mask) bits |= kMButton;
  if (state & Button3Mask) bits |= kRButton;
  if (state & ShiftMask) bits |= kShift;
  if (state & ControlMask) bits |= kControl;
  if (state & Mod1Mask) bits |= kAlt;
  return bits;
}

long buttonBit(unsigned int button) {
  switch (button) {
    case Button1:
      return kLButton;
    case Button2:
      return kMButton;
    case Button3:
      return kRButton;
    case 8:
      return kButton4;
    case 9:
      return kButton5;
    default:
      return 0;
  }
}

// What a key press types, as UTF-8, through the input method where there is one: one
// character usually, several when the input method commits a composed text. Without one,
// Latin-1 keys give their own code and Unicode keysyms theirs.
std::string typedText(XKeyEvent& event, XIC inputContext, KeySym& symbol) {
  if (inputContext && event.type == KeyPress) {
    std::string text(64, '\0');
    Status status = 0;
    int length = Xutf8LookupString(inputContext, &event, text.data(), static_cast<int>(text.size()),
                                   &symbol, &status);
    if (status == XBufferOverflow) {
      text.resize(static_cast<std::size_t>(length));
      length = Xutf8LookupString(inputContext, &event, text.data(), length, &symbol, &status);
    }
    if (status != XLookupChars && status != XLookupBoth) return {};
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
  }
  char text[32] = {};
  const int length = XLookupString(&event, text, sizeof text - 1, &symbol, nullptr);
  std::string typed;
  if (symbol >= 0x01000100 && symbol <= 0x0110FFFF)
    utf8::append(typed, static_cast<char32_t>(symbol - 0x01000000));
  else if (length == 1)
    utf8::append(typed, static_cast<unsigned char>(text[0]));
  return typed;
}

// The key of a press or release; `typed` gets the text it types.
VstKeyCode keyCodeOf(XKeyEvent& event, XIC inputContext, std::string& typed) {
  KeySym symbol = NoSymbol;
  typed = typedText(event, inputContext, symbol);
  VstKeyCode key;
  switch (symbol) {
    case XK_BackSpace:
      key.virt = VKEY_BACK;
      break;
    case XK_Tab:
      key.virt = VKEY_TAB;
      break;
    case XK_Return:
      key.virt = VKEY_RETURN;
      break;
    case XK_KP_Enter:
      key.virt = VKEY_ENTER;
      break;
    case XK_Escape:
      key.virt = VKEY_ESCAPE;
      break;
    case XK_space:
      key.virt = VKEY_SPACE;
      break;
    case XK_End:
      key.virt = VKEY_END;
      break;
    case XK_Home:
      key.virt = VKEY_HOME;
      break;
    case XK_Left:
      key.virt = VKEY_LEFT;
      break;
    case XK_Up:
      key.virt = VKEY_UP;
      break;
    case XK_Right:
      key.virt = VKEY_RIGHT;
      break;
    case XK_Down:
      key.virt = VKEY_DOWN;
      break;
    case XK_Delete:
      key.virt = VKEY_DELETE;
      break;
    default:
      key.character = static_cast<long>(utf8::decodeFirst(typed));
  }
  if (key.virt) typed.clear();
  if (event.state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
  if (event.state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
  if (event.state & ControlMask) key.modifier |= MODIFIER_COMMAND;
  return key;
}

// A key press reaches the frame as one key per character it types, so that a text an
// input method commits arrives whole.
template <typename Deliver>
void deliverKeyPress(XKeyEvent& event, XIC inputContext, Deliver deliver) {
  std::string typed;
  VstKeyCode key = keyCodeOf(event, inputContext, typed);
  if (typed.empty() || key.virt) {
    deliver(key);
    return;
  }
  for (std::size_t at = 0; at < typed.size(); at = utf8::next(typed, at)) {
    key.character = static_cast<long>(utf8::decodeFirst(std::string_view(typed).substr(at)));
    deliver(key);
  }
}

// Only the latest position of a run of moves matters: the moves queued right after this
// one replace it. A move queued after a release or a press belongs to another gesture and
// stays where it is.
void takeLatestMove(Display* display, Window window, XEvent& event) {
  while (XEventsQueued(display, QueuedAlready) > 0) {
    XEvent next;
    XPeekEvent(display, &next);
    if (next.type != MotionNotify || next.xany.window != window) return;
    XNextEvent(display, &event);
  }
}

// `queued`: the event came from our own connection's queue (not from a host that
// forwards events), so the moves queued after it may be folded into it.
void dispatch(X11Window::State& state, XEvent& event, bool queued) {
  CFrame& frame = *state.frame;
  switch (event.type) {
    case Expose: {
      const XExposeEvent& expose = event.xexpose;
      CRect area(expose.x, expose.y, expose.x + expose.width, expose.y + expose.height);
      frame.redrawArea(area);
      break;
    }
    case ButtonPress: {
      XButtonEvent& press = event.xbutton;
      CPoint where(press.x, press.y);
      long buttons = modifierBits(press.state);
      if (press.button == Button4 || press.button == Button5) {
        frame.onWheel(where, press.button == Button4 ? 1.0f : -1.0f, buttons);
        break;
      }
      const long bit = buttonBit(press.button);
      if (!bit) break;
      buttons |= bit;
      const bool again = press.button == state.lastButton &&
                         press.time - state.lastPressTime <= state.doubleClickTime &&
                         std::abs(press.x - state.lastPressX) <= kDoubleClickDistance &&
                         std::abs(press.y - state.lastPressY) <= kDoubleClickDistance;
      if (again) buttons |= kDoubleClick;
      // A third press starts a new pair.
      state.lastButton = again ? 0 : press.button;
      state.lastPressTime = press.time;
      state.lastPressX = press.x;
      state.lastPressY = press.y;
      frame.onMouseDown(where, buttons);
      break;
    }
    case ButtonRelease: {
      XButtonEvent& release = event.xbutton;
      if (release.button == Button4 || release.button == Button5) break;
      CPoint where(release.x, release.y);
      const long buttons = modifierBits(release.state) & ~buttonBit(release.button);
      frame.onMouseUp(where, buttons);
      break;
    }
    case MotionNotify: {
      if (queued) takeLatestMove(state.display, state.window, event);
      CPoint where(event.xmotion.x, event.xmotion.y);
      frame.onMouseMoved(where, modifierBits(event.xmotion.state));
      break;
    }
    case EnterNotify: {
      CPoint where(event.xcrossing.x, event.xcrossing.y);
      frame.onMouseMoved(where, modifierBits(event.xcrossing.state));
      break;
    }
    case LeaveNotify: {
      CPoint where(event.xcrossing.x, event.xcrossing.y);
      frame.onMouseExited(where, modifierBits(event.xcrossing.state));
      break;
    }
    case KeyPress:
      deliverKeyPress(event.xkey, state.inputContext,
                      [&](VstKeyCode& key) { frame.onKeyDown(key); });
      break;
    case KeyRelease: {
      std::string typed;
      VstKeyCode key = keyCodeOf(event.xkey, state.inputContext, typed);
      frame.onKeyUp(key);
      break;
    }
    case FocusOut:
      // Another window took the keyboard (not our own pop-up's grab, nor the pointer's
      // window losing the keys it had while the focus followed the pointer): the edit ends.
      if (event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
          event.xfocus.detail != NotifyPointer && event.xfocus.detail != NotifyPointerRoot &&
          event.xfocus.detail != NotifyDetailNone && state.hasKeyboard) {
        state.hasKeyboard = false;
        frame.onKeyboardFocusLost();
      }
      break;
    default:
      break;
  }
}

void showPopupPicture(X11Window::State& state, cairo_surface_t* buffer) {
  if (!state.popupCopier || !buffer) return;
  state.popupCopier->copy(buffer, 0, 0, state.popupWidth, state.popupHeight);
  XFlush(state.display);
}

// The pop-up's events, in its coordinates: the grab sends it every press and key.
void dispatchPopup(X11Window::State& state, XEvent& event) {
  CFrame& frame = *state.frame;
  switch (event.type) {
    case Expose:
      showPopupPicture(state, frame.getPopupBuffer());
      break;
    case MotionNotify:
      takeLatestMove(state.display, state.popup, event);
      frame.popupMouseMoved(CPoint(event.xmotion.x, event.xmotion.y));
      break;
    case ButtonPress:
      if (event.xbutton.button == Button4 || event.xbutton.button == Button5) break;
      frame.popupMouseDown(CPoint(event.xbutton.x, event.xbutton.y),
                           modifierBits(event.xbutton.state) | buttonBit(event.xbutton.button));
      break;
    case ButtonRelease:
      if (event.xbutton.button == Button4 || event.xbutton.button == Button5) break;
      frame.popupMouseUp(CPoint(event.xbutton.x, event.xbutton.y),
                         modifierBits(event.xbutton.state) & ~buttonBit(event.xbutton.button));
      break;
    case KeyPress:
      deliverKeyPress(event.xkey, nullptr, [&](VstKeyCode& key) { frame.popupKeyDown(key); });
      break;
    default:
      break;
  }
}

// Some hosts read this property of an embedded window and hand it the window's events.
extern "C" void tavolaXEventProc(XEvent* event) {
  if (!event) return;
  X11Window::State* target = nullptr;
  {
    std::lock_guard lock(registryMutex);
    for (X11Window::State* state : registry)
      if (state->window == event->xany.window) target = state;
  }
  if (target && target->frame && !target->inEvents) {
    target->inEvents = true;
    dispatch(*target, *event, false);
    target->inEvents = false;
  }
}

unsigned long desktopDoubleClickTime(Display* display) {
  const char* setting = XGetDefault(display, "*", "multiClickTime");
  if (!setting) return 400;
  const long value = std::strtol(setting, nullptr, 10);
  return value > 0 && value < 5000 ? static_cast<unsigned long>(value) : 400;
}

}  // namespace

X11Window::X11Window(std::unique_ptr<State> state) : state_(std::move(state)) {}

void X11Window::guardConnection(Display* display) {
  std::lock_guard lock(registryMutex);
  otherConnections.push_back(display);
  handlerFirstUser();
}

void X11Window::releaseConnection(Display* display) {
  std::lock_guard lock(registryMutex);
  otherConnections.erase(std::remove(otherConnections.begin(), otherConnections.end(), display),
                         otherConnections.end());
  handlerLastUser();
}

std::unique_ptr<X11Window> X11Window::create(CFrame& frame, unsigned long parentWindow) {
  auto state = std::make_unique<State>();
  state->frame = &frame;
  state->display = XOpenDisplay(nullptr);
  if (!state->display) {
    reportMessage("cannot open the X display for the editor");
    return nullptr;
  }
  registerState(state.get());
  Display* display = state->display;
  const CRect& size = frame.getViewSize();
  const auto width = static_cast<unsigned int>(size.width());
  const auto height = static_cast<unsigned int>(size.height());

  XWindowAttributes parent{};
  if (!XGetWindowAttributes(display, parentWindow, &parent)) {
    char text[80];
    std::snprintf(text, sizeof text, "the host's editor window 0x%lx is not a window",
                  parentWindow);
    reportMessage(text);
    unregisterState(state.get());
    XCloseDisplay(display);
    return nullptr;
  }
  XSetWindowAttributes attributes{};
  // No background: the window shows only what we copy to it, so nothing flickers.
  attributes.background_pixmap = None;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                          StructureNotifyMask | FocusChangeMask;
  state->window =
      XCreateWindow(display, parentWindow, 0, 0, width, height, 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
  // The procedure's address as its bytes, all of them: as one 32-bit item the server
  // would keep only half of a 64-bit pointer, and a host would jump to the other half.
  void (*procedure)(XEvent*) = &tavolaXEventProc;
  unsigned char address[sizeof procedure];
  std::memcpy(address, &procedure, sizeof procedure);
  const Atom eventProc = XInternAtom(display, "_XEventProc", False);
  XChangeProperty(display, state->window, eventProc, eventProc, 8, PropModeReplace, address,
                  static_cast<int>(sizeof address));
  XMapWindow(display, state->window);
  state->copier = std::make_unique<X11ImageCopy>(display, state->window);
  state->doubleClickTime = desktopDoubleClickTime(display);
  state->inputMethod = XOpenIM(display, nullptr, nullptr, nullptr);
  if (state->inputMethod)
    state->inputContext =
        XCreateIC(state->inputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                  XNClientWindow, state->window, XNFocusWindow, state->window, nullptr);
  XSync(display, False);
  if (state->errors) {
    reportMessage("the X server refused the editor window");
    state->copier.reset();
    unregisterState(state.get());
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<X11Window>(new X11Window(std::move(state)));
}

X11Window::~X11Window() {
  hidePopup();
  setKeyboardFocus(false);
  Display* display = state_->display;
  if (state_->inputContext) XDestroyIC(state_->inputContext);
  if (state_->inputMethod) XCloseIM(state_->inputMethod);
  state_->copier.reset();
  // Gone already if the host destroyed its window first; the error is ours to ignore.
  XDestroyWindow(display, state_->window);
  XSync(display, True);
  unregisterState(state_.get());
  XCloseDisplay(display);
}

std::unique_ptr<PlatformWindow> openPlatformWindow(CFrame& frame, void* parent) {
  return X11Window::create(frame, reinterpret_cast<unsigned long>(parent));
}

void* desktopRootWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    reportMessage("cannot open the X display for the editor");
    return nullptr;
  }
  // The same id on every connection to this display.
  const Window root = DefaultRootWindow(display);
  XCloseDisplay(display);
  return reinterpret_cast<void*>(root);
}

void X11Window::setTitle(std::string_view title) {
  const std::string text(title);
  XStoreName(state_->display, state_->window, text.c_str());
  XFlush(state_->display);
}

void X11Window::handleEvents(CFrame& frame) {
  State& state = *state_;
  if (state.inEvents) return;
  state.inEvents = true;
  state.frame = &frame;
  while (XPending(state.display)) {
    XEvent event;
    XNextEvent(state.display, &event);
    // The input method may want the event for itself (composing a character).
    if (XFilterEvent(&event, None)) continue;
    if (event.xany.window == state.window)
      dispatch(state, event, true);
    else if (state.popup && event.xany.window == state.popup)
      dispatchPopup(state, event);
  }
  state.inEvents = false;
  state.alerts.serve();
}

bool X11Window::showAlert(std::string_view title, std::string_view text) {
  return state_->alerts.show(title, text);
}

void X11Window::present(cairo_surface_t* buffer, const CRect& area) {
  state_->copier->copy(buffer, static_cast<int>(area.left), static_cast<int>(area.top),
                       static_cast<int>(area.width()), static_cast<int>(area.height()));
  XFlush(state_->display);
}

void X11Window::setKeyboardFocus(bool take) {
  State& state = *state_;
  if (take == state.hasKeyboard) return;
  if (take) {
    XGetInputFocus(state.display, &state.previousFocus, &state.previousRevert);
    XSetInputFocus(state.display, state.window, RevertToParent, CurrentTime);
    if (state.inputContext) XSetICFocus(state.inputContext);
  } else {
    if (state.inputContext) XUnsetICFocus(state.inputContext);
    // Back where it was, unless someone moved it meanwhile (or the window went away).
    Window now = 0;
    int revert = 0;
    XGetInputFocus(state.display, &now, &revert);
    if (now == state.window && state.previousFocus != state.window)
      XSetInputFocus(state.display, state.previousFocus ? state.previousFocus : PointerRoot,
                     state.previousRevert, CurrentTime);
  }
  state.hasKeyboard = take;
  XFlush(state.display);
}

bool X11Window::showPopup(const CPoint& origin, const CPoint& size) {
  hidePopup();
  State& state = *state_;
  Display* display = state.display;
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display, state.window, root, static_cast<int>(origin.x),
                        static_cast<int>(origin.y), &x, &y, &child);
  const int width = static_cast<int>(size.x), height = static_cast<int>(size.y);
  // On the screen: above the control when there is no room below it.
  const int screenWidth = DisplayWidth(display, screen);
  const int screenHeight = DisplayHeight(display, screen);
  if (y + height > screenHeight) y = std::max(0, y - height - 14);
  x = std::clamp(x, 0, std::max(0, screenWidth - width));

  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.background_pixmap = None;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | KeyReleaseMask;
  state.popup =
      XCreateWindow(display, root, x, y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask, &attributes);
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
  const Atom menu = XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
  XChangeProperty(display, state.popup, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&menu), 1);
  XMapRaised(display, state.popup);
  state.popupCopier = std::make_unique<X11ImageCopy>(display, state.popup);
  state.popupWidth = width;
  state.popupHeight = height;
  // Every click and key now comes to the pop-up, wherever the pointer is. Without the
  // pointer (another program holds it) a click elsewhere could never close the pop-up, so
  // it does not open; without the keyboard it still works with the mouse.
  XSync(display, False);
  const int pointer = XGrabPointer(display, state.popup, False,
                                   ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                   GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  if (pointer != GrabSuccess) {
    hidePopup();
    return false;
  }
  XGrabKeyboard(display, state.popup, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  XFlush(display);
  return true;
}

void X11Window::presentPopup(cairo_surface_t* buffer) {
  showPopupPicture(*state_, buffer);
}

void X11Window::hidePopup() {
  State& state = *state_;
  if (!state.popup) return;
  XUngrabPointer(state.display, CurrentTime);
  XUngrabKeyboard(state.display, CurrentTime);
  state.popupCopier.reset();
  XDestroyWindow(state.display, state.popup);
  state.popup = 0;
  XFlush(state.display);
}

unsigned long X11Window::popupWindowId() const {
  return state_->popup;
}

unsigned long X11Window::windowId() const {
  return state_->window;
}

int X11Window::errorCount() const {
  return state_->errors;
}

}  // namespace VSTGUI
