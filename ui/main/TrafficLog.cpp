#include "ui/main/TrafficLog.h"

namespace velkor {

void MemoLog::Add(std::string line) {
    lines_.push_back(std::move(line));
    size_t dropped = 0;
    while (lines_.size() > kMaxLines) {
        lines_.pop_front();
        ++dropped;
    }
    if (appendListener_) {
        appendListener_(lines_.back(), dropped);
    }
    Changed();
}

} // namespace velkor
