// The process environment.
#pragma once

namespace tzx::platform {

// The variable's value, or null when it is not set. Valid until the
// environment next changes.
const char* EnvironmentValue(const char* name);

// Sets or removes a variable; false when the name cannot name a variable
// (empty, or holding '=') or the environment cannot grow.
bool SetEnvironmentValue(const char* name, const char* value);
bool RemoveEnvironmentValue(const char* name);

}  // namespace tzx::platform
