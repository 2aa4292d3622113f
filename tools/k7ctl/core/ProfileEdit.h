// Changing one key, one macro or one combination of a profile, the way a configuration window
// does. Every edit keeps the profile's order: the combinations are distinct, numbered in the
// order the keys first use them (the order the agent visits the keys, so that a profile read
// from JSON or from the stored values numbers them alike), and none is left unused. Whether
// the keyboard can hold the result is for ProfileCheck.h to say.
#pragma once

#include "Profile.h"

#include <cstddef>

// Gives key `key` (a layout record index) any function; a macro or combination parameter names
// an entry of the profile's lists. False, and nothing changes, for a key outside the layout or
// a reference outside the lists.
bool SetKeyFunction(Profile& profile, std::size_t key, const KeyFunction& function);

// Gives the key a combination of `keys`, sharing the entry of an equal combination.
bool SetKeyCombination(Profile& profile, std::size_t key, const ComboKeys& keys);

// Changes the keys of combination `combination` for every key that uses it; a combination
// that becomes equal to another merges with it.
bool SetCombination(Profile& profile, std::size_t combination, const ComboKeys& keys);

// Appends a macro; its index is the new size minus one.
void AddMacro(Profile& profile, ProfileMacro macro);
// Replaces macro `index`; the keys that use it keep using it.
bool SetMacro(Profile& profile, std::size_t index, ProfileMacro macro);
// Removes macro `index`: the keys that used it get their factory function back, the keys that
// use a later macro follow it to its new index.
bool RemoveMacro(Profile& profile, std::size_t index);
// Moves macro `from` to position `to`, the macros between shifting by one; every key keeps the
// macro it had. Which macros reach the keyboard changes with their positions.
bool MoveMacro(Profile& profile, std::size_t from, std::size_t to);

// Puts the combinations in the order above and drops the unused ones; a key that refers to a
// combination outside the list gets its factory function back.
void NumberCombinations(Profile& profile);
