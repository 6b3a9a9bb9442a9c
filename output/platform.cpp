#include "output/platform.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace vantrel {

Answer defaultAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    default:
        return Answer::OK;
    }
}

Answer ConsoleDialogs::messageBox(const std::string& text, Buttons buttons, const std::string&,
                                  Icon) {
    std::cout << text << std::endl;
    return defaultAnswer(buttons);
}

std::optional<std::string> ConsoleDialogs::inputBox(const std::string& prompt, const std::string&,
                                                    const std::string& def) {
    std::cout << prompt << " " << def << std::endl;
    return def;
}

Answer ScriptedDialogs::messageBox(const std::string& text, Buttons buttons,
                                   const std::string& title, Icon) {
    shown.push_back({text, title, buttons});
    if (answers.empty()) return defaultAnswer(buttons);
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedDialogs::inputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& def) {
    shown.push_back({prompt, title, Buttons::OKCancel});
    if (inputs.empty()) return def;
    auto a = inputs.front();
    inputs.pop_front();
    return a;
}

bool ScriptedDialogs::saw(const std::string& fragment) const {
    for (const auto& s : shown)
        if (s.text.find(fragment) != std::string::npos) return true;
    return false;
}

std::string executableDir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path().string() : exe.parent_path().string();
}

#ifndef VANTREL_DATA_FROM_BIN
#define VANTREL_DATA_FROM_BIN "../share/vantrel"
#endif

std::string findDataDir(const std::string& dir) {
    namespace fs = std::filesystem;
    const std::string installed = (fs::path(dir) / VANTREL_DATA_FROM_BIN).lexically_normal().string();
    for (const std::string& candidate : {dir, installed, userDataDir()}) {
        std::error_code ec;
        if (fs::exists(candidate + "/frames.ht", ec)) return candidate;
    }
    return dir;
}

std::string userDataDir() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/vantrel";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.local/share/vantrel";
}

std::string tempDir() {
    std::error_code ec;
    std::string t = std::filesystem::temp_directory_path(ec).string();
    if (ec || t.empty()) t = "/tmp";
    while (t.size() > 1 && t.back() == '/') t.pop_back();
    return t;
}

bool hasDisplay() {
    const char* d = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (d && *d) || (w && *w);
}

}  // namespace vantrel
