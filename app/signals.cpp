#include "app/signals.h"

#include <signal.h>

#include <cstring>

#include "io/outfile.h"

namespace domica {

namespace {

extern "C" void remove_temps_and_end(int sig) {
  remove_temporary_files();
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

}  // namespace

void guard_outputs() {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = remove_temps_and_end;
  sigemptyset(&sa.sa_mask);
  sigaddset(&sa.sa_mask, SIGINT);
  sigaddset(&sa.sa_mask, SIGTERM);
  struct sigaction old;
  if (::sigaction(SIGINT, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace domica
