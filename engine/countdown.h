#pragma once

#include <string>
#include <string_view>

namespace zeravan::engine {

inline constexpr int countdownStart = 31;

// The count after one more second: one less, never below zero. A text that is not a whole
// number counts as zero.
std::string nextCount(std::string_view count);

}  // namespace zeravan::engine
