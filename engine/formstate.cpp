#include "engine/formstate.h"

#include <algorithm>
#include <new>

namespace vantrel {

void Control::settext(const std::string& t) {
    if (text == t) return;
    text = t;
    if (onchange) onchange();
}

void Control::setvalue(int v) {
    v = std::clamp(v, min, max);
    if (value == v) return;
    value = v;
    if (onchange) onchange();
}

void Control::setchecked(bool c) {
    if (checked == c) return;
    checked = c;
    // A menu's check mark set by code is only a mark; a check box reacts.
    if (onclick && kind != ControlKind::MenuItem) onclick();
}

void Control::select() {
    if (checked) return;
    for (Control* other : group)
        if (other != this) other->checked = false;
    checked = true;
    if (onclick) onclick();
}

void Control::click() {
    switch (kind) {
    case ControlKind::CheckBox:
        checked = !checked;
        if (onclick) onclick();
        break;
    case ControlKind::Option:
        if (!checked) {
            select();
            return;
        }
        if (onclick) onclick();
        break;
    default:
        if (onclick) onclick();
    }
}

namespace {

constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t blue = 0xFF0000;

void make(Control& c, ControlKind kind, const std::string& name, const std::string& caption = "") {
    c.kind = kind;
    c.name = name;
    c.caption = caption;
}

std::string indexed(const char* name, int i) { return std::string(name) + "(" + std::to_string(i) + ")"; }

}  // namespace

MainForm::MainForm() {
    using K = ControlKind;
    make(Form1, K::Window, "Form1", "Vantrel");

    make(Frame1, K::Frame, "Frame1", "Calculation Options");
    make(Label4, K::Label, "Label4", "n");
    make(Label5, K::Label, "Label5", "l");
    make(Label6, K::Label, "Label6", "m");
    const char* nlm[3] = {"1", "0", "0"};
    for (int i = 0; i < 3; ++i) {
        make(txtNLM[i], K::TextBox, indexed("txtNLM", i));
        txtNLM[i].text = nlm[i];
        make(HScroll3[i], K::ScrollBar, indexed("HScroll3", i));
        HScroll3[i].min = -20;
        HScroll3[i].max = 20;
        HScroll3[i].value = i == 0 ? 1 : 0;
    }
    make(Label1, K::Label, "Label1", "orbital extent (Angstroms):");
    make(txtscal, K::TextBox, "txtscal");
    txtscal.text = "2";
    make(HScroll1, K::ScrollBar, "HScroll1");
    HScroll1.min = 1;
    HScroll1.max = 500;
    HScroll1.value = 2;
    make(lblSmall, K::Label, "lblSmall", "too small?");
    make(lbllarge, K::Label, "lbllarge", "too large?");
    for (Control* c : {&lblSmall, &lbllarge}) {
        c->color = red;
        c->visible = false;
    }
    make(Label7, K::Label, "Label7", "maximum number of points:");
    make(txtmax, K::TextBox, "txtmax");
    txtmax.text = "10000";
    make(HScroll2, K::ScrollBar, "HScroll2");
    HScroll2.min = -5;
    HScroll2.max = 5;
    make(Label3, K::Label, "Label3", "region:");
    const char* regions[5] = {"No Restrictions", "", "YZ plane only", "XY plane only", "XZ plane only"};
    const char* tags[5] = {"", "", "yz", "xy", "xz"};
    for (int i = 0; i < 5; ++i) {
        make(optAll[i], K::Option, indexed("optAll", i), regions[i]);
        optAll[i].tag = tags[i];
        if (i != 1) optAll[0].group.push_back(&optAll[i]);
    }
    optAll[1].visible = false;
    optAll[1].enabled = false;
    for (int i = 2; i < 5; ++i) optAll[i].group = optAll[0].group;
    optAll[0].checked = true;
    make(Label11, K::Label, "Label11", "energy:");
    make(lblenergy[0], K::Label, "lblenergy(0)", "aJ");
    make(lblenergy[1], K::Label, "lblenergy(1)", "J");
    lblenergy[0].bold = lblenergy[1].bold = true;

    make(Frame2, K::Frame, "Frame2", "3-D Display Options");
    make(chkJmol, K::CheckBox, "chkJmol", "Use Jmol");
    chkJmol.checked = true;
    make(chkEnergy[1], K::CheckBox, "chkEnergy(1)", "Energy (J)");
    make(chkEnergy[0], K::CheckBox, "chkEnergy(0)", "Energy (aJ)");
    make(chkFull, K::CheckBox, "chkFull", "Full-Screen Display");
    make(chkBlack, K::CheckBox, "chkBlack", "Black Background");
    make(chk4Panel, K::CheckBox, "chk4Panel", "4-Panel Display");
    make(chkRotate, K::CheckBox, "chkRotate", "Start Rotation");
    make(chk1st, K::CheckBox, "chk1st", "1st Quadrant Only");
    make(chksmallerdots, K::CheckBox, "chksmallerdots", "Smaller Dots");
    make(Frame5, K::Frame, "Frame5", "Jmol Options");
    make(chkJmolAxes, K::CheckBox, "chkJmolAxes", "Include Axes");
    make(chkJmolBox, K::CheckBox, "chkJmolBox", "Include Bounding Box");
    chkJmolAxes.checked = chkJmolBox.checked = true;

    make(Frame3, K::Frame, "Frame3", "Radial Plot Options");
    const char* theory[3] = {"Actual Hits", "Theoretical Radial Probability", "dummy theoretical hidden"};
    for (int i = 0; i < 3; ++i) {
        make(optTheory[i], K::Option, indexed("optTheory", i), theory[i]);
        optTheory[0].group.push_back(&optTheory[i]);
        make(Picture1[i], K::Picture, indexed("Picture1", i));
    }
    optTheory[1].group = optTheory[2].group = optTheory[0].group;
    optTheory[0].checked = true;
    optTheory[2].visible = false;
    make(Frame4, K::Frame, "Frame4", "Color Options");
    make(Label2, K::Label, "Label2", "use color to emphasize: ");
    make(OptColor[0], K::Option, "OptColor(0)", "Probability");
    make(OptColor[1], K::Option, "OptColor(1)", "Nodes");
    OptColor[0].group = OptColor[1].group = {&OptColor[0], &OptColor[1]};
    OptColor[0].checked = true;

    make(Command1, K::Button, "Command1", "&Calculate");
    make(Command2, K::Button, "Command2", "&Load");
    make(Command3, K::Button, "Command3", "&Display");
    make(image1, K::Picture, "image1");
    make(lblerror, K::Label, "lblerror", "The quantum numbers you have chosen are invalid.");
    make(lblplane, K::Label, "lblplane", "restricted to the XY-plane");
    make(lblnode, K::Label, "lblnode",
         "The region you have selected is a nodal plane. Select a different region.");
    make(lblCount, K::Label, "lblCount");
    make(Label10, K::Label, "Label10", "quick");
    make(Label8, K::Label, "Label8");
    make(Label9, K::Label, "Label9");
    for (Control* c : {&lblerror, &lblnode, &Label10}) {
        c->color = red;
        c->visible = false;
    }
    lblplane.color = blue;
    lblplane.visible = false;
    make(List1, K::Label, "List1");
    List1.visible = false;

    make(mnuFile, K::Menu, "mnuFile", "&File");
    make(mnuNewCache, K::MenuItem, "mnuNewCache", "&New Orbital Cache");
    make(mnuclear, K::MenuItem, "mnuclear", "&Clear Orbital Cache");
    make(mnuCompare, K::MenuItem, "mnuCompare", "&Energy Level Diagram");
    make(mnuHSpectrum, K::MenuItem, "mnuHSpectrum", "&Hydrogen Atom Emission Spectrum");
    make(mnuExit, K::MenuItem, "mnuExit", "E&xit");
    make(mnuType, K::Menu, "mnuType", "&Type");
    const char* species[9] = {"&H atom (Z=1)",        "H&e+ ion (Z=2)",       "&Li+2 ion (Z=3)",
                              "&Be+3 ion (Z=4)",      "&Other",               "H2 Molecule &Add",
                              "H2 Molecule &Subtract", "H2 Molecule &Left",    "H2 Molecule &Right"};
    for (int i = 0; i < 9; ++i) {
        make(mnuH[i], K::MenuItem, indexed("mnuH", i), species[i]);
        if (i >= 5) mnuH[i].enabled = mnuH[i].visible = false;
    }
    mnuH[0].checked = true;
    make(mnuopt, K::Menu, "mnuopt", "&Options");
    make(mnuAuto, K::MenuItem, "mnuAuto", "&Autoscale");
    make(mnuQuick, K::MenuItem, "mnuQuick", "&Quicker Calculation");
    make(mnuAbt, K::Menu, "mnuAbt", "&Help");
    const char* about[5] = {"&HTML help", "&Schroedinger Equation (PDF)", "&Reinstall Help Files",
                            "About &Vantrel.Exe", "About &Jmol"};
    for (int i = 0; i < 5; ++i) make(mnuAbout[i], K::MenuItem, indexed("mnuAbout", i), about[i]);
}

std::vector<Control*> MainForm::all() {
    std::vector<Control*> v = {&Form1, &Frame1, &Label4, &Label5, &Label6};
    auto add = [&v](auto& arr) {
        for (auto& c : arr) v.push_back(&c);
    };
    add(txtNLM);
    add(HScroll3);
    for (Control* c : {&Label1, &txtscal, &HScroll1, &lblSmall, &lbllarge, &Label7, &txtmax, &HScroll2, &Label3})
        v.push_back(c);
    add(optAll);
    v.push_back(&Label11);
    add(lblenergy);
    v.push_back(&Frame2);
    v.push_back(&chkJmol);
    add(chkEnergy);
    for (Control* c : {&chkFull, &chkBlack, &chk4Panel, &chkRotate, &chk1st, &chksmallerdots, &Frame5,
                       &chkJmolAxes, &chkJmolBox, &Frame3})
        v.push_back(c);
    add(optTheory);
    add(Picture1);
    v.push_back(&Frame4);
    v.push_back(&Label2);
    add(OptColor);
    for (Control* c : {&Command1, &Command2, &Command3, &image1, &lblerror, &lblplane, &lblnode, &lblCount,
                       &Label10, &Label8, &Label9, &List1, &mnuFile, &mnuNewCache, &mnuclear, &mnuCompare,
                       &mnuHSpectrum, &mnuExit, &mnuType})
        v.push_back(c);
    add(mnuH);
    for (Control* c : {&mnuopt, &mnuAuto, &mnuQuick, &mnuAbt}) v.push_back(c);
    add(mnuAbout);
    return v;
}

namespace {
alignas(MainForm) unsigned char formstorage[sizeof(MainForm)];
MainForm* theform = nullptr;
}  // namespace

MainForm& form() {
    if (!theform) theform = new (formstorage) MainForm();
    return *theform;
}

void resetform() {
    if (theform) theform->~MainForm();
    theform = new (formstorage) MainForm();
}

}  // namespace vantrel
