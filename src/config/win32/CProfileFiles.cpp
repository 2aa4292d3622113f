#include "config/win32/CProfileFiles.h"

#include <commdlg.h>

#include <utility>
#include <vector>

#include "ProfileJson.h"
#include "app/Messages.h"
#include "config/DocumentText.h"
#include "config/StoredValueCheck.h"
#include "config/win32/ConfigWindowClasses.h"
#include "config/win32/DataFolder.h"
#include "xml/LanguageStrings.h"
#include "xml/Utf8Text.h"

namespace {

// The agent posts WM_CLOSE in its window's destruction and ends right after; after a removal
// it runs on. How long its end may take before the removal is assumed.
constexpr DWORD kAgentEndWaitMs = 5000;
// A message lists this many of a broken profile's errors; the rest are counted.
constexpr std::size_t kErrorsShown = 15;

std::u16string Number(unsigned long n) {
    const std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

void AddLine(std::u16string& text, const std::u16string& line) {
    if (!text.empty()) text += u"\r\n";
    text += line;
}

}  // namespace

CProfileFiles::CProfileFiles(CConfigDocument& document, const ConfigTexts& texts, IRegistry& registry)
    : m_document(document), m_texts(texts), m_registry(registry) {
    m_nListener = m_document.OnChange([this] { UpdateTitle(); });
}

void CProfileFiles::Attach(HWND window, HMENU fileMenu) {
    m_hWnd = window;
    m_hFileMenu = fileMenu;
    m_strFolder = DataFolderPath();
    ReadRecent();
    ShowRecent();
    UpdateTitle();
}

std::wstring CProfileFiles::DataFile(const char16_t* name) const {
    return m_strFolder.empty() ? std::wstring{} : m_strFolder + L"\\" + ToWide(name);
}

int CProfileFiles::Say(const std::u16string& text, UINT flags) const {
    return MessageBoxW(m_hWnd, W(text), W(str_title), flags);
}

void CProfileFiles::UpdateTitle() {
    if (m_hWnd == nullptr) return;
    SetWindowTextW(m_hWnd, W(DocumentTitle(m_document, m_texts, str_title)));
}

std::u16string CProfileFiles::Start() {
    OfferKeptEdits();
    for (const std::u16string& problem : StoredValueProblems(m_registry, m_texts)) AddLine(m_notices, problem);
    // Restored edits replaced what was stored: its warnings no longer say anything of them.
    if (m_document.From() == CConfigDocument::Source::Stored && !m_document.Warnings().empty()) {
        AddLine(m_notices, m_texts.notExpressed);
        for (const std::string& warning : m_document.Warnings()) AddLine(m_notices, Utf16FromUtf8(warning));
    }
    return std::exchange(m_notices, {});
}

void CProfileFiles::OfferKeptEdits() {
    const std::wstring notePath = DataFile(kClosedFileName), draftPath = DataFile(kDraftFileName);
    if (notePath.empty()) return;
    std::string text;
    const DWORD read = ReadWholeFile(notePath, text);
    if (read == ERROR_FILE_NOT_FOUND) return;
    std::string error;
    const std::optional<ClosedNote> note =
        read == ERROR_SUCCESS ? ReadClosedNote(text, error) : std::optional<ClosedNote>{};
    // Read once: the next start must not ask again, whatever the user answers now.
    DeleteFileW(notePath.c_str());
    if (!note) {
        AddLine(m_notices,
                FillText(m_texts.dataDamaged,
                         {ToUtf16(notePath), read == ERROR_SUCCESS ? Utf16FromUtf8(error) : u"error " + Number(read)}));
    }
    std::u16string why;
    if (note) why = note->reason == CloseReason::KeyboardRemoved ? m_texts.closedRemoved : m_texts.closedEnded;
    if (note && note->duringApply) why += u" " + m_texts.closedDuringApply;
    if (note && !note->draft) {
        AddLine(m_notices, why);
        return;
    }
    // A damaged note may still stand beside kept edits: they are offered without the reason.
    std::string draft;
    const DWORD readDraft = ReadWholeFile(draftPath, draft);
    if (readDraft == ERROR_FILE_NOT_FOUND && !note) return;
    Profile profile;
    std::vector<std::string> errors;
    if (readDraft == ERROR_SUCCESS) {
        errors = ReadProfile(draft, Utf8FromUtf16(ToUtf16(draftPath)), m_document.Layout(), profile);
    } else {
        errors.push_back("error " + std::to_string(readDraft));
    }
    if (!errors.empty()) {
        // Set aside, not deleted: what can be read of it stays for the user to look at.
        const std::wstring aside = DataFile(u"draft.damaged.json");
        MoveFileExW(draftPath.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
        std::u16string message = why;
        AddLine(message, FillText(m_texts.draftDamaged, {ToUtf16(draftPath), ToUtf16(aside)}));
        for (std::size_t i = 0; i < errors.size() && i < kErrorsShown; ++i) AddLine(message, Utf16FromUtf8(errors[i]));
        Say(message, MB_OK | MB_ICONWARNING);
        return;
    }
    std::u16string question = why;
    AddLine(question, m_texts.restoreDraft);
    const bool restore = Say(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
    // The agent closed the window while the question was open: the next start asks again.
    if (!IsWindow(m_hWnd)) {
        if (read == ERROR_SUCCESS) ReplaceWholeFile(notePath, text);
        return;
    }
    DeleteFileW(draftPath.c_str());
    if (restore) m_document.Load(std::move(profile), CConfigDocument::Source::Draft, note ? note->path : u"");
}

CloseReason CProfileFiles::WhyClosed() const {
    HWND agent = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(kTaskWindowTitle));
    if (agent == nullptr) return CloseReason::AgentEnded;
    DWORD id = 0;
    GetWindowThreadProcessId(agent, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) return CloseReason::AgentEnded;
    // Gone from the screen at once: the wait is the agent's, not the user's.
    ShowWindow(m_hWnd, SW_HIDE);
    const bool ended = WaitForSingleObject(process, kAgentEndWaitMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended ? CloseReason::AgentEnded : CloseReason::KeyboardRemoved;
}

void CProfileFiles::KeepForNextStart(bool duringApply) {
    // An apply cut short is told at the next start even without edits to keep.
    if (!m_document.Modified() && !duringApply) return;
    const ClosedNote note{WhyClosed(), m_document.Modified(), m_document.Path(), duringApply};
    const std::wstring draftPath = DataFile(kDraftFileName), notePath = DataFile(kClosedFileName);
    DWORD error = ERROR_PATH_NOT_FOUND;
    // The draft first: a note without its draft is told at the next start, never the reverse.
    if (!draftPath.empty() &&
        (!note.draft || (error = ReplaceWholeFile(
                             draftPath, ProfileToJson(m_document.Current(), m_document.Layout()))) == ERROR_SUCCESS) &&
        (error = ReplaceWholeFile(notePath, ClosedNoteText(note))) == ERROR_SUCCESS)
        return;
    Say(FillText(m_texts.dataFailed, {ToUtf16(draftPath.empty() ? ToWide(kDataFolder) : draftPath), Number(error)}),
        MB_OK | MB_ICONERROR);
}

bool CProfileFiles::QuerySave() {
    if (!m_document.Modified()) return true;
    const int answer =
        Say(FillText(m_texts.saveAsk, {DocumentName(m_document, m_texts)}), MB_YESNOCANCEL | MB_ICONWARNING);
    // The agent may have closed the window while the question was open; it kept the edits.
    if (!IsWindow(m_hWnd)) return false;
    if (answer == IDNO) return true;
    if (answer == IDYES) return Save();
    return false;
}

bool CProfileFiles::OnCommand(int id) {
    switch (id) {
    case IDM_NEW: New(); return true;
    case IDM_OPEN: Open(); return true;
    case IDM_SAVE: Save(); return true;
    case IDM_SAVE_AS: SaveAs(); return true;
    }
    if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) {
        OpenRecent(static_cast<std::size_t>(id - IDM_RECENT_FIRST));
        return true;
    }
    return false;
}

void CProfileFiles::New() {
    if (QuerySave()) m_document.Load({}, CConfigDocument::Source::New);
}

namespace {

// "Profiles (*.json)", "*.json", "All files (*.*)", "*.*", each ended by a zero, and one more.
std::wstring Filter(const ConfigTexts& texts) {
    std::wstring filter =
        ToWide(texts.profileFiles) + L'\0' + L"*.json" + L'\0' + ToWide(texts.allFiles) + L'\0' + L"*.*";
    filter += L'\0';
    return filter;
}

// The file dialog to open or to save as, starting at `file`; false when the user cancelled.
bool AskForFile(HWND owner, const ConfigTexts& texts, bool save, std::wstring& file) {
    std::wstring buffer(32768, L'\0');  // room for long paths
    buffer.replace(0, file.size(), file);
    const std::wstring filter = Filter(texts);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = L"json";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
    file = buffer.c_str();
    return true;
}

}  // namespace

void CProfileFiles::Open() {
    if (!QuerySave()) return;
    std::wstring file;
    if (AskForFile(m_hWnd, m_texts, false, file)) OpenPath(file);
}

bool CProfileFiles::OpenPath(const std::wstring& path) {
    std::string text;
    const DWORD read = ReadWholeFile(path, text);
    if (read != ERROR_SUCCESS) {
        Say(FillText(m_texts.readFailed, {ToUtf16(path), Number(read)}), MB_OK | MB_ICONERROR);
        return false;
    }
    Profile profile;
    const std::vector<std::string> errors =
        ReadProfile(text, Utf8FromUtf16(ToUtf16(path)), m_document.Layout(), profile);
    if (!errors.empty()) {
        std::u16string message = FillText(m_texts.openFailed, {ToUtf16(path)});
        for (std::size_t i = 0; i < errors.size() && i < kErrorsShown; ++i) AddLine(message, Utf16FromUtf8(errors[i]));
        if (errors.size() > kErrorsShown) AddLine(message, u"(+" + Number(errors.size() - kErrorsShown) + u")");
        Say(message, MB_OK | MB_ICONERROR);
        return false;
    }
    m_document.Load(std::move(profile), CConfigDocument::Source::File, ToUtf16(path));
    AddRecentFile(m_recent, ToUtf16(path));
    WriteRecent();
    return true;
}

bool CProfileFiles::Save() {
    if (m_document.Path().empty()) return SaveAs();
    return SaveTo(ToWide(m_document.Path()));
}

bool CProfileFiles::SaveAs() {
    std::wstring file = ToWide(m_document.Path());
    return AskForFile(m_hWnd, m_texts, true, file) && SaveTo(file);
}

bool CProfileFiles::SaveTo(const std::wstring& path) {
    const DWORD error = ReplaceWholeFile(path, ProfileToJson(m_document.Current(), m_document.Layout()));
    if (error != ERROR_SUCCESS) {
        Say(FillText(m_texts.saveFailed, {ToUtf16(path), Number(error)}), MB_OK | MB_ICONERROR);
        return false;
    }
    m_document.MarkSaved(ToUtf16(path));
    AddRecentFile(m_recent, ToUtf16(path));
    WriteRecent();
    return true;
}

void CProfileFiles::OpenRecent(std::size_t index) {
    if (index >= m_recent.size()) return;
    const std::wstring path = ToWide(m_recent[index]);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        // Taken off before it is said to be, so that the box tells what already holds.
        RemoveRecentFile(m_recent, ToUtf16(path));
        WriteRecent();
        Say(FillText(m_texts.recentMissing, {ToUtf16(path)}), MB_OK | MB_ICONWARNING);
        return;
    }
    if (QuerySave()) OpenPath(path);
}

void CProfileFiles::ReadRecent() {
    const std::wstring path = DataFile(kRecentFileName);
    if (path.empty()) return;
    std::string text;
    const DWORD read = ReadWholeFile(path, text);
    if (read == ERROR_FILE_NOT_FOUND) return;
    std::string error;
    if (read == ERROR_SUCCESS) m_recent = ReadRecentFiles(text, error);
    if (read != ERROR_SUCCESS || !error.empty()) {
        AddLine(m_notices,
                FillText(m_texts.dataDamaged,
                         {ToUtf16(path), read == ERROR_SUCCESS ? Utf16FromUtf8(error) : u"error " + Number(read)}));
        // What was read is written back, so that the damage is told once.
        WriteRecent();
    }
}

void CProfileFiles::WriteRecent() {
    ShowRecent();
    const std::wstring path = DataFile(kRecentFileName);
    if (path.empty()) return;
    const DWORD error = ReplaceWholeFile(path, RecentFilesText(m_recent));
    if (error != ERROR_SUCCESS)
        Say(FillText(m_texts.dataFailed, {ToUtf16(path), Number(error)}), MB_OK | MB_ICONWARNING);
}

void CProfileFiles::ShowRecent() {
    if (m_hFileMenu == nullptr) return;
    for (int id = IDM_RECENT_FIRST; id <= IDM_RECENT_SEPARATOR; ++id) DeleteMenu(m_hFileMenu, id, MF_BYCOMMAND);
    if (m_recent.empty()) return;
    // Between the file commands and Exit, numbered 1 to 8 as their access keys.
    int at = GetMenuItemCount(m_hFileMenu);
    for (int i = 0; i < GetMenuItemCount(m_hFileMenu); ++i)
        if (GetMenuItemID(m_hFileMenu, i) == IDM_EXIT) at = i;
    for (std::size_t i = 0; i < m_recent.size(); ++i) {
        std::wstring label = L"&" + std::to_wstring(i + 1) + L" ";
        for (wchar_t c : ToWide(m_recent[i])) label += c == L'&' ? L"&&" : std::wstring(1, c);
        InsertMenuW(m_hFileMenu, static_cast<UINT>(at++), MF_BYPOSITION | MF_STRING,
                    static_cast<UINT_PTR>(IDM_RECENT_FIRST + static_cast<int>(i)), label.c_str());
    }
    InsertMenuW(m_hFileMenu, static_cast<UINT>(at), MF_BYPOSITION | MF_SEPARATOR, IDM_RECENT_SEPARATOR, nullptr);
}

int CProfileFiles::PlaceWindow(int show) const {
    std::string text;
    if (ReadWholeFile(DataFile(kPlacementFileName), text) != ERROR_SUCCESS) return show;
    const std::optional<WindowPlacement> placed = ReadPlacement(text);
    if (!placed) return show;
    const RECT r{placed->left, placed->top, placed->right, placed->bottom};
    // A place on a monitor that is gone is no place: the window opens as new.
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL) == nullptr) return show;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_HIDE;
    wp.rcNormalPosition = r;
    SetWindowPlacement(m_hWnd, &wp);
    return placed->maximized && (show == SW_SHOWNORMAL || show == SW_SHOWDEFAULT || show == SW_SHOW) ? SW_SHOWMAXIMIZED
                                                                                                     : show;
}

void CProfileFiles::SavePlacement() const {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    const std::wstring path = DataFile(kPlacementFileName);
    if (path.empty() || !GetWindowPlacement(m_hWnd, &wp)) return;
    const RECT& r = wp.rcNormalPosition;
    // At the close nobody waits for a message: a place not written only opens the next window
    // as new.
    ReplaceWholeFile(path, PlacementText({r.left, r.top, r.right, r.bottom, IsZoomed(m_hWnd) != FALSE}));
}
