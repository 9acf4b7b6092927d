#include "engine/first_occurrence.h"

namespace zeravan::engine {

bool FirstOccurrence::matches(std::string_view now, std::string_view target) {
    if (!target.empty() && now == target && target != spent_) {
        current_ = target;
        return true;
    }
    if (!current_.empty() && now != current_) {
        spent_ = current_;
        current_.clear();
    }
    return false;
}

void FirstOccurrence::reset() {
    current_.clear();
    spent_.clear();
}

}  // namespace zeravan::engine
