// The program's resources: Qt resources named ":/" + name.
#pragma once

#include <optional>
#include <string>

namespace vcl::internal {

// The bytes of the named resource, or nothing when there is no such resource.
std::optional<std::string> LoadResource(const std::string& name);

}  // namespace vcl::internal
