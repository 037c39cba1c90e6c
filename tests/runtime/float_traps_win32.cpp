#include <float.h>

#include "float_traps.h"

void EnableFloatDivideTrap() {
  unsigned int control = 0;
  _controlfp_s(&control, 0, 0);
  _controlfp_s(&control, control & ~static_cast<unsigned int>(_EM_ZERODIVIDE), _MCW_EM);
}
