// Uses the folder above: with Upper.h, a cycle between two folders.
#pragma once

#include "upper/Upper.h"
