#include "number_format.h"
