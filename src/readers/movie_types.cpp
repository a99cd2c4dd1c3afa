#include "movie_types.h"
