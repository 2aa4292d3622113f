// The macro editor's rows and limits: one row per event (key down or up, the key, the delay
// before it), the delays as the keyboard counts them, the one fixed delay for every event, and
// what the keyboard can still take of the macro, with the reason when it cannot take it.
#pragma once

#include "Profile.h"
#include "config/ConfigTexts.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The keyboard counts a delay in whole steps of 50 ms: what is left over is never waited.
std::uint32_t RoundDelay(std::uint64_t ms);

// A delay as the user types it, in milliseconds and rounded to the keyboard's steps; nothing
// for anything but decimal digits (at most ten of them).
std::optional<std::uint32_t> ParseDelay(std::u16string_view text);

// A repeat count as the user types it: 0 to 65535 (the stored count has 16 bits; 0 plays once,
// as 1 does).
std::optional<std::uint16_t> ParseRepeat(std::u16string_view text);

// The name a profile gives the key ("LeftCtrl", "NumEnter"), else its code ("0xAF").
std::u16string MacroKeyName(std::uint8_t vk);

// "Key down\tA\t50 ms": what the event does and how long the keyboard waits before it.
std::u16string EventRowText(const MacroStep& step, const ConfigTexts& texts);

// The one delay every event of the macro has, when it has events and they all wait alike:
// how the fixed-delay switch reads a macro, since profiles and stored records keep only the
// delays themselves.
std::optional<std::uint32_t> FixedDelay(const ProfileMacro& macro);
// The macro with every event waiting `ms` (rounded to the keyboard's steps).
ProfileMacro WithFixedDelay(ProfileMacro macro, std::uint32_t ms);

// "Events: 12/95; delays in steps of 50 ms up to 6350 ms", and, when the keyboard cannot take
// the macro, a second line with the reasons the checker gives.
std::u16string MacroLimitText(const Profile& profile, std::size_t macro, const ConfigTexts& texts);
