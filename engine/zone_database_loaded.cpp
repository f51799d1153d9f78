// The tz database as a module, loaded the first time a zone is asked for:
// the date library and the C++ runtime it needs cost a program that starts
// for one conversion more than the conversion itself. The module lies
// beside the program in the build, and in the library folder once
// installed; where it cannot be loaded the zones keep to the engine's table.

#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "engine/time_zones_database.h"

namespace pq {

namespace {

constexpr const char* kModuleName = "pqsuite-zones.so";

const ZoneDatabase* load() {
    std::error_code error;
    const std::filesystem::path program =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    if (error) return nullptr;
    for (const std::filesystem::path& folder :
         {program, program / PQ_MODULES_FROM_PROGRAM}) {
        void* module = ::dlopen((folder / kModuleName).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) continue;
        using Entry = const ZoneDatabase* (*)();
        if (auto entry = reinterpret_cast<Entry>(::dlsym(module, "pqZoneDatabase")))
            return entry();
        ::dlclose(module);
    }
    return nullptr;
}

} // namespace

const ZoneDatabase* zoneDatabase() {
    static const ZoneDatabase* const database = load();
    return database;
}

} // namespace pq
