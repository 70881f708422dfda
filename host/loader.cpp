#include "host/loader.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace host {

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
void* os_open(const std::string& path, std::string& why) {
    HMODULE h = LoadLibraryA(path.c_str());
    if (!h) why = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(h);
}
void* os_symbol(void* h, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(h), name));
}
void os_close(void* h) { FreeLibrary(static_cast<HMODULE>(h)); }
long process_id() { return static_cast<long>(GetCurrentProcessId()); }
#else
void* os_open(const std::string& path, std::string& why) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        why = e ? e : "dlopen failed";
    }
    return h;
}
void* os_symbol(void* h, const char* name) { return dlsym(h, name); }
void os_close(void* h) { dlclose(h); }
long process_id() { return static_cast<long>(getpid()); }
#endif

std::string fail(std::string& error, const std::string& path, const std::string& reason) {
    error = path + ": " + reason;
    return error;
}

}  // namespace

std::unique_ptr<LoadedModule> LoadedModule::open(const std::string& path, std::string& error,
                                                 bool fresh_copy) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        fail(error, path, "no such file");
        return nullptr;
    }
    if (!fs::is_regular_file(path, ec)) {
        fail(error, path, "not a regular file");
        return nullptr;
    }
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
    } else {
        fail(error, path, std::string("cannot be read: ") + std::strerror(errno));
        return nullptr;
    }

    std::unique_ptr<LoadedModule> m(new LoadedModule());
    m->path_ = path;
    // A path the user gives is a path: a bare file name means the file in the current folder,
    // never a search of the system's library folders.
    std::string load_path = path;
    if (path.find_first_of("/\\") == std::string::npos && !(path.size() > 1 && path[1] == ':'))
        load_path = "./" + path;
    if (fresh_copy) {
        static std::atomic<int> counter{0};
        const fs::path dir = fs::temp_directory_path(ec);
        const fs::path copy = dir / ("taverin_module_" + std::to_string(process_id()) + "_" +
                                     std::to_string(counter++) + fs::path(path).extension().string());
        if (ec || !fs::copy_file(path, copy, fs::copy_options::overwrite_existing, ec)) {
            fail(error, path, "cannot make a private copy: " + ec.message());
            return nullptr;
        }
        m->temp_copy_ = copy.string();
        load_path = m->temp_copy_;
    }

    std::string why;
    m->handle_ = os_open(load_path, why);
    if (!m->handle_) {
        fail(error, path, "not a loadable module (" + why + ")");
        return nullptr;
    }
    m->descriptor_ =
        static_cast<taverin::ModuleDescriptor*>(os_symbol(m->handle_, taverin::kDescriptorSymbol));
    if (!m->descriptor_) {
        fail(error, path, "no module descriptor (_mod_descrip not exported)");
        return nullptr;
    }
    if (m->descriptor_->sync != taverin::kModuleSync) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "wrong sync word 0x%08x", m->descriptor_->sync);
        fail(error, path, buf);
        return nullptr;
    }
    for (const taverin::ServerRecord* s = m->descriptor_->servers; s && s->class_name; ++s) {
        if (std::strcmp(s->class_name, taverin::kToolClass) == 0 && s->server_name &&
            std::strcmp(s->server_name, taverin::kServerName) == 0 && s->activate) {
            m->server_ = s;
            break;
        }
    }
    if (!m->server_) {
        fail(error, path, "no server \"orvik_Taverin\" of class \"LayoutTool\"");
        return nullptr;
    }
    return m;
}

void* LoadedModule::startup() {
    if (!started_ && descriptor_->startup) server_data_ = descriptor_->startup();
    started_ = true;
    return server_data_;
}

LoadedModule::~LoadedModule() {
    if (started_ && descriptor_ && descriptor_->shutdown) descriptor_->shutdown(server_data_);
    if (handle_) os_close(handle_);
    if (!temp_copy_.empty()) {
        std::error_code ec;
        fs::remove(temp_copy_, ec);
    }
}

}  // namespace host
