// Half of a circle for the cycle check to find.
#pragma once

#include "Second.h"
