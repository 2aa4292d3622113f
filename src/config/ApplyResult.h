// What the window says about an apply: whether the profile may be written at all, and the
// definite result once the agent's messages (followed by k7ctl's CApplyMonitor) have ended it.
#pragma once

#include "ApplyMonitor.h"
#include "Plan.h"
#include "Profile.h"
#include "config/ConfigTexts.h"
#include "keyconfig/Registry.h"

#include <optional>
#include <string>

// Empty when the keyboard can hold the profile; otherwise the refusal with the checker's first
// finding, as `k7ctl check` names it. Counted from a factory-state keyboard, as k7ctl does: a
// key that finds no slot on the keyboard as it is now comes back as a reset, named then.
std::u16string ApplyRefusal(const Profile& profile, const ButtonPosTable& layout, const ConfigTexts& texts);

// Stores the profile as `k7ctl apply` does (WriteProfile: read-modify-write, the replaced values
// kept as the backup) and returns what the keyboard holds once the agent has applied what is
// now stored, for the document's slot count; nothing when a write failed.
std::optional<KeyboardState> StoreForApply(IRegistry& registry, const Profile& profile, const ButtonPosTable& layout);

// The line for a finished apply: applied, each reset key with its reason, the agent's close, or
// no first progress in time.
std::u16string ApplyResultText(const CApplyMonitor& monitor, const ButtonPosTable& layout, const ConfigTexts& texts);
