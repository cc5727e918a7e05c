#include "core/shared_library.h"

#include <dlfcn.h>

namespace quillon {

SharedLibrary::SharedLibrary(const char* soname) : m_handle(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
  if (m_handle == nullptr) {
    const char* error = dlerror();
    m_error = error != nullptr ? error : std::string("cannot load ") + soname;
  }
}

void* SharedLibrary::Symbol(const char* name) {
  if (m_handle == nullptr)
    return nullptr;
  void* symbol = dlsym(m_handle, name);
  if (symbol == nullptr && m_error.empty()) {
    const char* error = dlerror();
    m_error = error != nullptr ? error : std::string("no symbol ") + name;
  }
  return symbol;
}

}  // namespace quillon
