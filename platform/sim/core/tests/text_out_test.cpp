// Handing text out to a caller's buffer: the exact fit, one unit short, no buffer, and cutting.
#include "qv/sim/text_out.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::sim {
namespace {

TEST(TextOut, CopiesWhatFitsWithItsTerminatorOrCutsIt) {
    const struct {
        std::u16string_view text;
        size_t size;
        bool noBuffer;
        uint32_t orSize;           // what CopyTextOrSize answers
        std::u16string_view kept;  // what CopyTextCut keeps
    } cases[] = {{u"abc", 4, false, 3, u"abc"},
                 {u"abc", 3, false, 4, u"ab"},
                 {u"abc", 1, false, 4, u""},
                 {u"abc", 9, true, 4, u""},
                 {u"", 1, false, 0, u""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.noBuffer ? " without buffer" : ""));
        const bool fits = !c.noBuffer && c.size > c.text.size();
        char16_t buffer[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
        EXPECT_EQ(CopyTextOrSize(c.text, c.noBuffer ? nullptr : buffer, c.size), c.orSize);
        const std::u16string copied = fits ? std::u16string(c.text) + u'\0' : u"x";
        EXPECT_EQ(std::u16string(buffer, copied.size()), copied);
        EXPECT_EQ(CopyText(c.text, c.noBuffer ? nullptr : buffer, c.size), fits);
        EXPECT_EQ(CopyTextCut(c.text, c.noBuffer ? nullptr : buffer, c.size), c.kept.size());
        EXPECT_EQ(CopyTextCut(c.text, buffer, 0), 0u);  // an empty buffer is not written
        if (c.noBuffer) continue;
        EXPECT_EQ(std::u16string(buffer, c.kept.size() + 1), std::u16string(c.kept) + u'\0');
    }
}

}  // namespace
}  // namespace qv::sim
