#ifndef THREADTEAM_H
#define THREADTEAM_H

#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Threads started for one piece of work, which never end the program: a
// thread that cannot start (the system's thread limit, memory) is left out
// and the work goes on with those that did; every thread started is joined
// on every path, exceptions included; an exception a thread lets out is kept
// for the owner instead of ending the process.
class ThreadTeam {
 public:
  // Starts a thread running the function given, or throws as std::thread's
  // constructor does (std::system_error, std::bad_alloc).
  using Starter = std::function<std::thread(std::function<void()>)>;

  // Starts up to `extra` threads, each running `body`; starting stops at the
  // first thread that cannot start.
  ThreadTeam(unsigned extra, std::function<void()> body);
  // Joins every thread still running; an exception not yet collected by
  // join() is dropped.
  ~ThreadTeam();
  ThreadTeam(const ThreadTeam&) = delete;
  ThreadTeam& operator=(const ThreadTeam&) = delete;

  // The threads that started.
  unsigned started() const { return static_cast<unsigned>(threads.size()); }

  // Waits for every thread started, then throws the first exception a body
  // let out, if any.
  void join();

  // Runs `work` on the calling thread and on up to `threadCount - 1` threads
  // started for it (0 counts as 1), and returns once every one has returned.
  // The work shares itself out (say, by taking numbered tasks from a common
  // counter), so it is done whatever number of threads started. The first
  // exception `work` lets out on any thread is thrown here, after all were
  // joined.
  static void run(unsigned threadCount, const std::function<void()>& work);

  // Every team starts its threads through this starter: std::thread, unless
  // a test put one in its place (to make starts fail). Returns the one it
  // replaces. Not to be called while a team starts threads.
  static Starter replaceStarter(Starter starter);

 private:
  // Runs the body, keeping the first exception that any thread's body lets
  // out.
  void runBody();
  void joinAll();

  std::function<void()> body;
  std::mutex mutex;
  std::exception_ptr firstFailure;  // guarded by the mutex
  std::vector<std::thread> threads;
};

#endif
