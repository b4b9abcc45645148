// A port that depends on the core it serves.
#include <nlohmann/json.hpp>

#include "weather/records.h"
