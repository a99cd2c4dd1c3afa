#include "page_view.h"
