// The desktop icon.
#pragma once

#include "picture.h"

// The icon at side x side pixels, with alpha: an orange on the meadow under the sky.
Picture paintIcon(int side);
