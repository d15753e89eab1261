#pragma once

#include <string>
#include <vector>

namespace quillomat::cli {

// Each subcommand takes the arguments after its name and returns the exit code:
// 0 success, 1 failure (one line on stderr), 2 bad usage.
int RunCatalogue(const std::vector<std::string>& args);
int RunList(const std::vector<std::string>& args);
int RunDump(const std::vector<std::string>& args);
int RunLoad(const std::vector<std::string>& args);
int RunPlay(const std::vector<std::string>& args);
int RunSchedule(const std::vector<std::string>& args);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace quillomat::cli
