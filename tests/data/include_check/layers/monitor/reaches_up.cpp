// A layer that reaches up into the one that uses it.
#include "cities/city_add.h"
