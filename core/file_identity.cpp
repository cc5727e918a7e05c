#include "core/file_identity.h"

#include <unistd.h>

#include <cerrno>
#include <deque>

#include "core/atomic_file.h"

namespace quillon {
namespace {

// Appends the components of path to parts, in order; empty ones and "." are dropped.
void Split(const std::string& path, std::deque<std::string>& parts, bool atFront) {
  std::deque<std::string> found;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos)
      slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (!part.empty() && part != ".")
      found.push_back(std::move(part));
    start = slash + 1;
  }
  if (atFront)
    parts.insert(parts.begin(), found.begin(), found.end());
  else
    parts.insert(parts.end(), found.begin(), found.end());
}

std::string Join(const std::deque<std::string>& parts) {
  if (parts.empty())
    return "/";
  std::string path;
  for (const std::string& part : parts)
    path += "/" + part;
  return path;
}

struct Identity {
  FileStatus status;     // through links
  std::string resolved;  // for outputs only
};

}  // namespace

Outcome ResolvePath(Env& env, const std::string& path, std::string* resolved) {
  std::deque<std::string> done;
  std::deque<std::string> todo;
  if (path.empty() || path[0] != '/') {
    std::string cwd(256, '\0');
    while (getcwd(cwd.data(), cwd.size()) == nullptr) {
      if (errno != ERANGE)
        return Outcome::Fail(Code::kCannotOpen, path, errno);
      cwd.resize(cwd.size() * 2);
    }
    // getcwd answers a path without links already.
    Split(cwd.c_str(), done, false);
  }
  Split(path, todo, false);
  bool missing = false;
  int hops = 0;
  while (!todo.empty()) {
    std::string part = std::move(todo.front());
    todo.pop_front();
    if (part == "..") {
      // What lies in done has no links left, so ".." is its parent.
      if (!done.empty())
        done.pop_back();
      continue;
    }
    done.push_back(std::move(part));
    if (missing)
      continue;
    FileStatus status;
    const std::string here = Join(done);
    if (Outcome checked = env.Status(here, false, &status); !checked)
      return Outcome::Fail(Code::kCannotOpen, path, checked.error);
    if (!status.Exists()) {
      missing = true;
    } else if (status.type == FileStatus::Type::kLink) {
      if (++hops > kMaxLinkHops)
        return Outcome::Fail(Code::kCannotOpen, path, ELOOP);
      std::string link;
      if (Outcome read = env.ReadLink(here, &link); !read)
        return Outcome::Fail(Code::kCannotOpen, path, read.error);
      done.pop_back();
      if (!link.empty() && link[0] == '/')
        done.clear();
      Split(link, todo, true);
    }
  }
  *resolved = Join(done);
  return Outcome::Ok();
}

Outcome CheckOutputs(Env& env, const std::vector<std::string>& inputs,
                     const std::vector<std::string>& outputs) {
  std::vector<FileStatus> inputStatus(inputs.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    if (Outcome checked = env.Status(inputs[i], true, &inputStatus[i]); !checked)
      return checked;
  }
  std::vector<Identity> seen(outputs.size());
  for (size_t o = 0; o < outputs.size(); ++o) {
    const int index = static_cast<int>(o);
    Identity& output = seen[o];
    if (Outcome checked = env.Status(outputs[o], true, &output.status); !checked)
      return std::move(checked).At(index);
    if (Outcome resolved = ResolvePath(env, outputs[o], &output.resolved); !resolved)
      return std::move(resolved).At(index);
    for (size_t i = 0; i < inputs.size(); ++i) {
      if (output.status.SameFileAs(inputStatus[i]))
        return Outcome::Fail(Code::kOutputIsInput, outputs[o]).At(index).With(inputs[i]);
    }
    for (size_t e = 0; e < o; ++e) {
      if (output.status.SameFileAs(seen[e].status) || output.resolved == seen[e].resolved)
        return Outcome::Fail(Code::kOutputTwice, outputs[o]).At(index).With(outputs[e]);
    }
  }
  return Outcome::Ok();
}

}  // namespace quillon
