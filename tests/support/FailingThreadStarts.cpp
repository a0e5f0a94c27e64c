#include "FailingThreadStarts.h"

#include <system_error>
#include <thread>
#include <utility>

FailingThreadStarts::FailingThreadStarts(unsigned failing, std::exception_ptr failure) {
  previous = ThreadTeam::replaceStarter([this, failing, failure](std::function<void()> run) {
    if (++starts >= failing) std::rethrow_exception(failure);
    return std::thread(std::move(run));
  });
}

FailingThreadStarts::~FailingThreadStarts() { ThreadTeam::replaceStarter(std::move(previous)); }

std::exception_ptr FailingThreadStarts::threadLimit() {
  return std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again)));
}
