// Unicode normalisation, from the system's own library: decomposed letters ("u" and a combining
// diaeresis, as some editors save them) composed, so that a search typed on a keyboard finds
// them.
#pragma once

#include <string>
#include <string_view>

namespace tovaro {

/// The valid UTF-8 text in Normalization Form C; the text as it is where it cannot be
/// normalised.
std::string ComposeNfc(std::string_view utf8);

} // namespace tovaro
