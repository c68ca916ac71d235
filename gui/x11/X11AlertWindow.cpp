#include "gui/x11/X11AlertWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/AlertText.h"
#include "gui/x11/X11ImageCopy.h"
#include "gui/x11/X11Window.h"

namespace VSTGUI {
namespace {

constexpr int kWidth = kAlertWidth;
constexpr int kPadding = kAlertPadding;
constexpr int kLineHeight = 17;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr double kFontSize = kAlertFontSize;
// A burst of failures shows a few alerts, never a screen full of them.
constexpr std::size_t kMostAlerts = 4;

}  // namespace

class AlertWindow {
 public:
  static std::unique_ptr<AlertWindow> create(std::string_view title, std::string_view text) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    X11Window::guardConnection(display);
    auto alert = std::unique_ptr<AlertWindow>(new AlertWindow(display));
    alert->layOut(text);
    const int screen = DefaultScreen(display);
    const int x = (DisplayWidth(display, screen) - kWidth) / 2;
    const int y = (DisplayHeight(display, screen) - alert->height_) / 3;
    alert->window_ = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, kWidth,
                                         static_cast<unsigned>(alert->height_), 0, 0,
                                         WhitePixel(display, screen));
    XSelectInput(display, alert->window_,
                 ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask);
    const std::string name(title);
    XStoreName(display, alert->window_, name.c_str());
    const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, alert->window_, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dialog), 1);
    alert->deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, alert->window_, &alert->deleteWindow_, 1);
    // A fixed size: the text was laid out for it.
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = kWidth;
    hints.min_height = hints.max_height = alert->height_;
    XSetWMNormalHints(display, alert->window_, &hints);
    XMapRaised(display, alert->window_);
    alert->copier_ = std::make_unique<X11ImageCopy>(display, alert->window_);
    alert->picture_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, alert->height_);
    XFlush(display);
    return alert;
  }

  ~AlertWindow() {
    copier_.reset();
    if (picture_) cairo_surface_destroy(picture_);
    if (window_) XDestroyWindow(display_, window_);
    XSync(display_, True);
    X11Window::releaseConnection(display_);
    XCloseDisplay(display_);
  }

  // Handles the pending events; false once the user has answered.
  bool serve() {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      switch (event.type) {
        case Expose:
          if (event.xexpose.count == 0) draw();
          break;
        case ButtonPress:
          pressedOnButton_ = onButton(event.xbutton.x, event.xbutton.y);
          break;
        case ButtonRelease:
          if (pressedOnButton_ && onButton(event.xbutton.x, event.xbutton.y)) answered_ = true;
          pressedOnButton_ = false;
          break;
        case KeyPress: {
          const KeySym symbol = XLookupKeysym(&event.xkey, 0);
          if (symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_Escape ||
              symbol == XK_space)
            answered_ = true;
          break;
        }
        case ClientMessage:
          if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) answered_ = true;
          break;
        default:
          break;
      }
    }
    return !answered_;
  }

 private:
  explicit AlertWindow(Display* display) : display_(display) {}

  void layOut(std::string_view text) {
    lines_ = alertTextLines(text);
    height_ = kPadding * 3 + static_cast<int>(lines_.size()) * kLineHeight + kButtonHeight;
  }

  bool onButton(int x, int y) const {
    const int left = kWidth - kPadding - kButtonWidth, top = height_ - kPadding - kButtonHeight;
    return x >= left && x < left + kButtonWidth && y >= top && y < top + kButtonHeight;
  }

  void draw() {
    cairo_t* cr = cairo_create(picture_);
    cairo_set_source_rgb(cr, 0.94, 0.94, 0.92);
    cairo_paint(cr);
    useAlertFont(cr, false);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    double y = kPadding + kFontSize;
    for (const std::string& line : lines_) {
      cairo_move_to(cr, kPadding, y);
      cairo_show_text(cr, line.c_str());
      y += kLineHeight;
    }
    const double left = kWidth - kPadding - kButtonWidth, top = height_ - kPadding - kButtonHeight;
    cairo_rectangle(cr, left + 0.5, top + 0.5, kButtonWidth - 1, kButtonHeight - 1);
    cairo_set_source_rgb(cr, 0.86, 0.86, 0.84);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    useAlertFont(cr, true);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "OK", &extents);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_move_to(cr, left + (kButtonWidth - extents.x_advance) / 2,
                  top + kButtonHeight / 2.0 + kFontSize / 2 - 1);
    cairo_show_text(cr, "OK");
    cairo_destroy(cr);
    copier_->copy(picture_, 0, 0, kWidth, height_);
    XFlush(display_);
  }

  Display* display_;
  Window window_ = 0;
  Atom deleteWindow_ = 0;
  // The alert is drawn into an image and copied to the window on every expose.
  cairo_surface_t* picture_ = nullptr;
  std::unique_ptr<X11ImageCopy> copier_;
  std::vector<std::string> lines_;
  int height_ = 0;
  bool pressedOnButton_ = false;
  bool answered_ = false;
};

X11AlertList::X11AlertList() = default;
X11AlertList::~X11AlertList() = default;

bool X11AlertList::show(std::string_view title, std::string_view text) {
  if (open_.size() >= kMostAlerts) return false;
  std::unique_ptr<AlertWindow> alert = AlertWindow::create(title, text);
  if (!alert) return false;
  open_.push_back(std::move(alert));
  return true;
}

void X11AlertList::serve() {
  std::erase_if(open_, [](const std::unique_ptr<AlertWindow>& alert) { return !alert->serve(); });
}

}  // namespace VSTGUI
