#include "output/htmltext.h"

#include <cctype>

namespace vantrel {

namespace {

const char hexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, const char* prefix, unsigned char c) {
    out += prefix;
    out += hexDigits[c >> 4];
    out += hexDigits[c & 15];
}

}  // namespace

std::string htmlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string hrefValue(const std::string& name) {
    auto plain = [](unsigned char c) { return std::isalnum(c) || c == '.' || c == '_' || c == '-' || c == '+' || c == '(' || c == ')'; };
    bool allPlain = !name.empty();
    for (unsigned char c : name) allPlain = allPlain && plain(c);
    if (allPlain) return name;
    std::string out = "\"";
    for (unsigned char c : name) {
        if (plain(c)) out += static_cast<char>(c);
        else appendHex(out, "%", c);
    }
    return out + "\"";
}

std::string scriptInLink(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        // \xNN, with its backslash itself never %-decoded into something else.
        if (c == '\\' || c == '\'' || c == '"' || c == '%' || c == '&' || c < 0x20 || c == 0x7f)
            appendHex(out, "\\x", c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

}  // namespace vantrel
