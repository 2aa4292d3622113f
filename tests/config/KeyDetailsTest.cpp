// What the details panel and the key faces say about a stored assignment: the kind of each type,
// its colour, and the panel's lines for every state of the stored value.
#include <gtest/gtest.h>

#include "config/FunctionKind.h"
#include "config/KeyDetails.h"
#include "xml/LanguageStrings.h"

#include <set>
#include <tuple>

namespace {

KeyAssignment Assignment(std::int32_t type, std::int32_t parameter, std::uint8_t vk = 0x1B) {
    KeyAssignment a{};
    a.vk = vk;
    a.Set(type, parameter);
    return a;
}

TEST(FunctionKind, EachStoredTypeHasItsKindAndEachKindItsOwnFace) {
    const std::pair<std::int32_t, FunctionKind> kinds[] = {
        {AssignDefault, FunctionKind::Factory},      {AssignSystemShortcut, FunctionKind::Shortcut},
        {AssignMouseButton, FunctionKind::Mouse},    {AssignMacro, FunctionKind::Macro},
        {AssignConsumer, FunctionKind::Media},       {AssignEditShortcut, FunctionKind::Shortcut},
        {AssignConsumerAlt, FunctionKind::Media},    {AssignCombination, FunctionKind::Combination},
        {AssignKeyRemap, FunctionKind::Remap},       {0, FunctionKind::Unknown},
        {10, FunctionKind::Unknown},                 {-1, FunctionKind::Unknown},
    };
    for (auto [type, kind] : kinds) EXPECT_EQ(KindOf(Assignment(type, 0)), kind) << type;

    std::set<std::tuple<int, int, int>> faces;
    for (FunctionKind kind : {FunctionKind::Factory, FunctionKind::Remap, FunctionKind::Media, FunctionKind::Mouse,
                              FunctionKind::Shortcut, FunctionKind::Macro, FunctionKind::Combination,
                              FunctionKind::Unknown}) {
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
        texts.stored = u"Stored";
        texts.factory = u"Factory";
        texts.media = u"Media";
        texts.remap = u"Remap";
        texts.unknown = u"Unknown";
        texts.noSettings = u"None stored";
        texts.noRecord = u"No record";
        texts.wrongType = u"Not binary";
        texts.wrongSize = u"Wrong size";
        texts.unreadable = u"Unreadable";
        esc.name = u"Esc";
        esc.vkcode = 0x1B;
        stored.state = StoredKeysState::Read;
    }
    std::u16string Text() const { return KeyDetailsText(esc, stored, texts, functions); }

    ConfigTexts texts;
    CKindNameText functions{texts};
    ButtonPosRecord esc;
    StoredKeys stored;
};

TEST_F(Details, NameCodeAndTheStoredAssignmentWithItsNumbers) {
    stored.keys.records[7] = Assignment(AssignConsumer, 3);
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Media (5, 3)");
    stored.keys.records[7] = Assignment(AssignDefault, 0);
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Factory (1, 0)");
    stored.keys.records[7] = Assignment(42, -7);
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Unknown (42, -7)");
    // The combination's name is the agent's own string.
    str_comb = u"Key combination";
    stored.keys.records[7] = Assignment(AssignCombination, 2);
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Key combination (8, 2)");
}

TEST_F(Details, EveryStateOfTheStoredValueIsSaid) {
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: No record");
    stored.state = StoredKeysState::NoKey;
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: None stored");
    stored.state = StoredKeysState::NoValue;
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: None stored");
    stored.state = StoredKeysState::WrongType;
    stored.type = 4;
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Not binary (4)");
    stored.state = StoredKeysState::WrongSize;
    stored.size = 600;
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Wrong size (600)");
    stored.state = StoredKeysState::Unreadable;
    stored.error = 5;
    EXPECT_EQ(Text(), u"Key: Esc\r\nCode: 0x1B\r\nStored: Unreadable (5)");
}

TEST(KindNameText, NothingForTheFactoryFunctionTheKindOtherwise) {
    ConfigTexts texts;
    texts.factory = u"Factory";
    texts.mouse = u"Mouse";
    const CKindNameText functions(texts);
    EXPECT_EQ(functions.ShortText(Assignment(AssignDefault, 0)), u"");
    EXPECT_EQ(functions.ShortText(Assignment(AssignMouseButton, 10)), u"Mouse");
}

TEST(HexCode, FixedDigitsInCapitals) {
    EXPECT_EQ(HexCode(0x1B, 2), u"0x1B");
    EXPECT_EQ(HexCode(0x7, 2), u"0x07");
    EXPECT_EQ(HexCode(0xABC, 4), u"0x0ABC");
}

}  // namespace
