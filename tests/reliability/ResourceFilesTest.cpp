// One or both files beside the agent missing, empty, in UTF-16 big-endian, in a declared code
// page or of random bytes: start-up and applies go on, with defaults where the files say
// nothing (a layout that lists no keys gives default settings that all name virtual key 0,
// so the keyboard keeps its own table), and the keyboard still gets only whole requests and
// tables of known origin.
#include "AgentRig.h"
#include "ResourceVariants.h"
#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"

#include <filesystem>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ResourceFiles : public testing::TestWithParam<std::tuple<const char*, int>> {};

TEST_P(ResourceFiles, StartAndApplyGoOn) {
    const std::string file = std::get<0>(GetParam());
    const ResourceVariant& variant = kResourceVariants[std::get<1>(GetParam())];
    const fs::path res = K7_RES_DIR_NARROW;
    const fs::path dir = fs::temp_directory_path() /
                         ("k7-resource-files-" + std::to_string(::getpid()) + "-" + file + "-" + variant.name);
    fs::create_directories(dir);
    WriteResourceFiles(res, dir, file, variant);

    LoadLanguageStrings((dir / "language.xml").u16string());
    auto rig = std::make_unique<Rig>();
    rig->registry.RemoveKey(kSettingsKeyPath);  // the defaults come from the layout file
    rig->desktop.m_modulePath = (dir / "K7_Setting.exe").u16string();
    rig->Create();
    rig->Send(WM_APPLY_SETTINGS);
    rig->Send(WM_APPLY_SETTINGS);
    ExpectOnlyKnownTables(*rig, true, file + " " + variant.name);
    EXPECT_EQ(rig->faulty.m_written.size(), 2u);
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(All, ResourceFiles,
                         testing::Combine(testing::ValuesIn(kResourceFiles),
                                          testing::Range(0, static_cast<int>(std::size(kResourceVariants)))));

}  // namespace
