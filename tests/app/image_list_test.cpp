#include "app/image_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

std::vector<std::string> Entries(const ImageList& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i)
    entries.push_back(list.Name(i) + "|" + list.Label(i));
  return entries;
}

ImageList Numbered(int count) {
  ImageList list;
  for (int i = 0; i < count; ++i)
    list.RegisterImage("/p/" + std::to_string(i) + ".bmp", std::to_string(i));
  return list;
}

TEST(ImageListTest, AFullListLosesItsLastEntryToTheNewOne) {
  ImageList list = Numbered(kMaxImages);
  list.Select(24);
  list.RegisterImage("new.bmp", "new");
  ASSERT_EQ(list.Count(), 25);
  EXPECT_EQ(list.Name(23), "/p/23.bmp");
  EXPECT_EQ(Entries(list)[24], "new.bmp|new");
  EXPECT_EQ(list.Selection(), kNoImage) << "the selected entry is gone";

  // 23 entries and three shares: the third share replaces the second, and the first new
  // entry counted back from the end is an image registered before.
  list = Numbered(23);
  for (const char* share : {"capa1.bmp", "capa2.bmp", "capa3.bmp"})
    list.RegisterImage(share, share);
  list.Select(list.Count() - 3);
  EXPECT_EQ(list.Count(), 25);
  EXPECT_EQ(list.Name(23), "capa1.bmp");
  EXPECT_EQ(list.Name(24), "capa3.bmp");
  EXPECT_EQ(*list.SelectedName(), "/p/22.bmp");
}

TEST(ImageListTest, ClosingMovesLaterEntriesDownAndSelectsTheFirst) {
  ImageList list = Numbered(5);
  EXPECT_FALSE(list.CloseSelected()) << "nothing selected: nothing closed";
  EXPECT_EQ(list.Count(), 5);

  list.Select(2);
  ASSERT_TRUE(list.CloseSelected());
  EXPECT_EQ(Entries(list),
            (std::vector<std::string>{"/p/0.bmp|0", "/p/1.bmp|1", "/p/3.bmp|3", "/p/4.bmp|4"}));
  EXPECT_EQ(list.Selection(), 0);

  ASSERT_TRUE(list.RenameSelected("/q/copia.bmp", "copia"));
  EXPECT_EQ(Entries(list)[0], "/q/copia.bmp|copia");
  EXPECT_EQ(list.Selection(), 0);

  list.Select(7);
  EXPECT_EQ(list.Selection(), kNoImage);
  EXPECT_EQ(list.SelectedName(), nullptr);
  list.Select(3);
  list.CloseAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Selection(), kNoImage);
  list.Select(0);
  EXPECT_EQ(list.Selection(), kNoImage);

  list.RegisterImage("only.bmp", "only");
  list.Select(0);
  ASSERT_TRUE(list.CloseSelected());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Selection(), kNoImage);
}

}  // namespace
}  // namespace quillon
