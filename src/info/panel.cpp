#include "panel.h"
