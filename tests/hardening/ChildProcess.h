#pragma once
// Failures staged inside a child process: a full file system, a read-only folder or a file size
// limit set there ends with the child, so a crashing test can leave none of them behind.
#include <filesystem>
#include <functional>
#include <string>

namespace Orvane::Test {

enum class ChildOutcome { Passed, Failed, Skipped };

// Runs `body` in a forked child. Its test assertions print there and decide the outcome; a
// crash of the child is a failure.
ChildOutcome RunInChild(const std::function<void()>& body);

// In a child of RunInChild only: ends it as Skipped, printing why.
[[noreturn]] void SkipChild(const std::string& why);

// In a child of RunInChild only: gives the process a mount table of its own and mounts an empty
// tmpfs at `dir` with `options` (such as "size=64k"), read-only when asked. False, with errno
// set, when the system refuses (no privilege to mount, no mount namespaces).
bool MountPrivateTmpfs(const std::filesystem::path& dir, const std::string& options,
                       bool readOnly = false);

}  // namespace Orvane::Test
