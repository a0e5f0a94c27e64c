#include "Subject.h"

#include <vector>

void Subject::subscribe(Observer* observer) { observers.insert(observer); }

void Subject::unsubscribe(Observer* observer) { observers.erase(observer); }

void Subject::notify(int code) {
  const std::vector<Observer*> snapshot(observers.begin(), observers.end());
  for (Observer* observer : snapshot) {
    if (observers.count(observer) != 0) observer->update(code);
  }
}
