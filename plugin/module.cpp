// The module descriptor: the one symbol the host looks for in the module file.
#include "plugin/host_abi.h"
#include "plugin/tool.h"

namespace {

taverin::ServerRecord server_table[2] = {
    {taverin::kToolClass, taverin::kServerName, taverin::activate, nullptr},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

extern "C" {
TAVERIN_EXPORT taverin::ModuleDescriptor _mod_descrip = {
    taverin::kModuleSync, taverin::kModuleVersion, taverin::kModuleMachine, 0,
    taverin::startup,     taverin::shutdown,       server_table,
};
}
