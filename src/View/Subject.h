#ifndef SUBJECT_H
#define SUBJECT_H

#include <set>

#include "Observer.h"

// The sender of notify codes. Observers are held once each, in pointer order,
// and are not owned.
class Subject {
 public:
  using Observers = std::set<Observer*>;

  void subscribe(Observer* observer);
  void unsubscribe(Observer* observer);

  // Calls update(code) on every observer subscribed when the call starts.
  // An observer may subscribe or unsubscribe others from inside its update:
  // one unsubscribed during the walk is not called any more.
  void notify(int code);

 protected:
  Subject() = default;
  ~Subject() = default;

 private:
  Observers observers;
};

#endif
