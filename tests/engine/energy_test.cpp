#include "engine/energy.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "engine/textutil.h"

namespace vantrel {
namespace {

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

using ::testing::HasSubstr;
using ::testing::Not;

TEST(EnergyReport, LinesHtmlTableAndPlainText) {
    OrbitalNumbers o;
    EXPECT_EQ(calcEnergy(o, EnergyForm::RawJoules, EnergyUnit::Attojoules), " E = -2.1798736E-18 Joule");
    EXPECT_EQ(calcEnergy(o, EnergyForm::BothUnits, EnergyUnit::Joules), " E = -2.18 attoJoule = -2.18E-18 Joule");

    const std::string joules = calcEnergy(o, EnergyForm::PageTable, EnergyUnit::Joules);
    EXPECT_EQ(joules,
              "<table><tr><td valign=bottom><b>Kinetic energy</b></td><td valign=bottom align=right>"
              "2.18 x 10<sup>&#150;18 </sup> Joule</td></tr>\r\n"
              "<tr><td valign=bottom><b>Potential energy</b></td><td valign=bottom align=right>"
              "-4.36 x 10<sup>&#150;18 </sup> Joule</td></tr>\r\n\r\n"
              "<tr><td valign=bottom><b><font color=red>TOTAL ENERGY</font></b></td><td valign=bottom "
              "align=right><font color=red>-2.18 x 10<sup>&#150;18 </sup> Joule</font></td></tr></table>\r\n");
    const std::string atto = calcEnergy(o, EnergyForm::PageTable, EnergyUnit::Attojoules);
    EXPECT_THAT(atto, HasSubstr("align=right>2.18 attoJoule</td>"));
    EXPECT_THAT(atto, Not(HasSubstr("sup")));
    EXPECT_THAT(atto, HasSubstr("<font color=red>-2.18 attoJoule</font>"));
    o.n = 2;
    EXPECT_EQ(calcEnergy(o, EnergyForm::BothUnits, EnergyUnit::Attojoules), " E = -0.545 attoJoule = -5.45E-19 Joule");

    o = {2, 3, 2, -1};
    EXPECT_EQ(energyMessage(o, "He+ (Z=2)", EnergyUnit::Joules),
              "For He+ (Z=2) n=3 l=2 m=-1\r\n\r\n"
              "     Kinetic energy = \t 9.69E-19 Joule\r\n"
              "  Potential energy = \t-1.94E-18 Joule\r\n\r\n"
              "TOTAL ENERGY = \t-9.69E-19 Joule\r\n\r\n\r\n\r\n");
    EXPECT_EQ(energyMessage(o, "He+ (Z=2)", EnergyUnit::Attojoules),
              "For He+ (Z=2) n=3 l=2 m=-1\r\n\r\n"
              "     Kinetic energy = \t 0.969 attoJoule\r\n"
              "  Potential energy = \t-1.94 attoJoule\r\n\r\n"
              "TOTAL ENERGY = \t-0.969 attoJoule\r\n\r\n\r\n\r\n"
              "        (1 attoJoule = 1E-18 Joule)");
}

}  // namespace
}  // namespace vantrel
