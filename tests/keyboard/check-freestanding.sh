#!/usr/bin/env bash
# Fails when the object of the model needs anything from outside but the three memory
# routines every kernel exports (a compiler may turn byte loops into calls to them): no
# allocation, no exception support, no run-time type information, no C++ library.
set -u
object=$1
needed=$(nm -u "$object" | awk '{print $2}' | grep -vxE 'memcpy|memset|memmove')
if [ -n "$needed" ]; then
  echo "the model needs more than a kernel driver has:"; echo "$needed"; exit 1
fi
echo "the model is freestanding"
