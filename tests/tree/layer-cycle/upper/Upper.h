// Uses the folder below, which uses this one back: the cycle the layer check must find.
#pragma once

#include "lower/Lower.h"
