// KelpUltimate: the program's utility module of routines over window
// handles. Each concern has its own header and file; this one gathers them.
#pragma once
#include "keys/input_routines.h"
#include "platform/ports.h"
#include "field/window_routines.h"
#include "utility/fonts_colors.h"
#include "utility/regions.h"
#include "utility/slide.h"
#include "utility/window_command.h"

namespace orv {

class KelpUltimate : public WindowRoutines,
                     public InputRoutines,
                     public WindowCommands,
                     public ScreenRoutines,
                     public RegionRoutines,
                     public FontColorRoutines {
 public:
  explicit KelpUltimate(Ports& ports)
      : WindowRoutines(ports),
        InputRoutines(ports),
        WindowCommands(ports),
        ScreenRoutines(ports),
        RegionRoutines(ports),
        FontColorRoutines(ports) {}
};

}  // namespace orv
