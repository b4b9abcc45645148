// A port that depends on the core it serves.
#include "weather/records.h"
