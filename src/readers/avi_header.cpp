#include "avi_header.h"
