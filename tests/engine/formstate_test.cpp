#include "engine/formstate.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using FormStateTest = test::FreshState;

TEST_F(FormStateTest, ReactionsFireOnlyOnRealChanges) {
    auto& f = form();
    int clicks = 0, changes = 0;
    f.optTheory[0].onclick = [&] { ++clicks; };
    f.optTheory[0].select();  // already selected
    EXPECT_EQ(clicks, 0);
    f.optTheory[2].select();
    EXPECT_FALSE(f.optTheory[0].checked);
    f.optTheory[0].select();
    EXPECT_EQ(clicks, 1);

    f.txtscal.onchange = [&] { ++changes; };
    f.txtscal.settext("2");
    EXPECT_EQ(changes, 0);
    f.txtscal.settext("3");
    f.HScroll2.onchange = [&] { ++changes; };
    f.HScroll2.setvalue(99);  // clamped to the range
    EXPECT_EQ(f.HScroll2.value, 5);
    EXPECT_EQ(changes, 2);

    // A user's click toggles a check box before its reaction runs.
    bool seen = false;
    f.chkJmol.onclick = [&] { seen = f.chkJmol.checked; };
    f.chkJmol.click();
    EXPECT_FALSE(f.chkJmol.checked || seen);
    f.chkJmol.click();
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace vantrel
