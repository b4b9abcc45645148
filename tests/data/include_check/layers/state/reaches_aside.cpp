// The state holds records, not their texts: present is not among its links.
#include "present/format.h"
