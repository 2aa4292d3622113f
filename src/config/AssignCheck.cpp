#include "config/AssignCheck.h"

#include "ProfileCheck.h"
#include "ProfileEdit.h"
#include "xml/Utf8Text.h"

#include <algorithm>

namespace {

std::u16string Number(int value) { return Utf16FromUtf8(std::to_string(value)); }

// What the trial profile finds that the profile as it is does not: the assignment's own faults
// and, since the agent places combinations in the order it visits the keys, a reset of any key
// for want of a slot.
std::vector<Finding> Added(const Profile& trial, const Profile& profile, const ButtonPosTable& layout,
                           const KeyboardState& keyboard) {
    const std::vector<Finding> before = CheckProfile(profile, layout, keyboard);
    std::vector<Finding> out;
    for (Finding& finding : CheckProfile(trial, layout, keyboard))
        if (std::ranges::find(before, finding) == before.end()) out.push_back(std::move(finding));
    return out;
}

std::u16string Line(const Finding& finding) { return Utf16FromUtf8(finding.subject + ": " + finding.rule); }

}  // namespace

SlotMeter MeasureSlots(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& applied) {
    return {kMaxCombinationSlot - FreeCombinationSlots(profile, layout),
            kMaxCombinationSlot - FreeCombinationSlots(profile, layout, applied)};
}

std::u16string MeterText(const SlotMeter& meter, const ConfigTexts& texts) {
    const std::u16string of = u" / " + Number(kMaxCombinationSlot);
    std::u16string text = texts.meter + u": " + Number(meter.factory) + of + u" (" + texts.meterFactory + u"), " +
                          Number(meter.applied) + of + u" (" + texts.meterApplied + u")";
    if (std::max(meter.factory, meter.applied) >= kMaxCombinationSlot) text += u"; " + texts.meterFull;
    return text;
}

AssignVerdict CheckAssignment(const Profile& profile, const ButtonPosTable& layout, std::size_t record,
                              const Assignment& assignment, const KeyboardState& applied, const ConfigTexts& texts) {
    AssignVerdict verdict;
    Profile trial = profile;
    const bool edited = std::holds_alternative<ComboKeys>(assignment)
                            ? SetKeyCombination(trial, record, std::get<ComboKeys>(assignment))
                            : SetKeyFunction(trial, record, std::get<KeyFunction>(assignment));
    if (!edited || record >= layout.size()) {
        verdict.refused = true;
        return verdict;
    }
    const std::vector<Finding> factory = Added(trial, profile, layout, KeyboardState{});
    for (const Finding& finding : factory) verdict.lines.push_back(Line(finding));
    verdict.refused = !factory.empty();
    // What the keyboard holds now may leave fewer slots; the same finding is not said twice.
    for (const Finding& finding : Added(trial, profile, layout, applied))
        if (std::ranges::find(factory, finding) == factory.end())
            verdict.lines.push_back(texts.fromApplied + u": " + Line(finding));
    return verdict;
}
