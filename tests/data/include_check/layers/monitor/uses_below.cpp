// A layer that uses the layers it links: this one compiles.
#include "ports/announcer.h"
#include "present/format.h"
#include "state/app_state.h"
#include "weather/records.h"
