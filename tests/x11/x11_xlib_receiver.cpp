// A plain Xlib window that records what it receives:
//   x11_xlib_receiver OUT [TITLE]
// OUT gets the text typed into it (UTF-8, Return as a line break), OUT.events one line per
// key, button and motion event with its state and coordinates.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT [TITLE]\n", argv[0]);
    return 2;
  }
  if (!std::setlocale(LC_ALL, "C.UTF-8")) std::setlocale(LC_ALL, "");
  XSetLocaleModifiers("@im=none");
  const std::string title = argc > 2 ? argv[2] : "Xlib Receiver";
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return 1;
  Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 100, 100, 600, 400, 0, 0,
                                 WhitePixel(dpy, DefaultScreen(dpy)));
  // Placed where asked, so that tests know where the pointer lands.
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = 100;
  hints.y = 100;
  hints.width = 600;
  hints.height = 400;
  Xutf8SetWMProperties(dpy, w, title.c_str(), title.c_str(), argv, argc, &hints, nullptr, nullptr);
  Atom wm_delete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(dpy, w, &wm_delete, 1);
  XSelectInput(dpy, w,
               KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   PointerMotionMask | FocusChangeMask | StructureNotifyMask);
  XIM im = XOpenIM(dpy, nullptr, nullptr, nullptr);
  XIC ic = im ? XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w,
                          XNFocusWindow, w, nullptr)
              : nullptr;
  XMapWindow(dpy, w);

  FILE* text = std::fopen(argv[1], "wb");
  FILE* events = std::fopen((std::string(argv[1]) + ".events").c_str(), "wb");
  if (!text || !events) return 1;
  for (;;) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    if (XFilterEvent(&ev, None)) continue;
    switch (ev.type) {
      case KeyPress:
      case KeyRelease: {
        char buf[64] = {};
        KeySym ks = NoSymbol;
        int n = 0;
        if (ev.type == KeyPress && ic) {
          Status status;
          n = Xutf8LookupString(ic, &ev.xkey, buf, sizeof buf - 1, &ks, &status);
          if (status != XLookupChars && status != XLookupBoth) n = 0;
        } else {
          n = XLookupString(&ev.xkey, buf, sizeof buf - 1, &ks, nullptr);
        }
        const char* name = XKeysymToString(ks);
        std::fprintf(events, "key %s %s state=0x%x\n", ev.type == KeyPress ? "press" : "release",
                     name ? name : "NoSymbol", ev.xkey.state);
        if (ev.type == KeyPress) {
          if (ks == XK_Return || ks == XK_KP_Enter) {
            std::fputc('\n', text);
          } else if (ev.xkey.state & (ControlMask | Mod1Mask)) {
            // a shortcut, not text
          } else if (n > 0 &&
                     !(n == 1 && (static_cast<unsigned char>(buf[0]) < 0x20 || buf[0] == 0x7f))) {
            std::fwrite(buf, 1, n, text);
          } else if (n == 1 && buf[0] == '\t') {
            std::fputc('\t', text);
          }
          std::fflush(text);
        }
        std::fflush(events);
        break;
      }
      case ButtonPress:
      case ButtonRelease:
        std::fprintf(events, "button %s %u %d %d state=0x%x\n",
                     ev.type == ButtonPress ? "press" : "release", ev.xbutton.button,
                     ev.xbutton.x_root, ev.xbutton.y_root, ev.xbutton.state);
        std::fflush(events);
        break;
      case MotionNotify:
        std::fprintf(events, "motion %d %d\n", ev.xmotion.x_root, ev.xmotion.y_root);
        std::fflush(events);
        break;
      case MappingNotify:
        XRefreshKeyboardMapping(&ev.xmapping);
        break;
      case ClientMessage:
        if (static_cast<Atom>(ev.xclient.data.l[0]) == wm_delete) {
          std::fclose(text);
          std::fclose(events);
          XCloseDisplay(dpy);
          return 0;
        }
        break;
      default:
        break;
    }
  }
}
