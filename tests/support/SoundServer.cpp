#include "SoundServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "PathUtf8.h"

extern char** environ;

namespace Orvane::Test {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void Restore(const char* name, const std::string& value) {
  if (value.empty()) unsetenv(name); else setenv(name, value.c_str(), 1);
}

}  // namespace

SoundServer::SoundServer() : home_(Environment("HOME")), runtime_(Environment("XDG_RUNTIME_DIR")) {
  const std::string runtime = PathToUtf8(dir_.Path());
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  setenv("HOME", runtime.c_str(), 1);  // its cookie and its state, not the user's
  std::vector<std::string> args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                   "--load=module-null-sink", "--load=module-native-protocol-unix",
                                   "--log-level=error"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "pulseaudio", nullptr, nullptr, argv.data(), environ) != 0) {
    refusal_ = "pulseaudio cannot be started";
    return;
  }
  pid_ = pid;
  const std::filesystem::path socket = dir_.Path() / "pulse" / "native";
  for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!std::filesystem::exists(socket)) {
    refusal_ = "pulseaudio did not start serving";
    return;
  }
  setenv("PULSE_SERVER", ("unix:" + PathToUtf8(socket)).c_str(), 1);
  setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
}

SoundServer::~SoundServer() {
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("PULSE_SERVER");
  Restore("HOME", home_);
  Restore("XDG_RUNTIME_DIR", runtime_);
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace Orvane::Test
