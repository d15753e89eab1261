#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_input.h"
#include "platform/sim/sim_locale.h"
#include "platform/sim/sim_message_boxes.h"

namespace quillomat::sim {

// A whole simulated desktop, for unit tests and the dry run.
struct SimPlatform {
  SimEventLoop event_loop;
  SimMessageBoxes message_boxes;
  SimInput input;
  SimWindows windows;
  SimProcesses processes;
  SimShell shell;
  SimSound sound;
  SimClipboard clipboard;
  SimNamedObjects named_objects;
  SimSingleInstance single_instance;
  SimLocale locale;

  platform::Platform View() {
    return {event_loop, message_boxes, input,         windows,         processes, shell,
            sound,      clipboard,     named_objects, single_instance, locale};
  }
};

}  // namespace quillomat::sim
