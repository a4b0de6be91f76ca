#pragma once
// DCB line settings in and out of a terminal's termios.

#include "comm32/serial_types.h"

#include <termios.h>

namespace ob {

// Whether Linux can apply the settings (a known baud rate, 5 to 8 data bits, a parity of
// the five, one or two stop bits).
bool CanApply(const DCB& dcb);

// Writes what the DCB says into `settings`; call only with a DCB that CanApply.
void ApplyDcb(const DCB& dcb, termios& settings);

// Overwrites the fields of `dcb` that termios holds; the rest stay as given.
void ReadDcb(const termios& settings, DCB& dcb);

} // namespace ob
