// The document as the window will drive it: commands, what observers hear, the encryption on
// a worker thread with its cancel, saving, stacking, printing and settings.
#include "studio/document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <thread>

#include "shares/encrypt.h"
#include "shares/share_output.h"
#include "studio/offset_stack.h"
#include "studio/texts.h"
#include "tests/fault_env.h"
#include "tests/shares/share_test_util.h"
#include "tests/studio/studio_test_util.h"

// Fontconfig, which Cairo uses for the PDF's labels, keeps its font caches for the life of the
// process on purpose; LeakSanitizer would count them as leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace quillon::studio {
namespace {

using testing::FaultEnv;
using testing::FileOp;
using testing::Pixels;
using testing::ReadFileBytes;
using testing::ScratchDir;

// A host for the driver itself, to compare the document's shares with.
class PlainSession : public ShareSession {
 public:
  std::optional<std::string> ChooseInnocentImage(int) override { return std::nullopt; }
};

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() : doc(env) {
    testing::SaveBmp(secretImage, SecretPath());
    std::filesystem::create_directory(dir.File("out"));
    doc.AddObserver(&observer);
  }

  std::string SecretPath() const { return dir.File("secret.bmp"); }

  // Starts, runs on a worker thread and delivers one encryption.
  Result Encrypt(uint32_t seed) {
    std::unique_ptr<EncryptJob> job;
    if (Result started = doc.StartEncrypt(MakeSeededRandom(seed), &job); !started)
      return started;
    EXPECT_TRUE(doc.Busy());
    std::thread worker([&job] { job->Run(); });
    worker.join();
    return job->Deliver();
  }

  // The (k,n) scheme with the given method, the secret open.
  void Choose(int n, int k, ExpansionMethod method) {
    ASSERT_TRUE(doc.OpenSecret(SecretPath()));
    doc.SetSchemeKind(SchemeKind::SchemeKofN);
    doc.SetParticipants(n);
    doc.SetThreshold(k);
    doc.SetMethod(method);
  }

  std::vector<std::vector<std::string>> LayerPixels() const {
    std::vector<std::vector<std::string>> pixels;
    for (const Layer& layer : doc.Layers())
      pixels.push_back(Pixels(*layer.image));
    return pixels;
  }

  ScratchDir dir;
  FaultEnv env;
  Document doc;
  testing::RecordingObserver observer;
  const BmpImage secretImage = testing::RandomPicture(10, 12, 1, 21);
};

TEST_F(DocumentTest, OpeningTheSecretIsHeardAndRemembered) {
  ASSERT_TRUE(doc.OpenSecret(SecretPath()));
  EXPECT_EQ(observer.Take(), kSecretAspect | kFactsAspect | kRecentAspect | kFoldersAspect);
  EXPECT_EQ(doc.Recent().Paths(), std::vector<std::string>{SecretPath()});
  EXPECT_EQ(doc.Settings().secretFolder, dir.Path().string());

  const Result missing = doc.OpenSecret(dir.File("gone.png"));
  EXPECT_EQ(missing.problem, Problem::kOutcome);
  EXPECT_EQ(missing.role, Role::kSecret);
  EXPECT_EQ(missing.outcome.code, Code::kCannotOpen);
  EXPECT_EQ(observer.Take(), 0u) << "a failure changes nothing";
  EXPECT_EQ(doc.Secret().Path(), SecretPath());

  EXPECT_TRUE(doc.SetSecretReading(doc.Secret().Reading()));
  EXPECT_EQ(observer.Take(), 0u);
  ASSERT_TRUE(doc.ApplyFix({FixKind::kInvert}));
  EXPECT_EQ(observer.Take(), static_cast<unsigned>(kSecretAspect));
  EXPECT_TRUE(doc.Secret().Reading().rule.invert);
}

// The shares made on the worker are the driver's shares for the same draws, and encrypting
// again encrypts the secret again, never a share.
TEST_F(DocumentTest, EncryptMakesTheDriversSharesOfTheSecret) {
  Choose(3, 2, ExpansionMethod::SquareSubpixelExpansion);
  observer.Take();
  ASSERT_TRUE(Encrypt(7));
  EXPECT_FALSE(doc.Busy());
  EXPECT_EQ(observer.Take(), kBusyAspect | kLayersAspect | kStackAspect | kPrintAspect);
  ASSERT_EQ(doc.MadeShares(), 3);
  for (int r = 0; r < 3; ++r) {
    const Layer& layer = doc.Layers()[r];
    EXPECT_EQ(layer.name, ShareName(r));
    EXPECT_EQ(layer.participant, r);
    EXPECT_TRUE(layer.made && layer.ticked && layer.path.empty());
  }

  PlainSession session;
  EncryptRequest request;
  request.scheme = doc.Scheme().Params();
  request.method = ExpansionMethod::SquareSubpixelExpansion;
  request.secret = doc.Secret().TwoColour().get();
  const std::unique_ptr<RandomSource> random = MakeSeededRandom(7);
  request.random = random.get();
  std::vector<BmpImage> expected;
  ASSERT_TRUE(MakeShares(session, env, request, expected));
  const auto first = LayerPixels();
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(first[r], Pixels(expected[r])) << r;

  ASSERT_TRUE(Encrypt(7));
  EXPECT_EQ(LayerPixels(), first);
  ASSERT_TRUE(Encrypt(8));
  EXPECT_NE(LayerPixels(), first);
  EXPECT_EQ(doc.MadeShares(), 3) << "a new set replaces the shares made before";
}

// However a cancel comes, the document stays as it was, and a job is delivered once.
TEST_F(DocumentTest, ACancelledRunLeavesTheDocumentAsItWas) {
  Choose(3, 3, ExpansionMethod::RandomBasisColumn);
  ASSERT_TRUE(Encrypt(1));
  const auto before = LayerPixels();
  const BmpImage* firstShare = doc.Layers()[0].image.get();

  enum class When { kBeforeRun, kFromTheWork, kFromTheOwner };
  for (When when : {When::kBeforeRun, When::kFromTheWork, When::kFromTheOwner}) {
    std::unique_ptr<EncryptJob> job;
    ASSERT_TRUE(doc.StartEncrypt(MakeSeededRandom(2), &job));
    EXPECT_EQ(job->Deliver().problem, Problem::kBusy) << "not run yet";
    std::unique_ptr<EncryptJob> second;
    EXPECT_EQ(doc.StartEncrypt(MakeSeededRandom(3), &second).problem, Problem::kBusy);
    EXPECT_EQ(second, nullptr);
    if (when == When::kBeforeRun)
      job->Cancel();
    std::thread worker([&] {
      job->Run([&](double) {
        if (when == When::kFromTheWork)
          job->Cancel();
      });
    });
    if (when == When::kFromTheOwner)
      job->Cancel();
    worker.join();
    EXPECT_TRUE(job->Finished());
    const Result result = job->Deliver();
    EXPECT_EQ(result.outcome.code, Code::kCancelled) << static_cast<int>(when);
    if (when != When::kFromTheOwner) {
      EXPECT_EQ(job->WorkOutcome().code, Code::kCancelled) << "the work stopped early";
    }
    EXPECT_EQ(job->Deliver().outcome.code, Code::kCancelled) << "delivered once";
    EXPECT_FALSE(doc.Busy());
    EXPECT_EQ(doc.Layers()[0].image.get(), firstShare);
    EXPECT_EQ(LayerPixels(), before);
  }
  // A job dropped without being delivered does not leave the document busy.
  {
    std::unique_ptr<EncryptJob> job;
    ASSERT_TRUE(doc.StartEncrypt(MakeSeededRandom(4), &job));
  }
  EXPECT_FALSE(doc.Busy());
  EXPECT_EQ(LayerPixels(), before);
}

TEST_F(DocumentTest, RefusalsChangeNothing) {
  const BmpImage tiny = testing::RandomPicture(3, 3, 1, 9);
  testing::SaveBmp(tiny, dir.File("tiny.bmp"));
  struct Case {
    const char* name;
    std::function<void(Document&)> choose;
    Problem problem;
    Code code;
    Role role;
    int index;
  } cases[] = {
      {"no secret", [](Document&) {}, Problem::kOutcome, Code::kNoSecret, Role::kNone, -1},
      {"sets that do not read",
       [](Document& d) {
         d.SetSchemeKind(SchemeKind::SchemeGeneral);
         d.SetQualifiedSetsText("1,x");
       },
       Problem::kSetsInvalid, Code::kOk, Role::kNone, -1},
      {"no sets", [](Document& d) { d.SetSchemeKind(SchemeKind::SchemeGeneral); },
       Problem::kOutcome, Code::kNoQualifiedSet, Role::kNone, -1},
      {"participant 1 alone",
       [](Document& d) {
         d.SetSchemeKind(SchemeKind::SchemeGeneral);
         d.SetParticipants(3);
         d.SetQualifiedSetsText("1;2,3");
       },
       Problem::kOutcome, Code::kSingleQualified, Role::kNone, 0},
      {"no innocent image", [](Document& d) { d.SetMethod(ExpansionMethod::ExtendedPreserveSize); },
       Problem::kInnocentMissing, Code::kOk, Role::kNone, 0},
      {"one innocent image",
       [&](Document& d) {
         d.SetMethod(ExpansionMethod::ExtendedPreserveDetail);
         d.SetInnocentImage(0, SecretPath());
       },
       Problem::kInnocentMissing, Code::kOk, Role::kNone, 1},
      {"innocent image too small",
       [&](Document& d) {
         d.SetMethod(ExpansionMethod::ExtendedPreserveDetail);
         d.SetInnocentImage(0, SecretPath());
         d.SetInnocentImage(1, dir.File("tiny.bmp"));
       },
       Problem::kOutcome, Code::kInnocentTooSmall, Role::kInnocent, 1},
      {"innocent image missing",
       [&](Document& d) {
         d.SetMethod(ExpansionMethod::ExtendedPreserveSize);
         d.SetInnocentImage(0, dir.File("none.png"));
         d.SetInnocentImage(1, SecretPath());
       },
       Problem::kOutcome, Code::kCannotOpen, Role::kInnocent, 0},
  };
  for (const Case& c : cases) {
    Document fresh(env);
    if (std::string(c.name) != "no secret") {
      ASSERT_TRUE(fresh.OpenSecret(SecretPath()));
    }
    c.choose(fresh);
    std::unique_ptr<EncryptJob> job;
    Result result = fresh.StartEncrypt(MakeSeededRandom(5), &job);
    if (result) {
      job->Run();
      result = job->Deliver();
    }
    EXPECT_EQ(result.problem, c.problem) << c.name;
    EXPECT_EQ(result.outcome.code, c.code) << c.name;
    EXPECT_EQ(result.role, c.role) << c.name;
    if (c.index >= 0) {
      EXPECT_EQ(c.problem == Problem::kOutcome ? result.outcome.index : result.index, c.index)
          << c.name;
    }
    EXPECT_FALSE(fresh.Busy()) << c.name;
    EXPECT_TRUE(fresh.Layers().empty()) << c.name;
  }
  // Allowed, the share in the clear is made.
  Document allowed(env);
  ASSERT_TRUE(allowed.OpenSecret(SecretPath()));
  allowed.SetSchemeKind(SchemeKind::SchemeGeneral);
  allowed.SetParticipants(3);
  allowed.SetQualifiedSetsText("1;2,3");
  allowed.SetAllowClearShare(true);
  std::unique_ptr<EncryptJob> job;
  ASSERT_TRUE(allowed.StartEncrypt(MakeSeededRandom(5), &job));
  job->Run();
  EXPECT_TRUE(job->Deliver());
  EXPECT_EQ(allowed.MadeShares(), 3);
}

// The set is written whole or not at all, the replaced files named first, never over an
// input.
TEST_F(DocumentTest, SharesAreSavedAsOneSet) {
  const std::string out = dir.File("out");
  SharesPlan plan;
  EXPECT_EQ(doc.PlanSaveShares(out, ShareFormat::kBmp, &plan).problem, Problem::kNoShares);
  Choose(3, 2, ExpansionMethod::PixelSampling);
  ASSERT_TRUE(Encrypt(3));

  ASSERT_TRUE(doc.PlanSaveShares(out, ShareFormat::kBmp, &plan));
  const std::vector<std::string> files = {out + "/capa1.bmp", out + "/capa2.bmp",
                                          out + "/capa3.bmp"};
  EXPECT_EQ(plan.files, files);
  EXPECT_TRUE(plan.replaced.empty());
  ASSERT_TRUE(doc.SaveShares(out, ShareFormat::kBmp));
  for (int r = 0; r < 3; ++r) {
    BmpImage saved(files[r]);
    ASSERT_TRUE(saved.Load(Env::Default()));
    EXPECT_EQ(Pixels(saved), Pixels(*doc.Layers()[r].image));
  }
  EXPECT_EQ(doc.Settings().sharesFolder, out);

  testing::WriteFileBytes(out + "/capa4.bmp", {1});
  testing::WriteFileBytes(out + "/capa2.png", {1});
  ASSERT_TRUE(doc.PlanSaveShares(out, ShareFormat::kBmp, &plan));
  EXPECT_EQ(plan.replaced, files);
  EXPECT_EQ(plan.leftOver, (std::vector<std::string>{out + "/capa2.png", out + "/capa4.bmp"}));

  // A share that cannot be written: none is, and the earlier set stays.
  ASSERT_TRUE(Encrypt(4));
  std::vector<std::vector<uint8_t>> before;
  for (const std::string& file : files)
    before.push_back(ReadFileBytes(file));
  env.FailPath(FileOp::kAppend, "capa2.bmp", ENOSPC);
  const Result failed = doc.SaveShares(out, ShareFormat::kBmp);
  EXPECT_EQ(failed.role, Role::kShare);
  EXPECT_EQ(failed.outcome.index, 1);
  EXPECT_EQ(failed.outcome.error, ENOSPC);
  for (size_t r = 0; r < files.size(); ++r)
    EXPECT_EQ(ReadFileBytes(files[r]), before[r]);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 5) << "nothing staged";

  // PNG shares read back as the same pixels.
  ASSERT_TRUE(doc.SaveShares(out, ShareFormat::kPng));
  BmpImage png;
  ASSERT_TRUE(LoadTwoColourPicture(Env::Default(), out + "/capa3.png", false, {}, png));
  EXPECT_EQ(Pixels(png), Pixels(*doc.Layers()[2].image));

  // Opened as a layer, a share file is an input: no save replaces it.
  ASSERT_TRUE(doc.OpenLayers({files[1]}));
  const Result refused = doc.PlanSaveShares(out, ShareFormat::kBmp, &plan);
  EXPECT_EQ(refused.outcome.code, Code::kOutputIsInput);
  EXPECT_EQ(refused.outcome.detail, files[1]);
  EXPECT_EQ(ReadFileBytes(files[1]), before[1]);
}

TEST_F(DocumentTest, TheStackTellsWhatItShowsAndDecodes) {
  Choose(3, 2, ExpansionMethod::SquareSubpixelExpansion);
  ASSERT_TRUE(Encrypt(3));
  // Opened copies of share 2 ("capa2.bmp" names participant 2) and of share 3 under
  // another name.
  testing::SaveBmp(*doc.Layers()[1].image, dir.File("capa2.bmp"));
  testing::SaveBmp(*doc.Layers()[2].image, dir.File("other.bmp"));
  ASSERT_TRUE(doc.OpenLayers({dir.File("capa2.bmp"), dir.File("other.bmp")}));
  ASSERT_EQ(doc.Layers().size(), 5u);
  EXPECT_EQ(doc.Layers()[3].participant, 1);
  EXPECT_EQ(doc.Layers()[4].participant, -1);

  using S = StackCheck::State;
  struct Case {
    std::vector<int> ticked;
    int participantOfOther;
    S state;
    int layer;
  } cases[] = {
      {{}, -1, S::kNothingTicked, -1},       {{0}, -1, S::kForbidden, -1},
      {{0, 2}, -1, S::kQualified, -1},       {{0, 1, 2}, -1, S::kQualified, -1},
      {{1, 3}, -1, S::kParticipantTwice, 3}, {{0, 4}, -1, S::kUnknownParticipant, 4},
      {{0, 4}, 2, S::kQualified, -1},        {{0, 4}, 5, S::kBeyondScheme, 4},
  };
  for (const Case& c : cases) {
    for (int i = 0; i < 5; ++i)
      ASSERT_TRUE(
          doc.TickLayer(i, std::find(c.ticked.begin(), c.ticked.end(), i) != c.ticked.end()));
    ASSERT_TRUE(doc.SetLayerParticipant(4, c.participantOfOther));
    const StackCheck check = doc.CheckStack();
    EXPECT_EQ(check.state, c.state) << c.ticked.size();
    EXPECT_EQ(check.layer, c.layer) << c.ticked.size();
    EXPECT_EQ(check.ticked, static_cast<int>(c.ticked.size()));
    EXPECT_EQ(doc.Stacked() == nullptr, c.ticked.empty());
    if (c.state == S::kQualified) {
      EXPECT_TRUE(check.analysed);
      EXPECT_GT(check.h, check.l);
    }
  }
  EXPECT_EQ(doc.SetLayerParticipant(0, 2).problem, Problem::kLayerIndex)
      << "made shares keep theirs";

  // Shares 1 and 3 decode to the secret exactly.
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(doc.TickLayer(i, i == 0 || i == 2));
  ASSERT_TRUE(doc.DecodeStack());
  ASSERT_NE(doc.Decoded(), nullptr);
  EXPECT_EQ(doc.Decoded()->ambiguous, 0);
  EXPECT_EQ(Pixels(doc.Decoded()->image), Pixels(*doc.Secret().TwoColour()));

  // A nudge moves the stack and ends the decoding; decoding then needs the layers aligned.
  observer.Take();
  const std::vector<std::string> aligned = Pixels(*doc.Stacked());
  ASSERT_TRUE(doc.NudgeLayer(2, 1, 0));
  EXPECT_EQ(observer.Take(), kLayersAspect | kStackAspect);
  EXPECT_EQ(doc.Decoded(), nullptr);
  EXPECT_EQ(Pixels(*doc.Stacked()),
            Pixels(StackPlacedLayers(
                {{doc.Layers()[0].image.get(), 0, 0}, {doc.Layers()[2].image.get(), 1, 0}}, "s")));
  EXPECT_NE(Pixels(*doc.Stacked()), aligned);
  EXPECT_EQ(doc.DecodeStack().problem, Problem::kOffsetsSet);
  ASSERT_TRUE(doc.NudgeLayer(2, INT32_MAX, INT32_MIN));
  EXPECT_EQ(doc.Layers()[2].dx, doc.Layers()[2].image->Width()) << "kept within reach";
  doc.ResetOffsets();
  EXPECT_EQ(Pixels(*doc.Stacked()), aligned);

  // The stacked picture is saved whole, never over a layer.
  EXPECT_EQ(doc.SaveStacked(dir.File("other.bmp")).outcome.code, Code::kOutputIsInput);
  ASSERT_TRUE(doc.SaveStacked(dir.File("stacked.png")));
  BmpImage saved;
  ASSERT_TRUE(LoadTwoColourPicture(Env::Default(), dir.File("stacked.png"), false, {}, saved));
  EXPECT_EQ(Pixels(saved), aligned);
  EXPECT_EQ(doc.SaveDecoded(dir.File("decoded.bmp")).problem, Problem::kNotDecoded);
  ASSERT_TRUE(doc.DecodeStack());
  ASSERT_TRUE(doc.SaveDecoded(dir.File("decoded.bmp")));

  // Decoding needs a block method, and layers of one size.
  ASSERT_TRUE(doc.RemoveLayer(4));
  EXPECT_EQ(doc.RemoveLayer(0).problem, Problem::kLayerIndex) << "made shares stay";
  testing::SaveBmp(testing::RandomPicture(4, 4, 1, 1), dir.File("capa3.bmp"));
  ASSERT_TRUE(doc.OpenLayers({dir.File("capa3.bmp")}));
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(doc.TickLayer(i, i == 0 || i == 4));
  EXPECT_EQ(doc.DecodeStack().problem, Problem::kLayerSizesDiffer);
  doc.SetMethod(ExpansionMethod::RandomBasisColumn);
  // The job stacks its own shares; with an opened layer ticked the document stacks them all.
  const auto stackOfTicked = [&] {
    std::vector<PlacedLayer> placed;
    for (const Layer& layer : doc.Layers()) {
      if (layer.ticked)
        placed.push_back({layer.image.get(), layer.dx, layer.dy});
    }
    return Pixels(StackPlacedLayers(placed, kStackedName));
  };
  ASSERT_TRUE(Encrypt(5));
  EXPECT_EQ(Pixels(*doc.Stacked()), stackOfTicked());
  ASSERT_TRUE(doc.TickLayer(4, false));
  EXPECT_EQ(doc.DecodeStack().problem, Problem::kNotBlockMethod);
  ASSERT_TRUE(Encrypt(6));
  EXPECT_EQ(Pixels(*doc.Stacked()), stackOfTicked());
}

TEST_F(DocumentTest, LayersThatReadAreKept) {
  testing::WriteGreyPng(dir.File("capa3.png"), 4, 4, std::vector<uint8_t>(16, 0));
  testing::WriteFileBytes(dir.File("junk.bmp"), {'B', 'M', 1});
  observer.Take();
  const Result result = doc.OpenLayers({dir.File("capa3.png"), dir.File("missing.bmp"),
                                        dir.File("junk.bmp"), dir.File("capa3.png")});
  EXPECT_EQ(result.role, Role::kLayer);
  EXPECT_EQ(result.index, 1);
  EXPECT_EQ(result.outcome.code, Code::kCannotOpen);
  EXPECT_EQ(result.outcome.file, dir.File("missing.bmp"));
  ASSERT_EQ(doc.Layers().size(), 2u);
  EXPECT_EQ(doc.Layers()[0].participant, 2);
  EXPECT_TRUE(doc.Layers()[0].ticked);
  EXPECT_EQ(observer.Take(), kLayersAspect | kStackAspect | kFoldersAspect);
  EXPECT_EQ(doc.TickLayer(7, true).problem, Problem::kLayerIndex);
  EXPECT_EQ(doc.NudgeLayer(-1, 1, 1).problem, Problem::kLayerIndex);
}

TEST_F(DocumentTest, PrintChoicesPreviewAndPdf) {
  struct Case {
    PrintChoice choice;
    bool ok;
  } cases[] = {
      {{"a4", 0.5, false}, true},     {{"letter", 20, true}, true}, {{"b7", 0.5, false}, false},
      {{"a4", 0.04, false}, false},   {{"a4", 21, false}, false},   {{"a4", NAN, false}, false},
      {{"letter", 0.1, false}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(doc.SetPrintChoice(c.choice).ok(), c.ok) << c.choice.paper << c.choice.pixelMm;
    if (c.ok) {
      EXPECT_EQ(doc.Print().paper, c.choice.paper);
    } else {
      EXPECT_EQ(doc.SetPrintChoice(c.choice).problem, Problem::kBadPrintChoice);
    }
  }
  PrintPreview preview;
  EXPECT_EQ(doc.PreviewPrint(&preview).problem, Problem::kNoShares);
  Choose(3, 2, ExpansionMethod::SquareSubpixelExpansion);
  ASSERT_TRUE(Encrypt(1));
  for (bool samePage : {false, true}) {
    ASSERT_TRUE(doc.SetPrintChoice({"a4", 0.25, samePage}));
    ASSERT_TRUE(doc.PreviewPrint(&preview));
    EXPECT_EQ(preview.layout.pages, samePage ? 1 : 3);
    EXPECT_EQ(preview.firstPageShares,
              (samePage ? std::vector<int>{0, 1, 2} : std::vector<int>{0}));
    EXPECT_EQ(preview.paperWidthMm, 210);
  }
  // Shares wider than the paper are refused, saying which pixel size fits.
  ASSERT_TRUE(doc.SetPrintChoice({"a4", 20, true}));
  const Result misfit = doc.PreviewPrint(&preview);
  EXPECT_EQ(misfit.outcome.code, Code::kPrintTooLarge);
  EXPECT_GT(preview.layout.misfit.fittingPixelMm, 0);

  ASSERT_TRUE(doc.SetPrintChoice({"a4", 0.25, false}));
  const Texts texts;
  ASSERT_TRUE(doc.PrintPdf(dir.File("shares.pdf"), texts));
  const std::vector<uint8_t> pdf = ReadFileBytes(dir.File("shares.pdf"));
  ASSERT_GE(pdf.size(), 4u);
  EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 4), "%PDF");
  const Result overSecret = doc.PrintPdf(SecretPath(), texts);
  EXPECT_EQ(overSecret.role, Role::kPdf);
  EXPECT_EQ(overSecret.outcome.code, Code::kOutputIsInput);
}

TEST_F(DocumentTest, SettingsComeBackWithinRange) {
  doc.SetSchemeKind(SchemeKind::SchemeKofN);
  doc.SetOptimal(true);
  doc.SetParticipants(7);
  doc.SetThreshold(6);
  doc.SetQualifiedSetsText("1,2;3");
  doc.SetSchemeKind(SchemeKind::Scheme2ofN);
  doc.SetMethod(ExpansionMethod::SmallestSquareWithFiller);
  ASSERT_TRUE(doc.SetPrintChoice({"letter", 1.25, true}));
  doc.SetShareFormat(ShareFormat::kPng);
  doc.SetWindowSize(900, 700);
  ASSERT_TRUE(doc.OpenSecret(SecretPath()));

  Document restored(env);
  restored.ApplySettings(SettingsFromPairs(SettingsToPairs(doc.Settings())));
  const StudioSettings a = doc.Settings(), b = restored.Settings();
  EXPECT_EQ(SettingsToPairs(a), SettingsToPairs(b));
  EXPECT_EQ(b.scheme, 1);
  EXPECT_EQ(b.participants, 7);
  EXPECT_EQ(b.threshold, 6);
  EXPECT_TRUE(b.optimal);
  EXPECT_EQ(b.print.pixelMm, 1.25);
  EXPECT_EQ(b.recent, std::vector<std::string>{SecretPath()});

  // Values that cannot be read or are out of range end within range.
  Document odd(env);
  odd.ApplySettings(SettingsFromPairs({{"Scheme", "12"},
                                       {"Participants", "40"},
                                       {"Threshold", "x"},
                                       {"Method", "-1"},
                                       {"PixelMm", "0,5"},
                                       {"Paper", "b7"},
                                       {"WindowWidth", "-5"},
                                       {"Recent1", "a"},
                                       {"Recent2", ""},
                                       {"Recent3", "a"},
                                       {"Recent4", "b"}}));
  const StudioSettings c = odd.Settings();
  EXPECT_EQ(c.scheme, 0);
  EXPECT_EQ(c.participants, 9);
  EXPECT_EQ(c.threshold, 2);
  EXPECT_EQ(c.method, 0);
  EXPECT_EQ(c.print.paper, "a4");
  EXPECT_EQ(c.print.pixelMm, 0.5);
  EXPECT_EQ(c.windowWidth, 0);
  EXPECT_EQ(c.recent, (std::vector<std::string>{"a", "b"}));
}

TEST(RecentFiles, MostRecentFirstOnceAndAtMostEight) {
  RecentFiles recent;
  for (const char* path : {"a", "b", "c", "a", "", "d"})
    recent.Add(path);
  EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"d", "a", "c", "b"}));
  recent.Remove("c");
  recent.Remove("zz");
  EXPECT_EQ(recent.Save(), (std::vector<std::string>{"d", "a", "b"}));
  for (int i = 0; i < 10; ++i)
    recent.Add(std::to_string(i));
  ASSERT_EQ(recent.Paths().size(), kMaxRecentFiles);
  EXPECT_EQ(recent.Paths().front(), "9");
  EXPECT_EQ(recent.Paths().back(), "2");
}

TEST_F(DocumentTest, TheOptimalOfferIsTaken) {
  doc.SetSchemeKind(SchemeKind::SchemeKofN);
  doc.SetParticipants(9);
  doc.SetThreshold(3);
  ASSERT_TRUE(doc.Facts().optimalOffered);
  observer.Take();
  doc.TakeOptimalOffer();
  EXPECT_TRUE(doc.Scheme().Optimal());
  EXPECT_EQ(doc.Scheme().Participants(), 9);
  EXPECT_EQ(doc.Scheme().Threshold(), 3);
  EXPECT_EQ(doc.Facts().minContrast, Rational::Fraction(5, 56));
  EXPECT_FALSE(doc.Facts().optimalOffered);
  EXPECT_EQ(observer.Take() & (kSchemeAspect | kFactsAspect), kSchemeAspect | kFactsAspect);
}

}  // namespace
}  // namespace quillon::studio
