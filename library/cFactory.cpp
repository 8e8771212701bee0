#include "library/cFactory.h"

cFactory gFactory;
