// What the configuration program edits: one profile, where it came from and whether it holds
// edits not yet saved. Every window of the program edits through this class, so that the
// keyboard view, the title and the checks follow each change; the edits themselves are the
// profile library's (ProfileEdit.h), the checks its ProfileCheck.h.
#pragma once

#include "Plan.h"
#include "Profile.h"
#include "keyconfig/Registry.h"

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CConfigDocument {
public:
    // Where the profile being edited came from.
    enum class Source { Stored, File, Draft, New };

    explicit CConfigDocument(const ButtonPosTable& layout) : m_layout(layout) {}

    const ButtonPosTable& Layout() const { return m_layout; }
    const Profile& Current() const { return m_profile; }
    Source From() const { return m_source; }
    // The profile file's path for Source::File, and for a Draft of a file (UTF-16, as the system
    // names files); else empty.
    const std::u16string& Path() const { return m_path; }
    bool Modified() const { return m_bModified; }
    // What the profile could not express of what it was made from (ProfileFromStored's warnings).
    const std::vector<std::string>& Warnings() const { return m_warnings; }

    // Replaces the whole profile; it counts as unmodified (a draft as modified: it holds edits
    // that were never saved).
    void Load(Profile profile, Source source, std::u16string path = {}, std::vector<std::string> warnings = {});
    // The profile is saved as `path`: no longer modified.
    void MarkSaved(std::u16string path);

    // The edits; each returns false, and nothing changes, where the profile library refuses.
    bool SetKeyFunction(std::size_t key, const KeyFunction& function);
    bool SetKeyCombination(std::size_t key, const ComboKeys& keys);
    bool SetCombination(std::size_t combination, const ComboKeys& keys);
    std::size_t AddMacro(ProfileMacro macro);  // the new macro's index
    bool SetMacro(std::size_t index, ProfileMacro macro);
    bool RemoveMacro(std::size_t index);
    bool MoveMacro(std::size_t from, std::size_t to);
    bool SetRate(std::int32_t rate);
    // Any other change of the whole profile (for example a macro list reordered).
    void Replace(Profile profile);

    // What the keyboard held after the values last applied; the checks count combination
    // slots from it as well as from the factory state, so the listeners hear of it too.
    const KeyboardState& Applied() const { return m_applied; }
    void SetApplied(const KeyboardState& state) {
        m_applied = state;
        Notify();
    }

    // Called after every change of the profile or of its source, path or modified flag, until
    // RemoveListener is given the number returned: a window that goes before the document
    // (the main window is made again in another language) stops listening.
    std::size_t OnChange(std::function<void()> listener);
    void RemoveListener(std::size_t id);

private:
    template <typename Edit> bool Change(Edit edit);
    void Notify() const;

    const ButtonPosTable& m_layout;
    Profile m_profile;
    Source m_source = Source::New;
    std::u16string m_path;
    bool m_bModified = false;
    std::vector<std::string> m_warnings;
    KeyboardState m_applied;
    std::vector<std::pair<std::size_t, std::function<void()>>> m_listeners;
    std::size_t m_nNextListener = 0;
};

// What is stored now, as the program shows it at its start: the four values under the agent's
// key as a profile (Source::Stored), a factory profile when the agent has stored nothing yet.
void LoadStoredProfile(CConfigDocument& document, IRegistry& registry);
