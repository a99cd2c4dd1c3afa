#include "file_list.h"
