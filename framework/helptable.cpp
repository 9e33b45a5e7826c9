#include "helptable.h"
