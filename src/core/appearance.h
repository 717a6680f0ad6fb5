// The look of the search page, as the appearance page sets it, with its initial values.
#pragma once

#include <string>

namespace tovaro {

/// The five options of the appearance page, as the user typed or chose them (unchecked).
struct Appearance {
    std::string backgroundColour = "#FFFFE1";
    std::string textColour = "#000000";
    std::string fontFace = "Arial, Helvetica, sans-serif";
    std::string fontSize = "3";
    std::string heading = "Tovaro Suche";
};

} // namespace tovaro
