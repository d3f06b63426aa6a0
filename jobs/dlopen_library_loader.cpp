#include "jobs/library_loader.h"

#include <dlfcn.h>

namespace cantova::jobs {

LibraryLoader::Handle DlopenLibraryLoader::Open(const std::string& name) {
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DlopenLibraryLoader::FindSymbol(Handle library, const std::string& symbol) {
    return dlsym(library, symbol.c_str());
}

void DlopenLibraryLoader::Close(Handle library) {
    dlclose(library);
}

LibraryLoader& SystemLibraryLoader() {
    static DlopenLibraryLoader loader;
    return loader;
}

} // namespace cantova::jobs
