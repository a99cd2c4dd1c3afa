#include "display_text.h"
