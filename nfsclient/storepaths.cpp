#include "storepaths.h"
