// Module files that the stand-in host must refuse: built with BAD_NO_DESCRIPTOR, BAD_SYNC or
// BAD_NO_SERVER defined.
#include "plugin/host_abi.h"

namespace {
int32_t activate(int32_t, taverin::GlobalFunc, void*, void*) { return 0; }
taverin::ServerRecord servers[2] = {
#if defined(BAD_NO_SERVER)
    {"LayoutGeneric", "orvik_Taverin", activate, nullptr},
#else
    {"LayoutTool", "orvik_Taverin", activate, nullptr},
#endif
    {nullptr, nullptr, nullptr, nullptr},
};
}  // namespace

#if defined(BAD_NO_DESCRIPTOR)
extern "C" {
TAVERIN_EXPORT int not_a_descriptor = 1;
TAVERIN_EXPORT void* server_table_unused = servers;
}
#else
extern "C" {
TAVERIN_EXPORT taverin::ModuleDescriptor _mod_descrip = {
#if defined(BAD_SYNC)
    0x12345678u,
#else
    taverin::kModuleSync,
#endif
    3, 0x300, 0, nullptr, nullptr, servers};
}
#endif
