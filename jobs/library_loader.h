#pragma once

// Loading shared libraries at run time, behind an interface so that tests can stand in for the
// system's loader.

#include <string>

namespace cantova::jobs {

class LibraryLoader {
public:
    using Handle = void*;
    virtual ~LibraryLoader() = default;
    // Loads the library by name with the normal search; nullptr when it cannot be loaded.
    virtual Handle Open(const std::string& name) = 0;
    // The address of the exported symbol; nullptr when the library has none of that name.
    virtual void* FindSymbol(Handle library, const std::string& symbol) = 0;
    // Releases a handle taken by Open.
    virtual void Close(Handle library) = 0;
};

// The system's dynamic loader (dlopen): a name without "/" is searched for along the
// executable's RUNPATH, LD_LIBRARY_PATH and the system's library folders.
class DlopenLibraryLoader : public LibraryLoader {
public:
    Handle Open(const std::string& name) override;
    void* FindSymbol(Handle library, const std::string& symbol) override;
    void Close(Handle library) override;
};

// The program's one system loader, for services that are not given another.
LibraryLoader& SystemLibraryLoader();

} // namespace cantova::jobs
