#include "tool/run_settings.h"

RunSettings runSettings;
