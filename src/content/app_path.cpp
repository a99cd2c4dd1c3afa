#include "app_path.h"
