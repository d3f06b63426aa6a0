#include "jobs/library_loader.h"

#include <dlfcn.h>

namespace cantova::jobs {

// A library once loaded stays loaded until the program ends, though its handle is closed: the
// media library and the many it loads in turn take a tenth of a second to load, which a
// selection would pay each time, and their start-up allocations, held by their own globals,
// would be lost with them at each unload.
LibraryLoader::Handle DlopenLibraryLoader::Open(const std::string& name) {
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
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
