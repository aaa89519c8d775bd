#include "graphics/SurfaceRecord.h"
