#include "combine/combine_flow.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "combine/stack.h"
#include "tests/shares/share_test_util.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::Picture;
using testing::Pixels;

class RecordingSession : public CombineSession {
 public:
  explicit RecordingSession(const testing::ScratchDir& dir) : m_dir(dir) {}

  std::optional<std::string> ChooseLayer(int layer, const std::string& title) override {
    events.push_back("choose " + std::to_string(layer) + " " + title);
    if (choices.empty())
      return std::nullopt;
    std::optional<std::string> choice = choices.front();
    choices.pop_front();
    return choice;
  }
  void LayerLoaded(int layer) override { events.push_back("loaded " + std::to_string(layer)); }
  void RegisterImage(const std::string& path, const std::string& label) override {
    events.push_back("register " + path + "|" + label);
  }
  void SelectNewResult() override { events.push_back("select"); }
  void ShowMessage(const std::string& caption, const std::string& text) override {
    events.push_back("message " + caption + "|" + text);
  }
  void ShowProgress(double fraction) override { progress.push_back(fraction); }
  std::string OutputPath(const std::string& name) override { return m_dir.File(name); }

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
    EXPECT_TRUE(image.Save());
    return image.FileName();
  }

  testing::ScratchDir dir;
  testing::MessageLog log;
  RecordingSession session{dir};
  std::vector<BmpImage> layers = std::vector<BmpImage>(kMaxLayers);
};

TEST_F(CombineFlowTest, StacksTheChosenLayersThenSavesRegistersAndSelectsTheResult) {
  session.choices = {Layer("a.bmp", {"bwbw", "wwww"}), Layer("b.bmp", {"wwbb", "wbww"}),
                     Layer("c.bmp", {"ww"})};
  const CombineResult result = CombineLayers(session, 3, layers);
  EXPECT_EQ(result.outcome, CombineOutcome::Done);
  EXPECT_EQ(session.events,
            (std::vector<std::string>{"choose 0 Seleccione la capa 1", "loaded 0",
                                      "choose 1 Seleccione la capa 2", "loaded 1",
                                      "choose 2 Seleccione la capa 3", "loaded 2",
                                      "register resultado.bmp|resultado.bmp", "select"}));
  EXPECT_EQ(session.progress, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  BmpImage written(dir.File("resultado.bmp"));
  ASSERT_TRUE(written.Load());
  EXPECT_EQ(written.BitCount(), 1);
  EXPECT_EQ(Pixels(written), (std::vector<std::string>{"bwbb", "wbww"}))
      << "the first layer's size; the small third layer covers nothing beyond itself";
  EXPECT_EQ(layers[2].Width(), 2);
  EXPECT_TRUE(log.Messages().empty());
}

TEST_F(CombineFlowTest, CancelOrUnreadableLayerEndsWithoutAResultAndKeepsEarlierLayers) {
  const std::string cannot = "message |No se pueden combinar las im\xE1genes. ";
  session.choices = {Layer("a.bmp", {"bw"}), std::nullopt};
  CombineResult result = CombineLayers(session, 3, layers);
  EXPECT_EQ(result.outcome, CombineOutcome::Cancelled);
  EXPECT_EQ(result.layer, 1);
  EXPECT_EQ(session.events.back(), cannot);
  EXPECT_EQ(Pixels(layers[0]), (std::vector<std::string>{"bw"}));

  session.events.clear();
  testing::WriteFileBytes(dir.File("junk.bmp"), {'B', 'M', 1, 2, 3});
  session.choices = {Layer("a.bmp", {"bw"}), dir.File("junk.bmp")};
  result = CombineLayers(session, 2, layers);
  EXPECT_EQ(result.outcome, CombineOutcome::LoadFailed);
  EXPECT_EQ(result.layer, 1);
  // Load's own message comes first, through the session like every other message.
  EXPECT_EQ(session.events,
            (std::vector<std::string>{
                "choose 0 Seleccione la capa 1", "loaded 0", "choose 1 Seleccione la capa 2",
                "message |ERROR: Unsupported bitmap file " + dir.File("junk.bmp"), cannot}))
      << "a layer that failed to load is not handed on";
  EXPECT_TRUE(log.Messages().empty()) << "nothing beside the session";
  EXPECT_FALSE(std::filesystem::exists(dir.File("resultado.bmp")));

  // Counts outside 2..9 do nothing at all.
  session.events.clear();
  EXPECT_EQ(CombineLayers(session, 1, layers).outcome, CombineOutcome::Cancelled);
  EXPECT_EQ(CombineLayers(session, 10, layers).outcome, CombineOutcome::Cancelled);
  EXPECT_TRUE(session.events.empty());
}

TEST_F(CombineFlowTest, AResultThatCannotBeSavedIsNotRegistered) {
  class NowhereSession : public RecordingSession {
   public:
    using RecordingSession::RecordingSession;
    std::string OutputPath(const std::string& name) override { return "/nonexistent/" + name; }
  } nowhere(dir);
  const std::string a = Layer("a.bmp", {"bw"});
  nowhere.choices = {a, a};
  EXPECT_EQ(CombineLayers(nowhere, 2, layers).outcome, CombineOutcome::SaveFailed);
  EXPECT_EQ(nowhere.events.back(), "message |ERROR: Can't open /nonexistent/resultado.bmp")
      << "Save says why, through the session";
  EXPECT_TRUE(log.Messages().empty());
}

}  // namespace
}  // namespace quillon
