// Any text: the reader never crashes, and a profile it accepts survives encoding, export and
// a second reading unchanged.
#include "ProfileJson.h"
#include "StoredEncoding.h"
#include "xml/ButtonPositions.h"
#include "xml/Utf8Text.h"

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ButtonPosTable layout = [] {
        ButtonPosTable t;
        LoadButtonPositions(Utf16FromUtf8(K7_LAYOUT_FILE), t);
        return t;
    }();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Profile profile;
    if (!ReadProfile(text, "fuzz.json", layout, profile).empty()) return 0;

    auto stored = std::make_unique<StoredSettings>();
    EncodeProfile(profile, layout, *stored);
    std::vector<std::string> warnings;
    const Profile exported = ProfileFromStored(*stored, layout, warnings);
    Profile again;
    if (!warnings.empty() || !ReadProfile(ProfileToJson(exported, layout), "export.json", layout, again).empty())
        std::abort();
    auto restored = std::make_unique<StoredSettings>();
    EncodeProfile(again, layout, *restored);
    if (std::memcmp(&restored->buffers, &stored->buffers, sizeof stored->buffers) != 0) std::abort();
    return 0;
}
