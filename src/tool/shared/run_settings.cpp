#include "shared/run_settings.h"

RunSettings runSettings;
