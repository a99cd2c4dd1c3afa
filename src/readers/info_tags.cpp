#include "info_tags.h"
