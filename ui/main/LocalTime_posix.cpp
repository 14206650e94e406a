#include "ui/main/LocalTime.h"

namespace velkor {

std::tm LocalTimeOf(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

} // namespace velkor
