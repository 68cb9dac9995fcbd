#pragma once

// The windows are laid out in twips: 15 make one pixel at the standard 96 dots per inch.
namespace platform {

constexpr int twips(int value) {
    return value / 15;
}

} // namespace platform
