// What the details panel and the key faces say about a stored assignment: the kind of each type,
// its colour, and the panel's lines for every state of the stored value.
#include <gtest/gtest.h>

#include "config/FunctionKind.h"
#include "config/KeyDetails.h"
#include "config/ProfileFunctionText.h"
#include "xml/LanguageStrings.h"

#include <set>
#include <tuple>

namespace {

TEST(FunctionKind, EachStoredTypeHasItsKindAndEachKindItsOwnFace) {
    const std::pair<std::int32_t, FunctionKind> kinds[] = {
        {AssignDefault, FunctionKind::Factory},
        {AssignSystemShortcut, FunctionKind::Shortcut},
        {AssignMouseButton, FunctionKind::Mouse},
        {AssignMacro, FunctionKind::Macro},
        {AssignConsumer, FunctionKind::Media},
        {AssignEditShortcut, FunctionKind::Shortcut},
        {AssignConsumerAlt, FunctionKind::Media},
        {AssignCombination, FunctionKind::Combination},
        {AssignKeyRemap, FunctionKind::Remap},
        {0, FunctionKind::Unknown},
        {10, FunctionKind::Unknown},
        {-1, FunctionKind::Unknown},
    };
    for (auto [type, kind] : kinds) EXPECT_EQ(KindOf(type), kind) << type;

    std::set<std::tuple<int, int, int>> faces;
    for (FunctionKind kind :
         {FunctionKind::Factory, FunctionKind::Remap, FunctionKind::Media, FunctionKind::Mouse, FunctionKind::Shortcut,
          FunctionKind::Macro, FunctionKind::Combination, FunctionKind::Unknown}) {
        const KindColour c = FaceColour(kind);
        // Black text stays readable: every face is light.
        EXPECT_GT(c.r * 299 + c.g * 587 + c.b * 114, 150 * 1000);
        faces.insert({c.r, c.g, c.b});
    }
    EXPECT_EQ(faces.size(), 8u) << "two kinds share a colour";
}

class Details : public ::testing::Test {
protected:
    void SetUp() override {
        texts.key = u"Key";
        texts.vkcode = u"Code";
        texts.stored = u"Assignment";
        texts.factory = u"Factory";
        texts.unknown = u"Unknown";
        texts.noSettings = u"None stored";
        texts.wrongType = u"Not binary";
        texts.wrongSize = u"Wrong size";
        texts.unreadable = u"Unreadable";
        esc.name = u"Esc";
        esc.vkcode = 0x1B;
        str_pre = u"Previous track";
        str_comb = u"Key combination";
    }
    std::u16string Text() const { return KeyDetailsText(esc, profile, 0, texts, functions); }

    ConfigTexts texts;
    CProfileFunctionText functions{texts};
    ButtonPosRecord esc;
    Profile profile;
};

TEST_F(Details, NameCodeAndTheProfilesFunctionWithItsNumbers) {
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nAssignment: Factory (1, 0)");
    profile.keys[0] = {AssignConsumer, 3};
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nAssignment: Previous track (5, 3)");
    profile.keys[0] = {42, -7};
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nAssignment: Unknown (42, -7)");
    // A combination the list does not have is named by the agent's own string.
    profile.keys[0] = {AssignCombination, 2};
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nAssignment: Key combination (8, 2)");
    EXPECT_EQ(KeyDetailsText(esc, profile, BUTTON_COUNT, texts, functions),
              u"Key: Esc\r\nCode: 0x1B\r\nAssignment: Factory (1, 0)")
        << "a record past the profile's keys";
}

TEST_F(Details, EveryStateOfTheStoredValueThatHidesItIsSaid) {
    StoredKeys stored;
    stored.state = StoredKeysState::Read;
    EXPECT_EQ(StoredProblem(stored, texts), u"");
    stored.state = StoredKeysState::NoKey;
    EXPECT_EQ(StoredProblem(stored, texts), u"None stored");
    stored.state = StoredKeysState::NoValue;
    EXPECT_EQ(StoredProblem(stored, texts), u"None stored");
    stored.state = StoredKeysState::WrongType;
    stored.type = 4;
    EXPECT_EQ(StoredProblem(stored, texts), u"Not binary (4)");
    stored.state = StoredKeysState::WrongSize;
    stored.size = 600;
    EXPECT_EQ(StoredProblem(stored, texts), u"Wrong size (600)");
    stored.state = StoredKeysState::Unreadable;
    stored.error = 5;
    EXPECT_EQ(StoredProblem(stored, texts), u"Unreadable (5)");
}

TEST(HexCode, FixedDigitsInCapitals) {
    EXPECT_EQ(HexCode(0x1B, 2), u"0x1B");
    EXPECT_EQ(HexCode(0x7, 2), u"0x07");
    EXPECT_EQ(HexCode(0xABC, 4), u"0x0ABC");
}

}  // namespace
