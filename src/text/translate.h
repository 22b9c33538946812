// Which translation files the Translate command reads for the ticked boxes, and in what order.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace velmora {

// Boxes by index: 0 Pickthall (weight 2), 1 Yousuf Ali (4), 2 transliteration (8), 3 Shakir (16).
int selectionCode(const std::array<bool, 4> &ticked);

// The files for a selection code, in the fixed order transliteration, Pickthall, Yousuf Ali,
// Shakir; empty for code 0.
std::vector<std::string> filesForCode(int code);

} // namespace velmora
