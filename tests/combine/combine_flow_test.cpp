#include "combine/combine_flow.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <filesystem>

#include "combine/stack.h"
#include "tests/fault_env.h"
#include "tests/shares/share_test_util.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::Picture;
using testing::Pixels;

class RecordingSession : public CombineSession {
 public:
  explicit RecordingSession(const testing::ScratchDir& dir) : m_dir(dir) {}

  std::optional<std::string> ChooseLayer(int layer) override {
    events.push_back("choose " + std::to_string(layer));
    if (choices.empty())
      return std::nullopt;
    std::optional<std::string> choice = choices.front();
    choices.pop_front();
    return choice;
  }
  void LayerLoaded(int layer) override { events.push_back("loaded " + std::to_string(layer)); }
  void ResultWritten() override { events.push_back("written"); }
  void ShowProgress(double fraction) override { progress.push_back(fraction); }
  std::string OutputPath() override { return m_dir.File(output); }

  std::string output = kResultName;
  std::deque<std::optional<std::string>> choices;
  std::vector<std::string> events;
  std::vector<double> progress;

 private:
  const testing::ScratchDir& m_dir;
};

class CombineFlowTest : public ::testing::Test {
 protected:
  std::string Layer(const std::string& name, const std::vector<std::string>& rows) {
    BmpImage image = Picture(rows, dir.File(name));
    EXPECT_TRUE(image.Save(Env::Default()));
    return image.FileName();
  }

  testing::ScratchDir dir;
  testing::FaultEnv env;
  RecordingSession session{dir};
  std::vector<BmpImage> layers = std::vector<BmpImage>(kMaxLayers);
};

TEST_F(CombineFlowTest, StacksTheChosenLayersThenWritesTheResult) {
  session.choices = {Layer("a.bmp", {"bwbw", "wwww"}), Layer("b.bmp", {"wwbb", "wbww"}),
                     Layer("c.bmp", {"ww"})};
  EXPECT_TRUE(CombineLayers(session, env, 3, layers));
  EXPECT_EQ(session.events,
            (std::vector<std::string>{"choose 0", "loaded 0", "choose 1", "loaded 1", "choose 2",
                                      "loaded 2", "written"}));
  EXPECT_EQ(session.progress, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  BmpImage written(dir.File("resultado.bmp"));
  ASSERT_TRUE(written.Load(Env::Default()));
  EXPECT_EQ(written.BitCount(), 1);
  EXPECT_EQ(Pixels(written), (std::vector<std::string>{"bwbb", "wbww"}))
      << "the first layer's size; the small third layer covers nothing beyond itself";
  EXPECT_EQ(layers[2].Width(), 2);
}

// Whatever ends the command early says which layer, keeps the layers loaded before it and
// writes nothing.
TEST_F(CombineFlowTest, WhatEndsTheCommandAndWhichLayer) {
  const std::string a = Layer("a.bmp", {"bw"});
  testing::WriteFileBytes(dir.File("junk.bmp"), {'B', 'M', 1, 2, 3});
  BmpImage empty(dir.File("empty.bmp"), 0, 0);
  ASSERT_TRUE(empty.Save(Env::Default()));
  struct Case {
    const char* name;
    std::deque<std::optional<std::string>> choices;
    std::string output;
    Code code;
    int index;
  } cases[] = {
      {"declined", {a, std::nullopt}, kResultName, Code::kCancelled, 1},
      {"unreadable", {a, dir.File("junk.bmp")}, kResultName, Code::kUnsupportedBitmap, 1},
      {"without pixels", {dir.File("empty.bmp"), a}, kResultName, Code::kNoPixels, 0},
      {"the result is a layer", {a, a}, "a.bmp", Code::kOutputIsInput, 0},
  };
  for (const Case& c : cases) {
    session.choices = c.choices;
    session.output = c.output;
    const Outcome outcome = CombineLayers(session, env, 2, layers);
    EXPECT_EQ(outcome.code, c.code) << c.name;
    EXPECT_EQ(outcome.index, c.index) << c.name;
    EXPECT_NE(session.events.back(), "written") << c.name;
  }
  EXPECT_EQ(Pixels(layers[0]), (std::vector<std::string>{"bw"}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("resultado.bmp")));

  // Counts outside 2..9 do nothing at all.
  session.events.clear();
  EXPECT_EQ(CombineLayers(session, env, 1, layers).code, Code::kBadParameters);
  EXPECT_EQ(CombineLayers(session, env, 10, layers).code, Code::kBadParameters);
  EXPECT_TRUE(session.events.empty());
}

TEST_F(CombineFlowTest, AResultThatCannotBeWrittenKeepsTheEarlierOne) {
  const std::string a = Layer("a.bmp", {"bw"});
  const std::string earlier = Layer("resultado.bmp", {"ww"});
  const std::vector<uint8_t> before = testing::ReadFileBytes(earlier);
  env.FailCall(testing::FileOp::kAppend, 0, ENOSPC);
  session.choices = {a, a};
  const Outcome outcome = CombineLayers(session, env, 2, layers);
  EXPECT_EQ(outcome.code, Code::kCannotWrite);
  EXPECT_EQ(outcome.file, earlier);
  EXPECT_EQ(outcome.error, ENOSPC);
  EXPECT_EQ(testing::ReadFileBytes(earlier), before);
  EXPECT_NE(session.events.back(), "written");
}

}  // namespace
}  // namespace quillon
