#include "SampleComponent.h"

namespace VellixTest {

using namespace Vellix;

const TPublishedTable& TSample::PublishedProperties() const {
  static const TPublishedTable table = [] {
    TPublishedTable t("TSample", [] { return std::make_unique<TSample>(); });
    t.AddString<TSample>("Title", [](const TSample& c) { return c.Title(); },
                         [](TSample& c, const std::string& v) { c.SetTitle(v); });
    t.AddInteger<TSample>("Count", [](const TSample& c) { return c.Count(); },
                          [](TSample& c, int32_t v) { c.SetCount(v); });
    t.AddBoolean<TSample>("Flag", [](const TSample& c) { return c.Flag(); },
                          [](TSample& c, bool v) { c.SetFlag(v); });
    t.AddEnumeration<TSample>(
        "Mode", "TSampleMode", {"smFirst", "smSecond", "smThird"},
        [](const TSample& c) { return static_cast<int32_t>(c.Mode()); },
        [](TSample& c, int32_t v) { c.SetMode(static_cast<TSampleMode>(v)); });
    t.AddStrings<TSample>("Items", [](const TSample& c) { return c.Items(); },
                          [](TSample& c, const std::vector<std::string>& v) { c.Items() = v; });
    t.AddEvent<TSample>("OnGo", [](const TSample& c) { return c.OnGo(); },
                        [](TSample& c, TNotifyEvent v) { c.SetOnGo(std::move(v)); });
    t.AddString<TSample>("Last", [](const TSample& c) { return c.Last(); },
                         [](TSample& c, const std::string& v) { c.SetLast(v); });
    return t;
  }();
  return table;
}

}  // namespace VellixTest
