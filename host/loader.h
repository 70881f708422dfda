// Loads a module file through the operating system's loader and finds its tool server.
#pragma once

#include <memory>
#include <string>

#include "plugin/host_abi.h"

namespace host {

class LoadedModule {
public:
    // Loads `path`, checks the descriptor's sync word and finds the server "orvik_Taverin" of
    // class "LayoutTool". With `fresh_copy` the file is first copied to a private temporary
    // name, so the loader maps a new copy with fresh module-wide state even if the same file is
    // already loaded. On failure returns null and sets `error` to one line naming the file
    // and the reason.
    static std::unique_ptr<LoadedModule> open(const std::string& path, std::string& error,
                                              bool fresh_copy = false);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const taverin::ModuleDescriptor& descriptor() const { return *descriptor_; }
    const taverin::ServerRecord& server() const { return *server_; }
    const std::string& path() const { return path_; }

    // Calls the module's startup entry once and keeps its server data.
    void* startup();
    void* server_data() const { return server_data_; }

private:
    LoadedModule() = default;
    void* handle_ = nullptr;
    std::string path_;
    std::string temp_copy_;
    taverin::ModuleDescriptor* descriptor_ = nullptr;
    const taverin::ServerRecord* server_ = nullptr;
    void* server_data_ = nullptr;
    bool started_ = false;
};

}  // namespace host
