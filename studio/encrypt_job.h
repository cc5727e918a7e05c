// One encryption, run off the owner thread so that the window stays responsive. The document
// makes the job (Document::StartEncrypt) with its own copies of everything the work reads:
// the two-colour secret, the scheme choices, the innocent images' names and the random
// source. Run() does the work on any one thread; Cancel() and Progress() may be called from
// any thread meanwhile; once Run() has returned, Deliver() on the owner thread hands the
// shares to the document, or leaves the document as it was when the work failed or was
// cancelled. The view posts the end of Run() back to its owner thread (wxEvtHandler::
// CallAfter) and calls Deliver() there.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"
#include "core/random.h"
#include "studio/facts.h"
#include "studio/result.h"
#include "studio/scheme_setup.h"

namespace quillon::studio {

class Document;

class EncryptJob {
 public:
  // Hears how far the work has come, 0 to 1, on the thread that runs it.
  using ProgressFn = std::function<void(double fraction)>;

  // For Document::StartEncrypt. env must be safe to use from the thread that runs the job
  // (Env::Default() is); the document must outlive the job.
  EncryptJob(Document& document, Env& env, std::shared_ptr<const BmpImage> secret,
             SchemeSetup setup, std::unique_ptr<RandomSource> random);
  // On the owner thread, never while Run() is running. A job that was not delivered ends
  // the document's busy state as a failed one would.
  ~EncryptJob();
  EncryptJob(const EncryptJob&) = delete;
  EncryptJob& operator=(const EncryptJob&) = delete;

  // The work, once, on the calling thread. progress may be empty.
  void Run(const ProgressFn& progress = {});
  // Asks the work to stop at its next progress step; a cancelled job delivers nothing.
  // Safe from any thread, before, during or after Run().
  void Cancel() { m_cancel.store(true); }
  bool CancelRequested() const { return m_cancel.load(); }
  // 0 to 1; safe from any thread.
  double Progress() const { return m_progress.load(); }
  // Whether Run() has returned; safe from any thread.
  bool Finished() const { return m_finished.load(); }

  // On the owner thread, after Run() returned: on success the shares become the document's
  // (and the result is Ok); otherwise the document stays as it was and the result says why
  // (kCancelled after Cancel(), a refusal of the driver, an innocent image that cannot be
  // read). A second call answers the same and changes nothing. Called before Run() returned,
  // it answers kBusy and changes nothing.
  Result Deliver();

  // The outcome of the work once Run() has returned.
  const Outcome& WorkOutcome() const { return m_outcome; }

 private:
  class Session;

  Document& m_document;
  Env& m_env;
  std::shared_ptr<const BmpImage> m_secret;
  SchemeSetup m_setup;
  std::unique_ptr<RandomSource> m_random;
  std::atomic<bool> m_cancel{false};
  std::atomic<double> m_progress{0};
  std::atomic<bool> m_finished{false};
  bool m_delivered = false;
  Result m_result;
  Outcome m_outcome;
  std::vector<BmpImage> m_shares;
  SchemeFacts m_facts;
  // The new shares stacked as they will first be shown (all ticked, in place), made here so
  // that the owner thread does not stack large shares when they arrive.
  std::optional<BmpImage> m_stacked;
};

}  // namespace quillon::studio
