#pragma once
// The root classes of the component model: TObject, the base of everything
// that can be an event's sender, and TComponent, an object with an owner and
// a name. An owner does not free its components here: C++ ownership is held
// by whoever created them (std::unique_ptr), the owner is only a back-reference.

#include <vellix/Export.h>
#include <functional>
#include <map>
#include <string>

namespace Vellix {

class TPublishedTable;

class VELLIX_API TObject {
public:
  virtual ~TObject() = default;
};

// An event handler: receives the object that fired the event.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class VELLIX_API TComponent : public TObject {
public:
  explicit TComponent(TComponent* aOwner = nullptr) : FOwner(aOwner) {}
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The component that placed this one (a form, another component), or null.
  TComponent* Owner() const { return FOwner; }
  // The component's name, as a form file stores it.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& aName) { FName = aName; }
  // The class name as form files and the designer show it ("TVellix").
  virtual std::string ClassName() const { return "TComponent"; }

  // The properties a form file stores for this class, in declaration order
  // (vellix/Published.h). A plain TComponent publishes none.
  virtual const TPublishedTable& PublishedProperties() const;

  // The name of the handler bound to event aEvent ("OnStart"), as a form file
  // stores it; empty when none was named. Set by form loading and the designer.
  std::string EventHandlerName(const std::string& aEvent) const;
  void SetEventHandlerName(const std::string& aEvent, const std::string& aHandler);

private:
  TComponent* FOwner;
  std::string FName;
  std::map<std::string, std::string> FEventHandlerNames;
};

}  // namespace Vellix
