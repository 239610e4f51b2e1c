#pragma once

namespace hostapp {

// The exit statuses of marvolt-host, which scripts and tests rely on by number.
enum class ExitStatus : int {
    done = 0,
    // The program's own options were wrong, the module would not load, or the host
    // itself failed unexpectedly.
    badStart = 1,
    notACommand = 2,     // a script line that is no command or file action
    inputRefused = 3,    // input a prompt could not take, or input that ended while one waited
    fileFailed = 4,      // a drawing or a script file that could not be opened, or a failed save
};

constexpr int exitCode(ExitStatus s) { return static_cast<int>(s); }

}  // namespace hostapp
