#include "engine/energy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "engine/textutil.h"

namespace vantrel {
namespace {

using ::testing::HasSubstr;

TEST(Energy, LevelsInJoulesAndAttojoules) {
    EXPECT_EQ(numText(orbitalEnergy(1, 2)), "-5.449684E-19");
    EXPECT_EQ(numText(orbitalEnergy(200, 1)), "-8.7194944E-14");  // Z*Z beyond the 16-bit range
    EXPECT_EQ(orbitalEnergy(1, 0), 0);
    EXPECT_EQ(orbitalEnergy(1, -3), 0);

    const std::tuple<double, bool, const char*> cases[] = {
        {-2.1798736e-18, true, "-2.18E-18 Joule"}, {2.1798736e-18, true, "2.18E-18 Joule"},
        {orbitalEnergy(1, 2), true, "-5.45E-19 Joule"}, {-2.1798736e-18, false, "-2.18 attoJoule"},
        // One to four digits before the point, and one or two zeros after it.
        {orbitalEnergy(3, 1), false, "-19.6 attoJoule"}, {orbitalEnergy(10, 1), false, "-218 attoJoule"},
        {orbitalEnergy(30, 1), false, "-1960 attoJoule"}, {orbitalEnergy(1, 2), false, "-0.545 attoJoule"},
        {orbitalEnergy(1, 10), false, "-0.0218 attoJoule"},
        // A mantissa that rounds up to 10.00 still lands on the right value.
        {9.996e-19, false, "1.000 attoJoule"}, {9.996e-20, false, "0.1000 attoJoule"},
        {3.02721e-19, false, "0.303 attoJoule"}};
    for (auto [e, joules, text] : cases) EXPECT_EQ(formatEnergy(e, 2, joules), text) << e;
}

// The golden pages, texts and XYZ files hold calcEnergy's other forms (the
// page table in attojoules only: "energy (J)" there goes with four panels).
TEST(EnergyReport, JouleTableLevelLineAndMessage) {
    const std::string joules = calcEnergy({}, EnergyForm::PageTable, EnergyUnit::Joules);
    EXPECT_THAT(joules, HasSubstr("align=right>2.18 x 10<sup>&#150;18 </sup> Joule</td>"));
    EXPECT_THAT(joules, HasSubstr("align=right>-4.36 x 10<sup>&#150;18 </sup> Joule</td>"));
    EXPECT_THAT(joules, HasSubstr("<font color=red>-2.18 x 10<sup>&#150;18 </sup> Joule</font>"));
    EXPECT_EQ(calcEnergy({}, EnergyForm::BothUnits, EnergyUnit::Joules), " E = -2.18 attoJoule = -2.18E-18 Joule");
    const OrbitalNumbers o{2, 3, 2, -1};
    const auto message = [](const std::string& kinetic, const std::string& potential, const std::string& total) {
        return "For He+ (Z=2) n=3 l=2 m=-1\r\n\r\n     Kinetic energy = \t " + kinetic + "\r\n  Potential energy = \t" +
               potential + "\r\n\r\nTOTAL ENERGY = \t" + total + "\r\n\r\n\r\n\r\n";
    };
    EXPECT_EQ(energyMessage(o, "He+ (Z=2)", EnergyUnit::Joules), message("9.69E-19 Joule", "-1.94E-18 Joule", "-9.69E-19 Joule"));
    EXPECT_EQ(energyMessage(o, "He+ (Z=2)", EnergyUnit::Attojoules),
              message("0.969 attoJoule", "-1.94 attoJoule", "-0.969 attoJoule") + "        (1 attoJoule = 1E-18 Joule)");
}

}  // namespace
}  // namespace vantrel
