#pragma once

#include <string>
#include <string_view>

namespace zeravan::engine {

// A wall-clock second can come round twice: in the hour repeated when daylight saving ends, or
// when the clock is set back. This lets a schedule act in the first of them only: it answers
// true on every tick of the first run of ticks whose now string equals the target, and false
// for that target from then on, until it is reset. An empty target matches nothing.
class FirstOccurrence {
public:
    bool matches(std::string_view now, std::string_view target);
    void reset();

private:
    std::string current_;  // the target being matched now, while inside its second
    std::string spent_;    // a target whose second has come and gone
};

}  // namespace zeravan::engine
