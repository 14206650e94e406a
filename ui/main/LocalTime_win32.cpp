#include "ui/main/LocalTime.h"

namespace velkor {

std::tm LocalTimeOf(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

} // namespace velkor
