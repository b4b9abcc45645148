// Quotes that reach beyond the core's folders.
#include "../platform/posix/x.h"
#include "unistd.h"
#include "weather/records.h"
