#pragma once

#include "platform/clipboard.h"
#include "platform/event_loop.h"
#include "platform/input.h"
#include "platform/locale.h"
#include "platform/message_boxes.h"
#include "platform/named_objects.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/sound.h"
#include "platform/windows.h"

namespace quillomat::platform {

// Every operating-system service the core uses, as one bundle handed down from the entry.
struct Platform {
  EventLoop& event_loop;
  MessageBoxes& message_boxes;
  Input& input;
  Windows& windows;
  Processes& processes;
  Shell& shell;
  Sound& sound;
  Clipboard& clipboard;
  NamedObjects& named_objects;
  SingleInstance& single_instance;
  Locale& locale;
};

}  // namespace quillomat::platform
