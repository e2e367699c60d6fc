// The owning string list behind fonts, images and grids.

#include <gtest/gtest.h>

#include <vellix/StringList.h>

using namespace Vellix;

namespace {

struct TCounted : TObject {
  explicit TCounted(int& aAlive) : FAlive(aAlive) { ++FAlive; }
  ~TCounted() override { --FAlive; }
  int& FAlive;
};

struct TDerived : TCounted {
  using TCounted::TCounted;
};

}  // namespace

TEST(StringList, KeepsOrderAndOwnsObjects) {
  int alive = 0;
  {
    TStringList<TCounted> list;
    EXPECT_EQ(list.AddObject("Arial", std::make_unique<TCounted>(alive)), 0);
    EXPECT_EQ(list.AddObject("Arial,Bold", std::make_unique<TDerived>(alive)), 1);
    EXPECT_EQ(list.Add("plain"), 2);
    EXPECT_EQ(alive, 2);
    EXPECT_EQ(list.IndexOf("arial,BOLD"), 1);
    EXPECT_EQ(list.IndexOf("Arial "), -1);
    EXPECT_EQ(list.Objects(2), nullptr);
    list.FreeObject(0);
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(list.Objects(0), nullptr);
    EXPECT_EQ(list[0], "Arial");
    list.SetString(0, " /Im0 5 0 R");
    list.Insert(0, "first");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list[1], " /Im0 5 0 R");
    list.Delete(2);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(list.Count(), 3);
    list.AddObject("again", std::make_unique<TCounted>(alive));
    TStringList<TCounted> moved = std::move(list);
    EXPECT_EQ(alive, 1);
    moved.Clear();
    EXPECT_EQ(alive, 0);
    moved.AddObject("left", std::make_unique<TCounted>(alive));
  }
  EXPECT_EQ(alive, 0);
}
