#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Subject.h"

namespace {

class Sender : public Subject {};

// Records the codes it receives and runs an action on each.
class Receiver : public Observer {
 public:
  void update(int code) override {
    codes.push_back(code);
    if (onUpdate) onUpdate();
  }
  std::vector<int> codes;
  std::function<void()> onUpdate;
};

TEST(SubjectTest, EverySubscribedObserverHearsEachCodeOnce) {
  Sender sender;
  Receiver first, second;
  sender.subscribe(&first);
  sender.subscribe(&second);
  sender.subscribe(&first);
  sender.notify(3);
  sender.unsubscribe(&second);
  sender.notify(7);
  EXPECT_EQ(first.codes, (std::vector<int>{3, 7}));
  EXPECT_EQ(second.codes, (std::vector<int>{3}));
}

// An observer may (un)subscribe others from inside its update, as the panels
// do when they close the results table: one removed during the walk is not
// called any more, whatever its place; one added hears the next notification.
TEST(SubjectTest, ChangesMadeDuringANotificationTakeEffectAtOnce) {
  Sender sender;
  Receiver receivers[3];
  Receiver late;
  for (Receiver& receiver : receivers) sender.subscribe(&receiver);
  for (Receiver& remover : receivers) {
    remover.onUpdate = [&] {
      for (Receiver& other : receivers)
        if (&other != &remover) sender.unsubscribe(&other);
      sender.subscribe(&late);
    };
  }
  sender.notify(2);
  int heard = 0;
  for (const Receiver& receiver : receivers) heard += static_cast<int>(receiver.codes.size());
  EXPECT_EQ(heard, 1);
  EXPECT_TRUE(late.codes.empty());
  sender.notify(5);
  EXPECT_EQ(late.codes, (std::vector<int>{5}));
}

TEST(SubjectTest, AnObserverMayRemoveItselfDuringItsUpdate) {
  Sender sender;
  Receiver self, other;
  sender.subscribe(&self);
  sender.subscribe(&other);
  self.onUpdate = [&] { sender.unsubscribe(&self); };
  sender.notify(1);
  sender.notify(2);
  EXPECT_EQ(self.codes, (std::vector<int>{1}));
  EXPECT_EQ(other.codes, (std::vector<int>{1, 2}));
}

}  // namespace
