#include "config/ProgramData.h"

#include "xml/Utf8Text.h"

#include <algorithm>
#include <charconv>

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Windows compares file names without regard to case; ASCII folding covers the usual cases
// (drive letters, folders typed in another case).
bool SamePath(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

// A drive path (C:\...) or a network path (\\server\...): what the file dialogs give.
bool IsAbsolutePath(std::u16string_view path) {
    const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z') && path[1] == u':' &&
                       path[2] == u'\\';
    const bool network = path.size() >= 3 && path[0] == u'\\' && path[1] == u'\\';
    return drive || network;
}

bool IsUtf8(std::string_view text) { return Utf8FromUtf16(Utf16FromUtf8(text)) == text; }

// The text's lines without their "\r\n" or "\n"; a last line without one counts too.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string LineError(std::size_t line, std::string_view what) {
    return "line " + std::to_string(line) + ": " + std::string(what);
}

constexpr std::string_view kRemoved = "keyboard removed";
constexpr std::string_view kEnded = "agent ended";
constexpr std::string_view kDuringApply = " during an apply";

}  // namespace

void AddRecentFile(RecentFiles& files, const std::u16string& path) {
    RemoveRecentFile(files, path);
    files.insert(files.begin(), path);
    if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
}

void RemoveRecentFile(RecentFiles& files, std::u16string_view path) {
    std::erase_if(files, [&](const std::u16string& file) { return SamePath(file, path); });
}

std::string RecentFilesText(const RecentFiles& files) {
    std::string text;
    for (const auto& file : files) text += Utf8FromUtf16(file) + "\r\n";
    return text;
}

RecentFiles ReadRecentFiles(std::string_view text, std::string& error) {
    error.clear();
    RecentFiles files;
    if (!IsUtf8(text)) {
        error = "not UTF-8 text";
        return files;
    }
    const std::vector<std::string_view> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u16string path = Utf16FromUtf8(lines[i]);
        if (i == kMaxRecentFiles) {
            error = LineError(i + 1, "more than " + std::to_string(kMaxRecentFiles) + " files");
            break;
        }
        if (!IsAbsolutePath(path) || path.find_first_of(u"\t\"<>|") != std::u16string::npos) {
            error = LineError(i + 1, "not the full path of a file");
            break;
        }
        // A path listed twice is kept once, where it first stands.
        if (std::ranges::none_of(files, [&](const std::u16string& file) { return SamePath(file, path); }))
            files.push_back(path);
    }
    return files;
}

std::string ClosedNoteText(const ClosedNote& note) {
    std::string text = "reason: " + std::string(note.reason == CloseReason::KeyboardRemoved ? kRemoved : kEnded) +
                       std::string(note.duringApply ? kDuringApply : "") + "\r\n";
    if (note.draft) text += "draft: " + Utf8FromUtf16(note.path) + "\r\n";
    return text;
}

std::optional<ClosedNote> ReadClosedNote(std::string_view text, std::string& error) {
    error.clear();
    if (!IsUtf8(text)) {
        error = "not UTF-8 text";
        return std::nullopt;
    }
    const std::vector<std::string_view> lines = Lines(text);
    ClosedNote note;
    if (lines.empty() || !lines[0].starts_with("reason: ")) {
        error = LineError(1, "no \"reason:\"");
        return std::nullopt;
    }
    std::string_view reason = lines[0].substr(8);
    note.duringApply = reason.ends_with(kDuringApply);
    if (note.duringApply) reason.remove_suffix(kDuringApply.size());
    if (reason != kRemoved && reason != kEnded) {
        error = LineError(1, "unknown reason \"" + std::string(reason) + "\"");
        return std::nullopt;
    }
    note.reason = reason == kRemoved ? CloseReason::KeyboardRemoved : CloseReason::AgentEnded;
    if (lines.size() > 1) {
        if (!lines[1].starts_with("draft:")) {
            error = LineError(2, "no \"draft:\"");
            return std::nullopt;
        }
        note.draft = true;
        std::string_view path = lines[1].substr(6);
        if (path.starts_with(' ')) path.remove_prefix(1);
        note.path = Utf16FromUtf8(path);
        if (!note.path.empty() && !IsAbsolutePath(note.path)) {
            error = LineError(2, "not the full path of a file");
            return std::nullopt;
        }
    }
    if (lines.size() > 2) {
        error = LineError(3, "more lines than a note has");
        return std::nullopt;
    }
    return note;
}

std::string PlacementText(const WindowPlacement& p) {
    return std::to_string(p.left) + " " + std::to_string(p.top) + " " + std::to_string(p.right) + " " +
           std::to_string(p.bottom) + (p.maximized ? " maximized" : "") + "\r\n";
}

std::optional<WindowPlacement> ReadPlacement(std::string_view text) {
    WindowPlacement p;
    int* fields[] = {&p.left, &p.top, &p.right, &p.bottom};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int* field : fields) {
        while (at < end && *at == ' ') ++at;
        const auto [next, ec] = std::from_chars(at, end, *field);
        if (ec != std::errc{}) return std::nullopt;
        at = next;
    }
    std::string_view rest(at, static_cast<std::size_t>(end - at));
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);
    if (rest == " maximized") {
        p.maximized = true;
    } else if (!rest.empty()) {
        return std::nullopt;
    }
    if (p.right <= p.left || p.bottom <= p.top) return std::nullopt;
    return p;
}
