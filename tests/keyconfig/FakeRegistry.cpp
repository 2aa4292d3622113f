#include "FakeRegistry.h"

#include <cstring>

namespace {

// Key and value names are case-insensitive; ASCII folding covers the names the agent uses.
std::u16string Fold(std::u16string_view s) {
    std::u16string r(s);
    for (char16_t& c : r)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return r;
}

}  // namespace

FakeRegistry::FakeRegistry() { m_keys[u"software"]; }

std::int32_t FakeRegistry::OpenKey(std::u16string_view path, RegKey& key) {
    key = 0;
    if (m_bDenyAccess) return kRegAccessDenied;
    const std::u16string folded = Fold(path);
    if (!m_keys.contains(folded)) return kRegFileNotFound;
    key = m_nextHandle++;
    m_handles[key] = folded;
    return kRegOk;
}

std::int32_t FakeRegistry::CreateKey(std::u16string_view path, RegKey& key) {
    key = 0;
    if (m_bDenyAccess) return kRegAccessDenied;
    const std::u16string folded = Fold(path);
    // Intermediate keys come into being too.
    for (std::size_t pos = folded.find(u'\\'); pos != std::u16string::npos; pos = folded.find(u'\\', pos + 1))
        m_keys[folded.substr(0, pos)];
    m_keys[folded];
    key = m_nextHandle++;
    m_handles[key] = folded;
    return kRegOk;
}

std::int32_t FakeRegistry::QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type, void* data,
                                      std::uint32_t* size) {
    const auto h = m_handles.find(key);
    if (h == m_handles.end()) return kRegInvalidHandle;
    const auto k = m_keys.find(h->second);
    if (k == m_keys.end()) return kRegFileNotFound;
    const auto v = k->second.find(Fold(name));
    if (v == k->second.end()) return kRegFileNotFound;
    const auto needed = static_cast<std::uint32_t>(v->second.bytes.size());
    if (type) *type = v->second.type;
    if (data) {
        if (!size) return kRegInvalidParameter;
        if (*size < needed) {
            *size = needed;
            return kRegMoreData;  // the buffer is left as it was
        }
        if (needed) std::memcpy(data, v->second.bytes.data(), needed);
    }
    if (size) *size = needed;
    return kRegOk;
}

std::int32_t FakeRegistry::SetValue(RegKey key, std::u16string_view name, std::uint32_t type, const void* data,
                                    std::uint32_t size) {
    const auto h = m_handles.find(key);
    if (h == m_handles.end()) return kRegInvalidHandle;
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_keys[h->second][Fold(name)] = Value{type, std::vector<std::uint8_t>(p, p + (p ? size : 0))};
    return kRegOk;
}

std::int32_t FakeRegistry::CloseKey(RegKey key) { return m_handles.erase(key) ? kRegOk : kRegInvalidHandle; }

void FakeRegistry::Put(std::u16string_view path, std::u16string_view name, std::uint32_t type,
                       std::vector<std::uint8_t> bytes) {
    RegKey key = 0;
    CreateKey(path, key);
    m_keys[Fold(path)][Fold(name)] = Value{type, std::move(bytes)};
    CloseKey(key);
}

const FakeRegistry::Value* FakeRegistry::Find(std::u16string_view path, std::u16string_view name) const {
    const auto k = m_keys.find(Fold(path));
    if (k == m_keys.end()) return nullptr;
    const auto v = k->second.find(Fold(name));
    return v == k->second.end() ? nullptr : &v->second;
}

bool FakeRegistry::HasKey(std::u16string_view path) const { return m_keys.contains(Fold(path)); }

std::size_t FakeRegistry::ValueCount(std::u16string_view path) const {
    const auto k = m_keys.find(Fold(path));
    return k == m_keys.end() ? 0 : k->second.size();
}

void FakeRegistry::RemoveKey(std::u16string_view path) {
    const std::u16string folded = Fold(path);
    std::erase_if(m_keys, [&](const auto& kv) { return kv.first == folded || kv.first.starts_with(folded + u'\\'); });
}
