#pragma once
// The few services the library asks of the application around it. Both are
// hooks the application may install; the library works without them.

#include <vellix/Export.h>
#include <functional>
#include <string>

namespace Vellix::Application {

// Called by NewPage so that a GUI application can handle its pending events
// (a progress window's Cancel button may call Abort). None by default.
VELLIX_API void SetMessagePump(std::function<void()> aPump);
VELLIX_API void ProcessMessages();

// Shows a message to the person using the application (the library uses it for
// a font it cannot use). By default the text goes to standard error.
VELLIX_API void SetMessageHandler(std::function<void(const std::string& aText)> aHandler);
VELLIX_API void ShowMessage(const std::string& aText);

}  // namespace Vellix::Application
