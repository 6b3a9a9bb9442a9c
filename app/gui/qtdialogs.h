// Message boxes and input boxes as Qt dialogs.
#pragma once

#include "engine/platform.h"

namespace vantrel {

class QtDialogs : public Dialogs {
public:
    Answer messagebox(const std::string& text, Buttons buttons, const std::string& title,
                      Icon icon) override;
    std::optional<std::string> inputbox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultanswer) override;
};

}  // namespace vantrel
