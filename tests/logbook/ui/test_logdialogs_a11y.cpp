// The sort and format dialogs worked as a screen reader works them: the
// toggle action chooses as a click does, once, and the format length is read
// out as its value.
#include "a11y.h"
#include "logbook/ui/logdialogs.h"
#include "logbook/ui/logwin.h"
#include "testkit.h"

#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>

using namespace logging2;

TEST(LogDialogsA11y, ToggleActionChoosesAsAClick)
{
    for (const a11y::How how : {a11y::How::Click, a11y::How::Toggle}) {
        SCOPED_TRACE(a11y::howName(how));
        TestApp t;
        t.app.settings[5] = 1;
        logwin w(t.app);

        w.book.sortChoice = 0;
        selsort2 s(w);
        ASSERT_TRUE(a11y::choose(s.chk_so[3], how));
        EXPECT_EQ(w.book.sortChoice, 3);
        EXPECT_TRUE(s.chk_so[3]->isChecked());
        EXPECT_FALSE(s.chk_so[0]->isChecked());

        w.book.format = "000000000000000";
        logfmt2 f(w);
        EXPECT_EQ(a11y::name(f.lbl_tl), "000");
        ASSERT_TRUE(a11y::choose(f.chk_fmt[Frequency], how));
        ASSERT_TRUE(a11y::choose(f.chk_fmt[Remarks], how));
        EXPECT_EQ(w.book.format, "000100000000100");
        EXPECT_EQ(a11y::name(f.lbl_tl), "051");
        ASSERT_TRUE(a11y::choose(f.chk_fmt[Remarks], how)); // and off again
        EXPECT_EQ(w.book.format, "000100000000000");
        EXPECT_FALSE(f.chk_fmt[Remarks]->isChecked());
        EXPECT_EQ(a11y::hiddenLabels(&f), QStringList());
    }
}
