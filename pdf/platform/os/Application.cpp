#include <vellix/Application.h>

#include <cstdio>

namespace Vellix::Application {

namespace {
std::function<void()>& Pump() {
  static std::function<void()> pump;
  return pump;
}
std::function<void(const std::string&)>& Handler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}
}  // namespace

void SetMessagePump(std::function<void()> aPump) { Pump() = std::move(aPump); }

void ProcessMessages() {
  if (Pump()) Pump()();
}

void SetMessageHandler(std::function<void(const std::string&)> aHandler) { Handler() = std::move(aHandler); }

void ShowMessage(const std::string& aText) {
  if (Handler()) Handler()(aText);
  else std::fprintf(stderr, "%s\n", aText.c_str());
}

}  // namespace Vellix::Application
