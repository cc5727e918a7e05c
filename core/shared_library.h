// A shared library opened when first needed rather than at start-up, so that a command loads
// only what it uses: the PDF writer's Cairo (with its fonts and X libraries) and the random
// source's OpenSSL stay unloaded for the commands that never print or split.
//
// Failure: Loaded() is false and Error() says why (the dynamic linker's words); Bind leaves
// the pointer null and answers false for a symbol the library lacks. Open and bind once per
// library for the whole process, in a function-local static's initialiser; the pointers are
// then read-only and safe from any thread.
#pragma once

#include <string>

namespace quillon {

class SharedLibrary {
 public:
  // soname: the versioned name, "libcairo.so.2"; the library stays open for the process.
  explicit SharedLibrary(const char* soname);
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  bool Loaded() const { return m_handle != nullptr; }
  const std::string& Error() const { return m_error; }

  // Points function at the library's symbol name, whose type the library's header gives.
  template <typename Function>
  bool Bind(Function*& function, const char* name) {
    function = reinterpret_cast<Function*>(Symbol(name));
    return function != nullptr;
  }

 private:
  void* Symbol(const char* name);

  void* m_handle;
  std::string m_error;
};

}  // namespace quillon
