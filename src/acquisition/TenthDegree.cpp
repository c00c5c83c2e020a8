#include "TenthDegree.h"

#include <algorithm>
#include <cstdlib>

namespace tavolex {

TenthDegree TenthDegree::FromTenths(int tenths) {
    const int magnitude = std::min(std::abs(tenths), 0x7FFF);
    return TenthDegree(static_cast<std::uint16_t>((tenths < 0 ? 0x8000 : 0) | magnitude));
}

std::string TenthDegree::text() const {
    const int magnitude = magnitudeTenths();
    std::string text = negative() ? "-" : "";
    text += std::to_string(magnitude / 10);
    text += '.';
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

}  // namespace tavolex
