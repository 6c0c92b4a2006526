// Decimal output: scientific and fixed notation of quad-pair values, and
// printing them as lines.
#pragma once

#include <span>
#include <string>

#include <kx/core/core.h>
