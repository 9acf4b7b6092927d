#include "engine/countdown.h"

#include <charconv>

namespace zeravan::engine {

std::string nextCount(std::string_view count) {
    int value = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), value);
    if (error != std::errc{} || end != count.data() + count.size() || value <= 0) return "0";
    return std::to_string(value - 1);
}

}  // namespace zeravan::engine
