#include <fenv.h>

#include "float_traps.h"

void EnableFloatDivideTrap() { feenableexcept(FE_DIVBYZERO); }
