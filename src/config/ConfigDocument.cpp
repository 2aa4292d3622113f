#include "config/ConfigDocument.h"

#include "ProfileEdit.h"
#include "RegistryValues.h"

#include <memory>
#include <utility>

void CConfigDocument::Load(Profile profile, Source source, std::u16string path, std::vector<std::string> warnings) {
    m_profile = std::move(profile);
    m_source = source;
    // Kept edits keep the file they were made to, so that Save writes them there.
    m_path = source == Source::File || source == Source::Draft ? std::move(path) : std::u16string{};
    m_bModified = source == Source::Draft;
    m_warnings = std::move(warnings);
    Notify();
}

void CConfigDocument::MarkSaved(std::u16string path) {
    m_source = Source::File;
    m_path = std::move(path);
    m_bModified = false;
    m_warnings.clear();
    Notify();
}

template <typename Edit> bool CConfigDocument::Change(Edit edit) {
    Profile before = m_profile;
    if (!edit(m_profile)) return false;
    // An edit that leaves the profile as it was (the same function again) is no unsaved edit.
    if (m_profile != before) {
        m_bModified = true;
        Notify();
    }
    return true;
}

bool CConfigDocument::SetKeyFunction(std::size_t key, const KeyFunction& function) {
    return Change([&](Profile& p) { return ::SetKeyFunction(p, key, function); });
}

bool CConfigDocument::SetKeyCombination(std::size_t key, const ComboKeys& keys) {
    return Change([&](Profile& p) { return ::SetKeyCombination(p, key, keys); });
}

bool CConfigDocument::SetCombination(std::size_t combination, const ComboKeys& keys) {
    return Change([&](Profile& p) { return ::SetCombination(p, combination, keys); });
}

std::size_t CConfigDocument::AddMacro(ProfileMacro macro) {
    Change([&](Profile& p) {
        ::AddMacro(p, std::move(macro));
        return true;
    });
    return m_profile.macros.size() - 1;
}

bool CConfigDocument::SetMacro(std::size_t index, ProfileMacro macro) {
    return Change([&](Profile& p) { return ::SetMacro(p, index, std::move(macro)); });
}

bool CConfigDocument::RemoveMacro(std::size_t index) {
    return Change([&](Profile& p) { return ::RemoveMacro(p, index); });
}

bool CConfigDocument::MoveMacro(std::size_t from, std::size_t to) {
    return Change([&](Profile& p) { return ::MoveMacro(p, from, to); });
}

bool CConfigDocument::SetRate(std::int32_t rate) {
    return Change([&](Profile& p) {
        if (!IsReportRate(rate)) return false;
        p.rate = rate;
        return true;
    });
}

void CConfigDocument::Replace(Profile profile) {
    Change([&](Profile& p) {
        p = std::move(profile);
        return true;
    });
}

std::size_t CConfigDocument::OnChange(std::function<void()> listener) {
    m_listeners.emplace_back(m_nNextListener, std::move(listener));
    return m_nNextListener++;
}

void CConfigDocument::RemoveListener(std::size_t id) {
    std::erase_if(m_listeners, [id](const auto& entry) { return entry.first == id; });
}

void CConfigDocument::Notify() const {
    // A copy: a listener may stop listening, or start, while it is told.
    const auto listeners = m_listeners;
    for (const auto& [id, listener] : listeners) listener();
}

void LoadStoredProfile(CConfigDocument& document, IRegistry& registry) {
    const std::unique_ptr<StoredSettings> stored = ReadStoredSettings(registry);
    if (stored == nullptr) {
        document.Load({}, CConfigDocument::Source::Stored);
        return;
    }
    std::vector<std::string> warnings;
    Profile profile = ProfileFromStored(*stored, document.Layout(), warnings);
    document.Load(std::move(profile), CConfigDocument::Source::Stored, {}, std::move(warnings));
}
