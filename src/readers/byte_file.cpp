#include "byte_file.h"
