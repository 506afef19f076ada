#pragma once
// The commands the main window's controls run, by identifier. Each subsystem
// registers its own; a control whose command is not registered yet stays in
// place and does nothing.
#include <array>
#include <functional>

#include "shell/command_id.h"

namespace tarlo {

class CommandTable {
  public:
    void Set(CommandId id, std::function<void()> command);
    bool Has(CommandId id) const;
    // Runs the command; false when none is registered.
    bool Run(CommandId id) const;

  private:
    std::array<std::function<void()>, kCommandCount> commands_;
};

}  // namespace tarlo
