#include "number_pattern.h"
