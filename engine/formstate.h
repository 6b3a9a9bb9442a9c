// The main window as plain state: every control's caption, text, check,
// selection, colour, visibility and enabled flag. The engine, the batch
// driver and the reactions work on this; the Qt window only mirrors it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {

enum class ControlKind { Window, Label, TextBox, Button, CheckBox, Option, ScrollBar, Frame, Picture, Menu, MenuItem };

struct Control {
    ControlKind kind = ControlKind::Label;
    std::string name;       // "txtNLM(0)": for messages and tests
    std::string caption;    // labels, buttons, frames, check boxes, options, menus
    std::string text;       // text boxes
    bool checked = false;   // check box value, option selected, menu check mark
    int value = 0;          // scroll bar position
    int min = 0, max = 0;   // scroll bar range
    bool visible = true;
    bool enabled = true;
    std::uint32_t color = 0;  // text colour, 0x00BBGGRR
    bool bold = false;
    std::string tag;
    std::function<void()> onclick;   // buttons, check boxes, options, labels, menu items
    std::function<void()> onchange;  // text boxes, scroll bars
    std::function<void()> onfocus;   // text boxes
    std::vector<Control*> group;     // option buttons that exclude each other

    // Code-driven changes fire the reactions exactly where the window
    // toolkit would: only when the state really changes.
    void settext(const std::string& t);
    void setvalue(int v);        // clamps to min..max
    void setchecked(bool c);     // check boxes and menu check marks
    void select();               // option buttons; deselects the rest of the group
    void click();                // a user's click: fires onclick (checks toggle first)
};

struct MainForm {
    MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    Control Form1;  // caption of the window
    std::string designcaption = "Vantrel";

    Control Frame1, Label4, Label5, Label6;
    std::array<Control, 3> txtNLM, HScroll3;
    Control Label1, txtscal, HScroll1, lblSmall, lbllarge;
    Control Label7, txtmax, HScroll2;
    Control Label3;
    std::array<Control, 5> optAll;  // index 1 does not exist: never visible
    Control Label11;
    std::array<Control, 2> lblenergy;

    Control Frame2, chkJmol;
    std::array<Control, 2> chkEnergy;
    Control chkFull, chkBlack, chk4Panel, chkRotate, chk1st, chksmallerdots;
    Control Frame5, chkJmolAxes, chkJmolBox;

    Control Frame3;
    std::array<Control, 3> optTheory;
    std::array<Control, 3> Picture1;
    Control Frame4, Label2;
    std::array<Control, 2> OptColor;

    Control Command1, Command2, Command3;
    Control image1, lblerror, lblplane, lblnode, lblCount, Label10, Label8, Label9;
    Control List1;

    Control mnuFile, mnuNewCache, mnuclear, mnuCompare, mnuHSpectrum, mnuExit;
    Control mnuType;
    std::array<Control, 9> mnuH;
    Control mnuopt, mnuAuto, mnuQuick;
    Control mnuAbt;
    std::array<Control, 5> mnuAbout;

    // The control that has the focus; the spinners react only when they have it.
    Control* activecontrol = nullptr;
    // Esc presses Command1 while a run is going.
    bool command1cancel = false;
    // Re-entry guard of setorbital.
    bool settingorbital = false;

    // Every control, for views and tests that walk them all.
    std::vector<Control*> all();
};

MainForm& form();
// Back to the design state, without reactions (tests and start-up).
void resetform();

}  // namespace vantrel
