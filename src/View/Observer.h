#ifndef OBSERVER_H
#define OBSERVER_H

// A receiver of the canvas's notify codes. Observers are never deleted
// through this interface, hence the protected non-virtual destructor.
class Observer {
 public:
  virtual void update(int code) = 0;

 protected:
  Observer() = default;
  ~Observer() = default;
};

#endif
