#pragma once

#include <memory>
#include <string>

#include "platform/clipboard.h"

namespace quillomat::x11 {

// The CLIPBOARD selection, owned and served from a connection and thread of its own, so a
// macro that plays (or waits) never keeps another program from pasting.
class X11Clipboard : public platform::Clipboard {
 public:
  // nullptr when there is no display.
  static std::unique_ptr<X11Clipboard> Open(const char* display_name = nullptr);
  ~X11Clipboard() override;

  // Takes the selection with the text (cp1252); false when the server gave it to no one.
  bool SetText(const std::string& text) override;
  // The current owner's text in cp1252 (ours without a round trip); empty when there is
  // none or the owner does not answer within a second.
  std::string Text() override;
  // The text stays on the clipboard after this process has ended: a small child process takes
  // the selection over and serves it until another client takes it. For short-lived programs
  // such as the command-line tool; false when nothing of ours is on the clipboard.
  bool ServeAfterExit();

  struct Impl;

 private:
  explicit X11Clipboard(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillomat::x11
