#include "engine/energy.h"

#include <algorithm>

#include "engine/textutil.h"

namespace vantrel {

double orbitalEnergy(int z, int n) {
    if (n < 1) return 0;  // no level below n = 1; avoids a division by zero
    double z2 = double((long long)z * z);
    return energyUnit * z2 / n / n;
}

std::string formatEnergy(double value, int decimals, bool joules) {
    std::string t = numText(value);
    std::string sign;
    if (!t.empty() && t[0] == '-') {
        sign = "-";
        t.erase(0, 1);
    }
    double mantissa = val(splitFirst(t, "E"));  // t keeps the exponent text
    std::string f = formatPicture(mantissa, "0." + std::string(std::max(decimals, 0), '0'));
    long long e = roundEven(val(t));
    if (joules) return sign + f + "E" + intText(e) + " Joule";

    // Attojoules: move the decimal point s places to the right.
    long long s = e + 18;
    std::string digits = replaced(f, ".", "");
    std::string text;
    if (s == 0) {
        text = f;
    } else if (s == 1) {
        std::string d = f;
        std::string i = splitFirst(d, ".");
        text = i + d.substr(0, 1) + "." + (d.size() > 1 ? d.substr(1) : "");
    } else if (s == 2) {
        text = digits;
    } else if (s >= 3) {
        text = digits + std::string((std::size_t)std::min<long long>(s - 2, 400), '0');
    } else {
        std::string u = std::string((std::size_t)std::min<long long>(-s, 400), '0') + digits;
        std::size_t keep = std::min<std::size_t>(u.size(), (std::size_t)(3 - s));
        u = u.substr(u.size() - keep);
        text = u.substr(0, 1) + "." + u.substr(1);
    }
    return sign + text + " attoJoule";
}

namespace {

// Kinetic, potential and total energy of a level, as text.
struct LevelEnergies {
    std::string kinetic, potential, total;
};

LevelEnergies levelEnergies(double e, bool joules) {
    return {formatEnergy(-e, 2, joules), formatEnergy(2 * e, 2, joules), formatEnergy(e, 2, joules)};
}

}  // namespace

std::string calcEnergy(const OrbitalNumbers& o, EnergyForm form, EnergyUnit unit) {
    const double e = orbitalEnergy(o.z, o.n);
    if (form == EnergyForm::BothUnits) return " E = " + formatEnergy(e, 2, false) + " = " + formatEnergy(e, 2, true);
    if (form == EnergyForm::RawJoules) return " E = " + numText(e) + " Joule";

    const auto [kinetic, potential, total] = levelEnergies(e, unit == EnergyUnit::Joules);
    std::string t =
        "<table><tr><td valign=bottom><b>Kinetic energy</b></td><td valign=bottom align=right>" + kinetic +
        "</td></tr>" + crlf +
        "<tr><td valign=bottom><b>Potential energy</b></td><td valign=bottom align=right>" + potential +
        "</td></tr>" + crlf + crlf +
        "<tr><td valign=bottom><b><font color=red>TOTAL ENERGY</font></b></td><td valign=bottom "
        "align=right><font color=red>" +
        total + "</font></td></tr></table>" + crlf;
    replaceAll(t, "E-", " x 10<sup>&#150;");
    replaceAll(t, " Joule", " </sup> Joule");
    return t;
}

std::string energyMessage(const OrbitalNumbers& o, const std::string& species, EnergyUnit unit) {
    const bool joules = unit == EnergyUnit::Joules;
    const auto [kinetic, potential, total] = levelEnergies(orbitalEnergy(o.z, o.n), joules);
    std::string t = "For " + species + " n=" + intText(o.n) + " l=" + intText(o.l) + " m=" + intText(o.m) + crlf + crlf;
    t += "     Kinetic energy = \t " + kinetic + crlf;
    t += "  Potential energy = \t" + potential + crlf + crlf;
    t += "TOTAL ENERGY = \t" + total + crlf + crlf + crlf + crlf;
    if (!joules) t += "        (1 attoJoule = 1E-18 Joule)";
    return t;
}

}  // namespace vantrel
