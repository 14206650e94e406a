// The traffic log (`memLog`): the newest 100 lines, and the texts of its lines.
#pragma once

#include "session/TrafficLogLines.h"
#include "ui/controls/Controls.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace velkor {

class MemoLog : public TControl {
public:
    static constexpr size_t kMaxLines = 100;

    // Lets a view follow the log without copying it: the line just appended
    // and how many lines were dropped from the front to make room.
    using AppendListener = std::function<void(const std::string& line, size_t droppedFront)>;

    using TControl::TControl;

    const std::deque<std::string>& Lines() const { return lines_; }
    void SetAppendListener(AppendListener listener) { appendListener_ = std::move(listener); }

    // Appends a line, drops the oldest beyond kMaxLines, keeps the view at the bottom.
    void Add(std::string line);

private:
    std::deque<std::string> lines_;
    AppendListener appendListener_;
};

} // namespace velkor
