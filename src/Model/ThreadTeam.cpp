#include "ThreadTeam.h"

#include <new>
#include <system_error>
#include <utility>

namespace {

ThreadTeam::Starter& currentStarter() {
  static ThreadTeam::Starter starter = [](std::function<void()> run) { return std::thread(std::move(run)); };
  return starter;
}

}  // namespace

ThreadTeam::ThreadTeam(unsigned extra, std::function<void()> work) : body(std::move(work)) {
  try {
    // Reserved first: a started thread is then stored without allocating,
    // so none is ever dropped while joinable.
    threads.reserve(extra);
    for (unsigned i = 0; i < extra; ++i) threads.push_back(currentStarter()([this] { runBody(); }));
  } catch (const std::system_error&) {
    // The threads started so far do the work,
  } catch (const std::bad_alloc&) {
    // as they do when memory runs out.
  }
}

ThreadTeam::~ThreadTeam() { joinAll(); }

void ThreadTeam::join() {
  joinAll();
  std::exception_ptr failure;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    failure = std::exchange(firstFailure, nullptr);
  }
  if (failure) std::rethrow_exception(failure);
}

void ThreadTeam::run(unsigned threadCount, const std::function<void()>& work) {
  ThreadTeam team(threadCount > 1 ? threadCount - 1 : 0, work);
  team.runBody();
  team.join();
}

ThreadTeam::Starter ThreadTeam::replaceStarter(Starter starter) {
  return std::exchange(currentStarter(), std::move(starter));
}

void ThreadTeam::joinAll() {
  for (std::thread& thread : threads)
    if (thread.joinable()) thread.join();
}

void ThreadTeam::runBody() {
  try {
    body();
  } catch (...) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (!firstFailure) firstFailure = std::current_exception();
  }
}
