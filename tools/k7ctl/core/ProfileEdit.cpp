#include "ProfileEdit.h"

#include <algorithm>
#include <utility>

namespace {

bool InList(std::int32_t index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

}  // namespace

void NumberCombinations(Profile& profile) {
    std::vector<ComboKeys> numbered;
    for (KeyFunction& f : profile.keys) {
        if (f.type != AssignCombination) continue;
        if (!InList(f.parameter, profile.combinations.size())) {
            f = KeyFunction{};
            continue;
        }
        const ComboKeys& keys = profile.combinations[static_cast<std::size_t>(f.parameter)];
        auto it = std::ranges::find(numbered, keys);
        if (it == numbered.end()) it = numbered.insert(it, keys);
        f.parameter = static_cast<std::int32_t>(it - numbered.begin());
    }
    profile.combinations = std::move(numbered);
}

bool SetKeyFunction(Profile& profile, std::size_t key, const KeyFunction& function) {
    if (key >= profile.keys.size()) return false;
    if (function.type == AssignMacro && !InList(function.parameter, profile.macros.size())) return false;
    if (function.type == AssignCombination && !InList(function.parameter, profile.combinations.size())) return false;
    profile.keys[key] = function;
    NumberCombinations(profile);
    return true;
}

bool SetKeyCombination(Profile& profile, std::size_t key, const ComboKeys& keys) {
    if (key >= profile.keys.size()) return false;
    // Appended first, so that the key can refer to it; numbering drops it again if unused.
    profile.combinations.push_back(keys);
    profile.keys[key] = {AssignCombination, static_cast<std::int32_t>(profile.combinations.size() - 1)};
    NumberCombinations(profile);
    return true;
}

bool SetCombination(Profile& profile, std::size_t combination, const ComboKeys& keys) {
    if (combination >= profile.combinations.size()) return false;
    profile.combinations[combination] = keys;
    NumberCombinations(profile);
    return true;
}

void AddMacro(Profile& profile, ProfileMacro macro) { profile.macros.push_back(std::move(macro)); }

bool SetMacro(Profile& profile, std::size_t index, ProfileMacro macro) {
    if (index >= profile.macros.size()) return false;
    profile.macros[index] = std::move(macro);
    return true;
}

bool RemoveMacro(Profile& profile, std::size_t index) {
    if (index >= profile.macros.size()) return false;
    profile.macros.erase(profile.macros.begin() + static_cast<std::ptrdiff_t>(index));
    const auto removed = static_cast<std::int32_t>(index);
    for (KeyFunction& f : profile.keys) {
        if (f.type != AssignMacro) continue;
        if (f.parameter == removed)
            f = KeyFunction{};
        else if (f.parameter > removed)
            --f.parameter;
    }
    return true;
}

bool MoveMacro(Profile& profile, std::size_t from, std::size_t to) {
    const std::size_t count = profile.macros.size();
    if (from >= count || to >= count) return false;
    const auto begin = profile.macros.begin();
    if (from < to)
        std::rotate(begin + static_cast<std::ptrdiff_t>(from), begin + static_cast<std::ptrdiff_t>(from) + 1,
                    begin + static_cast<std::ptrdiff_t>(to) + 1);
    else
        std::rotate(begin + static_cast<std::ptrdiff_t>(to), begin + static_cast<std::ptrdiff_t>(from),
                    begin + static_cast<std::ptrdiff_t>(from) + 1);
    // Where each old index went: the moved macro to `to`, those it passed one step towards `from`.
    const auto moved = [&](std::size_t i) {
        if (i == from) return to;
        if (from < to && i > from && i <= to) return i - 1;
        if (to < from && i >= to && i < from) return i + 1;
        return i;
    };
    for (KeyFunction& f : profile.keys)
        if (f.type == AssignMacro && InList(f.parameter, count))
            f.parameter = static_cast<std::int32_t>(moved(static_cast<std::size_t>(f.parameter)));
    return true;
}
