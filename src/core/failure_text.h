// What the user reads when the file system fails: the one place where a failure becomes German.
#pragma once

#include "platform/failure.h"
#include "platform/file_system.h"

#include <string>

namespace tovaro {

/// The German sentence for a failure, ending with a full stop; empty for none.
std::string FailureText(const Failure& failure);

/// Why a page name that ends with a separator of the running system cannot be written.
std::string FolderNameReason();

/// The warning for a written page whose new file could not keep the old page's group.
std::string GroupChangeText(const GroupChange& change);

} // namespace tovaro
