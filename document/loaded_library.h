#pragma once

#include <dlfcn.h>

namespace pq {

// Points `function` at the symbol `name` of a library opened with dlopen;
// false when the library has no such symbol. For the libraries loaded only
// when first needed (libcurl, expat).
template <typename Function> bool BindSymbol(void* library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

} // namespace pq
