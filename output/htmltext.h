// Text put into HTML or JavaScript, escaped for the place it goes, so that
// a folder or file name (or a summary file someone edited) cannot end an
// element, an attribute or a string early. Ordinary names pass unchanged.
#pragma once

#include <string>

namespace vantrel {

// Element content or a quoted attribute value: & < > " become entities.
std::string htmlText(const std::string& text);
// A file name as an unquoted href value: unchanged when it is letters,
// digits and . _ - + ( ), else quoted with the unsafe bytes %-encoded.
std::string hrefValue(const std::string& name);
// The inside of a single-quoted JavaScript string in a javascript: link
// held in a double-quoted attribute: backslash, quotes, % (the link is
// %-decoded before it runs), control bytes and & are escaped.
std::string scriptInLink(const std::string& text);

}  // namespace vantrel
