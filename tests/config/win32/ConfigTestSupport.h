// What the configuration program's tests under Wine share: the stored values they change and
// put back, the layout file beside them, and the windows' texts and places.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AgentProcess.h"
#include "xml/ButtonPositions.h"

inline constexpr wchar_t kSettingsKey[] = L"Software\\Orvex\\K7";

// A registry value as it was before the test, put back afterwards.
class CKeptValue {
public:
    CKeptValue(const wchar_t* key, const wchar_t* name) : m_key(key), m_name(name) {
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &m_type, nullptr, &size) != ERROR_SUCCESS) return;
        m_bytes.emplace(size);
        RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &m_type, m_bytes->data(), &size);
    }
    ~CKeptValue() {
        if (m_bytes) {
            RegSetKeyValueW(HKEY_CURRENT_USER, m_key, m_name, m_type, m_bytes->data(),
                            static_cast<DWORD>(m_bytes->size()));
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key, m_name);
        }
    }
    CKeptValue(const CKeptValue&) = delete;
    CKeptValue& operator=(const CKeptValue&) = delete;

private:
    const wchar_t* m_key;
    const wchar_t* m_name;
    DWORD m_type = 0;
    std::optional<std::vector<BYTE>> m_bytes;
};

inline const ButtonPosTable& Layout() {
    static const ButtonPosTable layout = [] {
        ButtonPosTable table;
        const std::wstring path = BesideTestProgram(L"ButtonPos.xml");
        LoadButtonPositions(std::u16string(path.begin(), path.end()), table);
        return table;
    }();
    return layout;
}

inline int Record(std::u16string_view name) {
    for (int i = 0; i < BUTTON_COUNT; ++i)
        if (Layout()[i].name == name) return i;
    ADD_FAILURE() << "no key of that name";
    return 0;
}

// Asked of the window itself: GetWindowText does not ask another process's window, and so
// misses what is typed into an edit or a combo box. One request with room for any text the
// program shows: a length asked first may be of a text that changes before it is read.
inline std::wstring Text(HWND window) {
    std::wstring text(4096, L'\0');
    text.resize(
        static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

inline RECT ClientRectOf(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
