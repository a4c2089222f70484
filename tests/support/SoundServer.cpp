#include "SoundServer.h"

#include <cstdlib>

#include "PathUtf8.h"

#if !defined(_WIN32)
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;
#endif

namespace Orvane::Test {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void Restore(const char* name, const std::string& value) {
  if (value.empty()) UnsetEnvironment(name); else SetEnvironment(name, value);
}

}  // namespace

SoundServer::SoundServer() : home_(Environment("HOME")), runtime_(Environment("XDG_RUNTIME_DIR")) {
#if defined(_WIN32)
  refusal_ = "the tests' sound server is PulseAudio, which Windows has not";
#else
  const std::string runtime = PathToUtf8(dir_.Path());
  SetEnvironment("XDG_RUNTIME_DIR", runtime);
  SetEnvironment("HOME", runtime);  // its cookie and its state, not the user's
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
  SetEnvironment("PULSE_SERVER", "unix:" + PathToUtf8(socket));
  SetEnvironment("SDL_AUDIODRIVER", "pulseaudio");
#endif
}

SoundServer::~SoundServer() {
  UnsetEnvironment("SDL_AUDIODRIVER");
  UnsetEnvironment("PULSE_SERVER");
  Restore("HOME", home_);
  Restore("XDG_RUNTIME_DIR", runtime_);
#if !defined(_WIN32)
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
#endif
}

}  // namespace Orvane::Test
