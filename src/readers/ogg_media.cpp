#include "ogg_media.h"
