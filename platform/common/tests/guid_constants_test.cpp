// The shared GUID constants: each string form is what StringFromGuid writes for its binary form,
// and the compile-time check that proves it refuses every near miss.
#include <gtest/gtest.h>

#include <string>

#include "qv/platform/guid.h"

namespace qv {
namespace {

TEST(GuidConstantsTest, StringFormsSpellTheirBinaryGuids) {
    struct Case {
        const Guid& guid;
        std::u16string_view text;
    };
    const Case cases[] = {
        {kGuidDevClassNet, kGuidDevClassNetText},
        {kGuidDevClassNetTrans, kGuidDevClassNetTransText},
        {kGuidDevClassSystem, kGuidDevClassSystemText},
        {kGuidBusDriverInterface, kGuidBusDriverInterfaceText},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GuidToString(c.guid), c.text);
        EXPECT_TRUE(GuidSpells(c.guid, c.text));
    }
}

TEST(GuidConstantsTest, GuidSpellsRefusesNearMisses) {
    const std::u16string_view nearMisses[] = {
        u"{4d36e972-e325-11ce-bfc1-08002be10318}",  // lower case
        u"{4D36E972-E325-11CE-BFC1-08002BE10319}",  // last digit
        u"{4D36E972-E325-11CE-BFC1-08002BE1031}",   // one digit short
        u"4D36E972-E325-11CE-BFC1-08002BE10318",    // no braces
        u"{4D36E972-E325-11CE-BFC108-002BE10318}",  // hyphen moved
        u"{4D36E975-E325-11CE-BFC1-08002BE10318}",  // another class
    };
    for (const auto text : nearMisses) EXPECT_FALSE(GuidSpells(kGuidDevClassNet, text));
}

}  // namespace
}  // namespace qv
