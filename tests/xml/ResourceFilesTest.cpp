// The two files shipped beside the agent: every key of ButtonPos.xml reaches a slot
// of its own in the key table, and language.xml fills every string.
#include <gtest/gtest.h>

#include <map>

#include "TestText.h"
#include "keyconfig/DeviceKeyTable.h"
#include "keyconfig/Translation.h"
#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"
#include "xml/XmlDocument.h"

namespace {

const std::u16string kResDir = U16(K7_RES_DIR);

class ShippedButtonPos : public ::testing::Test {
protected:
    void SetUp() override {
        XmlDocument doc;
        ASSERT_TRUE(doc.LoadFile(kResDir + u"/ButtonPos.xml")) << U8(doc.StatusText());
        LoadButtonPositions(kResDir + u"/ButtonPos.xml", m_table);
        DeviceKeyTable factory;
        BuildFactoryTable(factory, m_map);
    }
    ButtonPosTable m_table;
    UsageSlotMap m_map;
};

TEST_F(ShippedButtonPos, EveryKeyHasASlotOfItsOwn) {
    std::map<std::int32_t, std::string> slots;
    for (const ButtonPosRecord& r : m_table) {
        ASSERT_FALSE(r.name.empty());
        const std::int32_t slot = SelectSlot(m_map, r.vkcode);
        // A code the usage table does not list would land in the unassigned slot 2.
        EXPECT_GE(slot, 0) << U8(r.name);
        EXPECT_NE(slot, 2) << U8(r.name);
        EXPECT_NE(slot, kMarkSlot) << U8(r.name);
        auto [it, inserted] = slots.emplace(slot, U8(r.name));
        EXPECT_TRUE(inserted) << U8(r.name) << " shares slot " << slot << " with " << it->second;
    }
    EXPECT_EQ(slots.size(), 108u);
}

TEST_F(ShippedButtonPos, KeysPlacedByTheirCode) {
    const std::map<std::uint8_t, std::int32_t> fixed{{0x41, 10}, {0xAD, 134}, {0xB5, 127}, {0xC4, 150}, {0xC3, 148}};
    std::size_t found = 0;
    for (const ButtonPosRecord& r : m_table) {
        auto it = fixed.find(r.vkcode);
        if (it == fixed.end()) continue;
        ++found;
        EXPECT_EQ(SelectSlot(m_map, r.vkcode), it->second);
    }
    EXPECT_EQ(found, fixed.size());
}

TEST_F(ShippedButtonPos, RectanglesDoNotOverlap) {
    for (std::size_t i = 0; i < m_table.size(); ++i) {
        const CRectValue& a = m_table[i].rect;
        EXPECT_LT(a.left, a.right) << U8(m_table[i].name);
        EXPECT_LT(a.top, a.bottom) << U8(m_table[i].name);
        for (std::size_t j = i + 1; j < m_table.size(); ++j) {
            const CRectValue& b = m_table[j].rect;
            bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
            EXPECT_TRUE(apart) << U8(m_table[i].name) << " overlaps " << U8(m_table[j].name);
        }
    }
}

TEST(ShippedLanguage, FillsEveryString) {
    LoadLanguageStrings(kResDir + u"/language.xml");
    for (const LanguageKey& k : LanguageKeys()) EXPECT_FALSE(k.text->empty()) << U8(k.key);
    EXPECT_EQ(str_title, u"K7 Gaming Keyboard");
    EXPECT_NE(str_msg4.find(u"not connected"), std::u16string::npos);
    EXPECT_EQ(str_config, u"Configure keyboard");
    EXPECT_EQ(str_exit, u"Exit");
    for (const LanguageKey& k : LanguageKeys()) k.text->clear();
}

}  // namespace
