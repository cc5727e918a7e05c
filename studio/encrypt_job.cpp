#include "studio/encrypt_job.h"

#include <new>
#include <optional>
#include <string>

#include "io/picture.h"
#include "io/two_colour.h"
#include "shares/encrypt.h"
#include "studio/document.h"
#include "studio/offset_stack.h"

namespace quillon::studio {

// The host of the driver on the worker: the innocent images chosen beforehand, progress into
// the job's atomic, and the cancel flag.
class EncryptJob::Session : public ShareSession {
 public:
  Session(EncryptJob& job, const ProgressFn& progress) : m_job(job), m_progress(progress) {}

  std::optional<std::string> ChooseInnocentImage(int share) override {
    const std::string& path = m_job.m_setup.InnocentImage(share);
    if (path.empty())
      return std::nullopt;
    return path;
  }
  // BMP, PNG and JPEG innocent images, in their two-colour view.
  Outcome LoadInnocentImage(Env& env, int, const std::string& path, BmpImage& image) override {
    return LoadTwoColourPicture(env, path, false, TwoColourRule(), image);
  }
  void ShowProgress(double fraction) override {
    m_job.m_progress.store(fraction);
    if (m_progress)
      m_progress(fraction);
  }
  bool Cancelled() override { return m_job.m_cancel.load(); }

 private:
  EncryptJob& m_job;
  const ProgressFn& m_progress;
};

EncryptJob::EncryptJob(Document& document, Env& env, std::shared_ptr<const BmpImage> secret,
                       SchemeSetup setup, std::unique_ptr<RandomSource> random)
    : m_document(document),
      m_env(env),
      m_secret(std::move(secret)),
      m_setup(std::move(setup)),
      m_random(std::move(random)) {}

EncryptJob::~EncryptJob() {
  // A job dropped before it was delivered must not leave the document busy for ever.
  if (!m_delivered)
    m_document.FinishJob(nullptr, m_setup, SchemeFacts(), "", std::nullopt);
}

void EncryptJob::Run(const ProgressFn& progress) {
  if (m_finished.load())
    return;
  Session session(*this, progress);
  EncryptRequest request;
  request.scheme = m_setup.Params();
  request.method = m_setup.Method();
  request.secret = m_secret.get();
  request.random = m_random.get();
  request.allowClearShare = m_setup.AllowClearShare();
  try {
    m_outcome = MakeShares(session, m_env, request, m_shares);
    // The stack of these shares is judged by their scheme: analysed here, off the owner.
    if (m_outcome)
      m_facts = AnalyzeScheme(m_setup);
  } catch (const std::bad_alloc&) {
    m_shares.clear();
    m_outcome = Outcome::Fail(Code::kNoMemory);
  }
  if (m_outcome && !m_cancel.load()) {
    std::vector<PlacedLayer> placed;
    for (const BmpImage& share : m_shares)
      placed.push_back({&share, 0, 0});
    try {
      m_stacked = StackPlacedLayers(placed, kStackedName);
    } catch (const std::bad_alloc&) {
      m_stacked.reset();  // the document stacks them when asked, as for any other change
    }
  }
  m_finished.store(true);
}

Result EncryptJob::Deliver() {
  if (!m_finished.load())
    return Result::Refuse(Problem::kBusy);
  if (m_delivered)
    return m_result;
  m_delivered = true;
  if (m_cancel.load()) {
    m_result = Result::From(Outcome::Fail(Code::kCancelled));
  } else if (!m_outcome) {
    // The driver's outcomes name a file only for an innocent image.
    m_result = Result::From(m_outcome, m_outcome.file.empty() ? Role::kNone : Role::kInnocent);
  } else {
    m_result = Result::Ok();
  }
  m_document.FinishJob(m_result.ok() ? &m_shares : nullptr, m_setup, std::move(m_facts),
                       m_secret ? m_secret->FileName() : std::string(),
                       m_result.ok() ? std::move(m_stacked) : std::nullopt);
  m_shares.clear();
  m_stacked.reset();
  return m_result;
}

}  // namespace quillon::studio
