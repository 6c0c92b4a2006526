// The whole public interface of kx.
#pragma once

#include <kx/core/core.h>
#include <kx/core/format.h>
#include <kx/core/timing.h>
#include <kx/convert/input.h>
#include <kx/convert/output.h>
#include <kx/convert/units.h>
#include <kx/types/number.h>
#include <kx/types/functions.h>
#include <kx/pslq/pslq.h>
#include <kx/pslq/utilities.h>
