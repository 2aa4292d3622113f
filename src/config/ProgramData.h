// The program's own data beside the profiles it edits: the recent files, the edits kept when
// the agent closed the program, and the window's place. The files live in one folder of the
// user's profile (docs/config-program.md names it); here is what they hold and how a damaged
// one is told, without touching a file system.
#pragma once

#include "Profile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The folder under the user's roaming application data, and its files.
inline constexpr char16_t kDataFolder[] = u"K7\\Config";
inline constexpr char16_t kRecentFileName[] = u"recent.txt";
inline constexpr char16_t kDraftFileName[] = u"draft.json";
inline constexpr char16_t kClosedFileName[] = u"closed.txt";
inline constexpr char16_t kPlacementFileName[] = u"window.txt";

inline constexpr std::size_t kMaxRecentFiles = 8;

// Paths of profiles, the last opened or saved first. One path a line, UTF-8.
using RecentFiles = std::vector<std::u16string>;

// `path` first; an earlier entry of the same path (Windows paths: any case) goes, and the
// list keeps at most kMaxRecentFiles.
void AddRecentFile(RecentFiles& files, const std::u16string& path);
void RemoveRecentFile(RecentFiles& files, std::u16string_view path);
std::string RecentFilesText(const RecentFiles& files);
// The list in `text`; a damaged list (not UTF-8, a line that is no absolute path, too many
// lines) gives the entries before the damage and sets `error` to "line N: what".
RecentFiles ReadRecentFiles(std::string_view text, std::string& error);

// Why the agent closed the program, as the next start tells it.
enum class CloseReason {
    KeyboardRemoved,  // the agent still ran after it closed the program
    AgentEnded,
};

// What the closed-file holds: the reason and, when edits were kept, the profile file they
// were made to (empty for the stored settings or a new profile).
struct ClosedNote {
    CloseReason reason = CloseReason::KeyboardRemoved;
    bool draft = false;
    std::u16string path;
    bool duringApply = false;  // the close came while an apply ran: the keyboard may hold part of it

    friend bool operator==(const ClosedNote&, const ClosedNote&) = default;
};
std::string ClosedNoteText(const ClosedNote& note);
// Null, with `error` "line N: what", when the text is no note.
std::optional<ClosedNote> ReadClosedNote(std::string_view text, std::string& error);

// The window's restored rectangle in screen pixels and whether it was maximized.
struct WindowPlacement {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool maximized = false;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};
std::string PlacementText(const WindowPlacement& placement);
// Null for damaged text or an empty rectangle.
std::optional<WindowPlacement> ReadPlacement(std::string_view text);
