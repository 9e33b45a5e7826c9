#include "binders.h"
