#pragma once

#include <cstdint>
#include <string_view>

namespace quenlo::wipe {

// What the per-file shredding reports while it works: the progress window
// implements it; with no progress window nothing is reported.
class ShredProgress {
public:
    virtual ~ShredProgress() = default;

    // The method and pass text ("Wiping Method ... (pass 2)").
    virtual void setPassText(std::string_view text) = 0;

    // The pass bar starts over: position 0, maximum `maximum` (file KB).
    virtual void startPassBar(std::int64_t maximum) = 0;

    // The pass bar's position, in KB written during this pass.
    virtual void setPassPosition(std::int64_t position) = 0;

    // Lets pending window messages run, so the windows stay painted and a
    // click on Cancel gets through.
    virtual void processPendingMessages() = 0;
};

}  // namespace quenlo::wipe
