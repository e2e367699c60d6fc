#pragma once
// A small component with one published property of every kind, used to test
// the form machinery apart from TVellix. Its setters refuse some values the
// way real components do, and Freeze() makes every checked setter refuse, as
// a document being written does.

#include <string>
#include <vector>

#include <vellix/Exception.h>
#include <vellix/Published.h>

namespace VellixTest {

enum TSampleMode { smFirst, smSecond, smThird };

class TSample : public Vellix::TComponent {
public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TSample"; }
  const Vellix::TPublishedTable& PublishedProperties() const override;

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& aValue) {
    Check("Title");
    FTitle = aValue;
  }
  int32_t Count() const { return FCount; }
  void SetCount(int32_t aValue) {
    Check("Count");
    if (aValue < 0) throw Vellix::Exception("Invalid property value: Count");
    FCount = aValue;
  }
  bool Flag() const { return FFlag; }
  void SetFlag(bool aValue) { FFlag = aValue; }
  TSampleMode Mode() const { return FMode; }
  void SetMode(TSampleMode aValue) {
    Check("Mode");
    FMode = aValue;
  }
  std::vector<std::string>& Items() { return FItems; }
  const std::vector<std::string>& Items() const { return FItems; }
  const Vellix::TNotifyEvent& OnGo() const { return FOnGo; }
  void SetOnGo(Vellix::TNotifyEvent aValue) { FOnGo = std::move(aValue); }
  // Set last: refuses "Bad", which makes it the last line a form can fail on.
  const std::string& Last() const { return FLast; }
  void SetLast(const std::string& aValue) {
    Check("Last");
    if (aValue == "Bad") throw Vellix::Exception("Invalid property value: Last");
    FLast = aValue;
  }

  void Freeze(bool aFrozen) { FFrozen = aFrozen; }
  // How many values were assigned through setters, to see a dry run apart.
  int Assignments() const { return FAssignments; }
  // The checked setters called, in order.
  const std::vector<std::string>& Log() const { return FLog; }

private:
  void Check(const char* aName) {
    ++FAssignments;
    FLog.push_back(aName);
    if (FFrozen) {
      FFrozen = false;  // like an aborted document: refuses once, then accepts
      throw Vellix::Exception(std::string("Can't modify property when printing: ") + aName);
    }
  }

  std::string FTitle = "Untitled";
  int32_t FCount = 1;
  bool FFlag = false;
  TSampleMode FMode = smSecond;
  std::vector<std::string> FItems{"one", "two"};
  Vellix::TNotifyEvent FOnGo;
  std::string FLast;
  bool FFrozen = false;
  int FAssignments = 0;
  std::vector<std::string> FLog;
};

}  // namespace VellixTest
