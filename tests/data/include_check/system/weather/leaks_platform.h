// A core header that names an adapter.
#include "platform/posix/x.h"
